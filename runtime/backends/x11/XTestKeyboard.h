#pragma once
// Typing into the active window with the XTest extension: each key becomes
// the keycode the current layout gives it, with Shift or AltGr as its level
// needs; a character the layout lacks borrows a spare keycode for the time
// of the typing. Modifiers the user still holds are released first and
// pressed again afterwards.

#include <memory>

#include "runtime/backends/x11/XDisplay.h"
#include "runtime/platform/keyboard/SendKeys.h"

namespace rt::x11 {

class XTestKeyboard : public Keyboard {
public:
    explicit XTestKeyboard(std::shared_ptr<XDisplay> display);
    void type(const std::vector<KeyEvent>& events, bool wait) override;

private:
    std::shared_ptr<XDisplay> m_display;
};

// The keysym of a key of the key-string notation.
unsigned long keysymOf(const Key& key);

} // namespace rt::x11
