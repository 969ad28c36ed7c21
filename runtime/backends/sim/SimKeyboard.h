#pragma once
// A keyboard that types into the simulated desktop: each window keeps the
// key events it received (the foreground window at the time of typing).

#include <map>
#include <string>
#include <vector>

#include "runtime/platform/desktop/Desktop.h"
#include "runtime/platform/keyboard/SendKeys.h"

namespace rt {

class SimKeyboard : public Keyboard {
public:
    void type(const std::vector<KeyEvent>& events, bool wait) override;

    const std::vector<KeyEvent>& received(HWND hWnd) const;
    // The received keys written back in the notation, one token per press:
    // "a", "+", "{ENTER}", "^" ... with modifiers as "<SHIFT" / ">SHIFT".
    std::string transcript(HWND hWnd) const;
    void clear() { m_received.clear(); }

private:
    std::map<HWND, std::vector<KeyEvent>> m_received;
};

} // namespace rt
