// A control library for the property-page tests: controls that list pages
// and log every property written to them, and a page of the library's own
// kind for one of them.

#include <string>
#include <vector>

#include "runtime/com/ComponentServer.h"
#include "runtime/forms/CheckBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/UserControl.h"

namespace {

rt::Member fontMember() {
    return rt::Member{"Font",
                      0x68030010,
                      rt::MemberKind::ReadOnlyProperty,
                      "",
                      [](rt::Dispatch& self, std::span<const rt::Variant>) {
                          auto& control = static_cast<rt::UserControl&>(self);
                          return rt::Variant(
                              std::static_pointer_cast<rt::Dispatch>(control.Font()));
                      },
                      nullptr};
}

// Keeps a log of the writes its late-bound setters take, in order.
class Logged : public rt::UserControl {
public:
    std::string writes() const { return m_writes; }
    void resetWrites() { m_writes.clear(); }

protected:
    void note(const std::string& name, const rt::Variant& value) {
        m_writes += (m_writes.empty() ? "" : " ") + name + "=" + value.toString();
        PropertyChanged(name);
    }

private:
    std::string m_writes;
};

rt::Member resetMember() {
    return rt::Member{"ResetWrites",
                      0x68030012,
                      rt::MemberKind::Method,
                      "",
                      [](rt::Dispatch& self, std::span<const rt::Variant>) {
                          static_cast<Logged&>(self).resetWrites();
                          return rt::Variant();
                      },
                      nullptr};
}

// Lists a library page first and the runtime's two after it.
class PagedProbe : public Logged {
public:
    int32_t value() const { return m_value; }
    void setValue(int32_t v) {
        m_value = v;
        note("Value", v);
    }
    void setLoggedEnabled(bool v) {
        setEnabled(v);
        note("Enabled", v);
    }
    void setLoggedBackColor(int32_t v) {
        setBackColor(v);
        note("BackColor", v);
    }
    void setLoggedForeColor(int32_t v) {
        setForeColor(v);
        note("ForeColor", v);
    }

    std::vector<std::string> PropertyPages() const override {
        return {"QuiboTest.ProbePage", "StandardColor", "StandardFont"};
    }

    static const rt::MemberTable& memberTable() {
        static const rt::MemberTable table({
            rt::property<PagedProbe>("Value", 0x68030000, &PagedProbe::value, &PagedProbe::setValue,
                                     &rt::Variant::toLong),
            rt::property<PagedProbe>("Enabled", 0x68030001, &PagedProbe::Enabled,
                                     &PagedProbe::setLoggedEnabled, &rt::Variant::toBool),
            rt::property<PagedProbe>("BackColor", 0x68030002, &PagedProbe::BackColor,
                                     &PagedProbe::setLoggedBackColor, &rt::Variant::toLong),
            rt::property<PagedProbe>("ForeColor", 0x68030003, &PagedProbe::ForeColor,
                                     &PagedProbe::setLoggedForeColor, &rt::Variant::toLong),
            fontMember(),
            rt::readOnly<PagedProbe>("Writes", 0x68030011, &PagedProbe::writes),
            resetMember(),
        });
        return table;
    }

protected:
    const rt::MemberTable& table() const override { return memberTable(); }

private:
    int32_t m_value = 0;
};

// Has a fore colour only: no back colour, no font.
class ForeOnly : public Logged {
public:
    void setLoggedForeColor(int32_t v) {
        setForeColor(v);
        note("ForeColor", v);
    }

    std::vector<std::string> PropertyPages() const override {
        return {"StandardColor", "StandardFont"};
    }

    static const rt::MemberTable& memberTable() {
        static const rt::MemberTable table({
            rt::property<ForeOnly>("ForeColor", 0x68030003, &ForeOnly::ForeColor,
                                   &ForeOnly::setLoggedForeColor, &rt::Variant::toLong),
            rt::readOnly<ForeOnly>("Writes", 0x68030011, &ForeOnly::writes),
            resetMember(),
        });
        return table;
    }

protected:
    const rt::MemberTable& table() const override { return memberTable(); }
};

// Lists pages that cannot be made between ones that can.
class BrokenPages : public rt::UserControl {
public:
    std::vector<std::string> PropertyPages() const override {
        return {"QuiboTest.NoSuchPage", "StandardFont", "QuiboTest.NotAPage",
                "QuiboTest.ProbePage"};
    }

    static const rt::MemberTable& memberTable() {
        static const rt::MemberTable table({fontMember()});
        return table;
    }

protected:
    const rt::MemberTable& table() const override { return memberTable(); }
};

// A page as the library writes them: item 0 only, every editor marks the
// page changed, every failing step skipped.
class ProbePage : public rt::PropertyPage {
public:
    ProbePage() : PropertyPage("ppProbe", "General") {
        Move(0, 0, 4725, 2985);
        lblValue.Move(120, 240, 1215, 255);
        txtValue.Move(1200, 240, 2655, 315);
        chkEnabled.Move(1200, 600, 1215, 255);
        txtValue.Change.connect([this] { setChanged(true); });
        chkEnabled.Click.connect([this] { setChanged(true); });
    }

    void PropertyPage_SelectionChanged() override {
        rt::skipFailure([&] { txtValue.setText(SelectedControls()[0]->get("Value").toString()); });
        rt::skipFailure(
            [&] { chkEnabled.setValue(SelectedControls()[0]->get("Enabled").toBool() ? 1 : 0); });
    }

    void PropertyPage_ApplyChanges() override {
        rt::skipFailure(
            [&] { SelectedControls()[0]->let("Value", rt::Variant(txtValue.Text()).toLong()); });
        rt::skipFailure(
            [&] { SelectedControls()[0]->let("Enabled", rt::Variant(chkEnabled.Value() == 1)); });
    }

    rt::Label lblValue{*this, "lblValue", "Value:"};
    rt::TextBox txtValue{*this, "txtValue"};
    rt::CheckBox chkEnabled{*this, "chkEnabled"};
};

class NotAPage : public rt::TableDispatch {
protected:
    const rt::MemberTable& table() const override {
        static const rt::MemberTable empty({});
        return empty;
    }
};

void anchor() {}

rt::ComponentServer& server() {
    static rt::ComponentServer s(
        {{"QuiboTest.PagedProbe", "{3A7C1E52-9B4D-4E60-A1F2-5C8D0E2B4A01}", "Paged probe",
          [] { return std::make_shared<PagedProbe>(); }},
         {"QuiboTest.ForeOnly", "{3A7C1E52-9B4D-4E60-A1F2-5C8D0E2B4A02}", "Fore colour only",
          [] { return std::make_shared<ForeOnly>(); }},
         {"QuiboTest.BrokenPages", "{3A7C1E52-9B4D-4E60-A1F2-5C8D0E2B4A03}", "Broken pages",
          [] { return std::make_shared<BrokenPages>(); }},
         {"QuiboTest.ProbePage", "{3A7C1E52-9B4D-4E60-A1F2-5C8D0E2B4A04}", "Probe page",
          [] { return std::make_shared<ProbePage>(); }},
         {"QuiboTest.NotAPage", "{3A7C1E52-9B4D-4E60-A1F2-5C8D0E2B4A05}", "Plain object",
          [] { return std::make_shared<NotAPage>(); }}},
        reinterpret_cast<const void*>(&anchor));
    return s;
}

} // namespace

QUIBO_COMPONENT_LIBRARY(server)
