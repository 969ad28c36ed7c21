#include "runtime/platform/desktop/Desktop.h"

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/core/BackendSlot.h"

namespace rt {

namespace {
BackendSlot<Desktop, SimDesktop>& slot() {
    static BackendSlot<Desktop, SimDesktop> s;
    return s;
}
} // namespace

Desktop& desktop() {
    return slot().get();
}
void setDesktop(std::shared_ptr<Desktop> backend) {
    slot().set(std::move(backend));
}

} // namespace rt
