#include "runtime/backends/sim/SimKeyboard.h"

namespace rt {

void SimKeyboard::type(const std::vector<KeyEvent>& events, bool /*wait*/) {
    auto& log = m_received[desktop().foreground()];
    log.insert(log.end(), events.begin(), events.end());
}

const std::vector<KeyEvent>& SimKeyboard::received(HWND hWnd) const {
    static const std::vector<KeyEvent> none;
    auto it = m_received.find(hWnd);
    return it == m_received.end() ? none : it->second;
}

std::string SimKeyboard::transcript(HWND hWnd) const {
    std::string out;
    for (const KeyEvent& e : received(hWnd)) {
        bool modifier = e.key.named == NamedKey::Shift || e.key.named == NamedKey::Control ||
                        e.key.named == NamedKey::Alt;
        if (modifier)
            out += (e.down ? "<" : ">") + keyName(e.key);
        else if (e.down)
            out += e.key.named == NamedKey::Char ? keyName(e.key) : "{" + keyName(e.key) + "}";
    }
    return out;
}

} // namespace rt
