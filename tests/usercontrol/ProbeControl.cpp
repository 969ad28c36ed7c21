// A control library for the site tests: a control that logs its lifecycle
// and keeps one persisted property.

#include <string>

#include "runtime/com/ComponentServer.h"
#include "runtime/forms/UserControl.h"

namespace {

class Probe : public rt::UserControl {
public:
    int32_t value() const { return m_value; }
    void setValue(int32_t v) {
        m_value = v;
        PropertyChanged("Value");
    }
    std::string log() const { return m_log; }

    void UserControl_Initialize() override { note("Initialize"); }
    void UserControl_InitProperties() override {
        note("InitProperties");
        m_value = 1;
    }
    void UserControl_ReadProperties(const rt::PropertyBag& bag) override {
        note("ReadProperties");
        m_value = bag.ReadProperty("Value", 7).toLong();
        if (m_value < 0)
            rt::raiseError(rt::kInvalidPropertyValue);
    }
    void UserControl_WriteProperties(rt::PropertyBag& bag) override {
        bag.WriteProperty("Value", m_value, 7);
    }
    void UserControl_Show() override { note("Show"); }
    void UserControl_Resize() override {
        note("Resize");
        // Keeps its width, as a fixed-size control does.
        if (Width() != 600)
            setWidth(600);
    }
    void UserControl_Terminate() override { note("Terminate"); }
    void UserControl_Click() override { note("Click"); }

    static const rt::MemberTable& memberTable() {
        static const rt::MemberTable table(
            {rt::property<Probe>("Value", 0x68030000, &Probe::value, &Probe::setValue,
                                 &rt::Variant::toLong),
             rt::readOnly<Probe>("Log", 0x68030001, &Probe::log),
             rt::Member{"Ambient", 0x60030002, rt::MemberKind::Method, "",
                        [](rt::Dispatch& self, std::span<const rt::Variant>) {
                            auto a = static_cast<Probe&>(self).Ambient();
                            return rt::Variant(a.DisplayName + (a.UserMode ? "/run" : "/design"));
                        },
                        nullptr}});
        return table;
    }

protected:
    const rt::MemberTable& table() const override { return memberTable(); }

private:
    void note(const std::string& what) { m_log += (m_log.empty() ? "" : " ") + what; }

    int32_t m_value = 0;
    std::string m_log;
};

class NotAControl : public rt::TableDispatch {
protected:
    const rt::MemberTable& table() const override {
        static const rt::MemberTable empty({});
        return empty;
    }
};

void anchor() {}

rt::ComponentServer& server() {
    static rt::ComponentServer s(
        {{"QuiboTest.Probe", "{0D5E2B61-7A3C-4F19-8E6D-2B4C6A8E0F11}", "Probe control",
          [] { return std::make_shared<Probe>(); }},
         {"QuiboTest.NotAControl", "{0D5E2B61-7A3C-4F19-8E6D-2B4C6A8E0F12}", "Plain object",
          [] { return std::make_shared<NotAControl>(); }}},
        reinterpret_cast<const void*>(&anchor));
    return s;
}

} // namespace

QUIBO_COMPONENT_LIBRARY(server)
