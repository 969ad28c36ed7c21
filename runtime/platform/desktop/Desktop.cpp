#include "runtime/platform/desktop/Desktop.h"

#include "runtime/backends/sim/SimDesktop.h"

namespace rt {

namespace {
std::shared_ptr<Desktop>& current() {
    static std::shared_ptr<Desktop> backend;
    return backend;
}
} // namespace

Desktop& desktop() {
    if (!current())
        current() = std::make_shared<SimDesktop>();
    return *current();
}

void setDesktop(std::shared_ptr<Desktop> backend) { current() = std::move(backend); }

} // namespace rt
