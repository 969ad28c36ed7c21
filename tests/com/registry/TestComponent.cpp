// A component library for the registry tests: a working class, a class whose
// creation fails, and the four exported entry points.

#include "runtime/com/ComponentServer.h"
#include "runtime/core/Error.h"

namespace {

class Greeter : public rt::TableDispatch {
public:
    std::string name() const { return m_name; }
    void setName(std::string n) { m_name = std::move(n); }

    static const rt::MemberTable& memberTable() {
        static const rt::MemberTable table(
            {rt::property<Greeter>("Name", 0x68030000, &Greeter::name, &Greeter::setName,
                                   &rt::Variant::toString, "Who is greeted."),
             rt::Member{"Greet", 0x60030001, rt::MemberKind::Method, "Returns a greeting.",
                        [](rt::Dispatch& self, std::span<const rt::Variant>) {
                            return rt::Variant("Hello, " + static_cast<Greeter&>(self).m_name);
                        },
                        nullptr}});
        return table;
    }

protected:
    const rt::MemberTable& table() const override { return memberTable(); }

private:
    std::string m_name = "World";
};

void anchor() {}

rt::ComponentServer& server() {
    static rt::ComponentServer s(
        {{"QuiboTest.Greeter", "{6B1F3A20-5C4D-4E8F-9A0B-1C2D3E4F5061}", "Greeter test class",
          [] { return std::make_shared<Greeter>(); }},
         {"QuiboTest.Broken", "{6B1F3A20-5C4D-4E8F-9A0B-1C2D3E4F5062}", "Fails to create",
          []() -> rt::DispatchPtr { rt::raiseError(rt::kOutOfMemory); }}},
        reinterpret_cast<const void*>(&anchor));
    return s;
}

} // namespace

QUIBO_COMPONENT_LIBRARY(server)
