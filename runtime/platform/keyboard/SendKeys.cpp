#include "runtime/platform/keyboard/SendKeys.h"

#include "runtime/backends/sim/SimKeyboard.h"

namespace rt {

namespace {
std::shared_ptr<Keyboard>& current() {
    static std::shared_ptr<Keyboard> backend;
    return backend;
}
} // namespace

Keyboard& keyboard() {
    if (!current())
        current() = std::make_shared<SimKeyboard>();
    return *current();
}

void setKeyboard(std::shared_ptr<Keyboard> backend) { current() = std::move(backend); }

void SendKeys(const std::string& keys, bool wait) { keyboard().type(parseKeyString(keys), wait); }

} // namespace rt
