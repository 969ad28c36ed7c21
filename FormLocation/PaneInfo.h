#pragma once
// One pane as a PaneContainer collected it: the control, its index and
// minimum at collection, and the extent the last layout gave it. Hosts can
// name the type but not create it.

#include <cstdint>

#include "runtime/com/TypeInfo.h"
#include "runtime/forms/Control.h"

namespace tlvFormControls {

class PaneInfo : public rt::TableDispatch {
public:
    // The pane's site on the host form, which outlives the container's use.
    rt::Control* PaneCtl = nullptr;
    int16_t PaneIndex = 0;
    float Size = 0;
    float MinSize = 0;

    static const rt::MemberTable& memberTable();
    static rt::InterfaceInfo interfaceInfo(); // _PaneInfo

protected:
    const rt::MemberTable& table() const override { return memberTable(); }
};

} // namespace tlvFormControls
