#pragma once
// The library's public classes as its component server makes them.

#include "runtime/com/Dispatch.h"

namespace tlvFormControls {

rt::DispatchPtr newFormLocator();
rt::DispatchPtr newStretchContainer();
rt::DispatchPtr newPaneArea();
rt::DispatchPtr newPaneContainer();
rt::DispatchPtr newppFormLocation();
rt::DispatchPtr newppStretchContainer();
rt::DispatchPtr newppPaneArea();
rt::DispatchPtr newppPaneContainer();

} // namespace tlvFormControls
