#include "FormLocation/PaneInfo.h"

#include <utility>

namespace tlvFormControls {

namespace {

rt::DispId id(uint32_t v) {
    return static_cast<rt::DispId>(v);
}

} // namespace

const rt::MemberTable& PaneInfo::memberTable() {
    static const rt::MemberTable table({
        rt::Member{"PaneCtl", id(0x40030000), rt::MemberKind::Property, "",
                   [](rt::Dispatch& self, std::span<const rt::Variant>) {
                       rt::Control* ctl = static_cast<PaneInfo&>(self).PaneCtl;
                       // The host form owns the control: an unowned reference.
                       return rt::Variant(
                           ctl ? rt::DispatchPtr(rt::DispatchPtr(), static_cast<rt::Dispatch*>(ctl))
                               : rt::DispatchPtr());
                   },
                   [](rt::Dispatch& self, std::span<const rt::Variant> args) {
                       rt::DispatchPtr object = args.back().toObject();
                       auto* ctl = dynamic_cast<rt::Control*>(object.get());
                       if (object && !ctl)
                           rt::raiseError(rt::kTypeMismatch);
                       static_cast<PaneInfo&>(self).PaneCtl = ctl;
                   }},
        rt::Member{"PaneIndex", id(0x40030001), rt::MemberKind::Property, "",
                   [](rt::Dispatch& self, std::span<const rt::Variant>) {
                       return rt::Variant(static_cast<PaneInfo&>(self).PaneIndex);
                   },
                   [](rt::Dispatch& self, std::span<const rt::Variant> args) {
                       static_cast<PaneInfo&>(self).PaneIndex = args.back().toInteger();
                   }},
        rt::Member{"Size", id(0x40030002), rt::MemberKind::Property, "",
                   [](rt::Dispatch& self, std::span<const rt::Variant>) {
                       return rt::Variant(static_cast<PaneInfo&>(self).Size);
                   },
                   [](rt::Dispatch& self, std::span<const rt::Variant> args) {
                       static_cast<PaneInfo&>(self).Size = args.back().toSingle();
                   }},
        rt::Member{"MinSize", id(0x40030003), rt::MemberKind::Property, "",
                   [](rt::Dispatch& self, std::span<const rt::Variant>) {
                       return rt::Variant(static_cast<PaneInfo&>(self).MinSize);
                   },
                   [](rt::Dispatch& self, std::span<const rt::Variant> args) {
                       static_cast<PaneInfo&>(self).MinSize = args.back().toSingle();
                   }},
    });
    return table;
}

rt::InterfaceInfo PaneInfo::interfaceInfo() {
    static const std::pair<std::string, std::string> kTypes[] = {
        {"PaneCtl", "Object"},
        {"PaneIndex", "Integer"},
        {"Size", "Single"},
        {"MinSize", "Single"},
    };
    return rt::describeInterface("_PaneInfo", memberTable(), kTypes);
}

} // namespace tlvFormControls
