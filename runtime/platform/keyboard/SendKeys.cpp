#include "runtime/platform/keyboard/SendKeys.h"

#include "runtime/backends/sim/SimKeyboard.h"
#include "runtime/core/BackendSlot.h"

namespace rt {

namespace {
BackendSlot<Keyboard, SimKeyboard>& slot() {
    static BackendSlot<Keyboard, SimKeyboard> s;
    return s;
}
} // namespace

Keyboard& keyboard() { return slot().get(); }
void setKeyboard(std::shared_ptr<Keyboard> backend) { slot().set(std::move(backend)); }

void SendKeys(const std::string& keys, bool wait) { keyboard().type(parseKeyString(keys), wait); }

} // namespace rt
