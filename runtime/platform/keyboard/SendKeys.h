#pragma once
// Typing a key string into the foreground window through the keyboard in use.

#include <memory>
#include <string>
#include <vector>

#include "runtime/platform/keyboard/KeyString.h"

namespace rt {

class Keyboard {
public:
    virtual ~Keyboard() = default;
    // Types the events into the foreground window; with `wait`, returns only
    // when the window has processed them.
    virtual void type(const std::vector<KeyEvent>& events, bool wait) = 0;
};

// The keyboard in use: a simulated one until a backend is installed.
Keyboard& keyboard();
void setKeyboard(std::shared_ptr<Keyboard> backend);

// Parses the whole string first: a malformed one raises 5 and types nothing.
void SendKeys(const std::string& keys, bool wait = false);

} // namespace rt
