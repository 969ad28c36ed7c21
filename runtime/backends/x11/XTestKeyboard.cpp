#include "runtime/backends/x11/XTestKeyboard.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <map>
#include <thread>
#include <vector>

#include "runtime/core/Ansi.h"
#include "runtime/core/Error.h"

namespace rt::x11 {

unsigned long keysymOf(const Key& key) {
    switch (key.named) {
    case NamedKey::Char: {
        char32_t cp = unicodeFromAnsi(static_cast<unsigned char>(key.ch));
        if (key.ch == '\n' || key.ch == '\r')
            return XK_Return;
        if (key.ch == '\t')
            return XK_Tab;
        return cp < 0x100 ? cp : 0x01000000 + cp;
    }
    case NamedKey::Shift: return XK_Shift_L;
    case NamedKey::Control: return XK_Control_L;
    case NamedKey::Alt: return XK_Alt_L;
    case NamedKey::Enter: return XK_Return;
    case NamedKey::Tab: return XK_Tab;
    case NamedKey::Escape: return XK_Escape;
    case NamedKey::Backspace: return XK_BackSpace;
    case NamedKey::Delete: return XK_Delete;
    case NamedKey::Insert: return XK_Insert;
    case NamedKey::Home: return XK_Home;
    case NamedKey::End: return XK_End;
    case NamedKey::PageUp: return XK_Page_Up;
    case NamedKey::PageDown: return XK_Page_Down;
    case NamedKey::Up: return XK_Up;
    case NamedKey::Down: return XK_Down;
    case NamedKey::Left: return XK_Left;
    case NamedKey::Right: return XK_Right;
    case NamedKey::CapsLock: return XK_Caps_Lock;
    case NamedKey::NumLock: return XK_Num_Lock;
    case NamedKey::ScrollLock: return XK_Scroll_Lock;
    case NamedKey::PrintScreen: return XK_Print;
    case NamedKey::Break: return XK_Break;
    case NamedKey::Help: return XK_Help;
    case NamedKey::Add: return XK_KP_Add;
    case NamedKey::Subtract: return XK_KP_Subtract;
    case NamedKey::Multiply: return XK_KP_Multiply;
    case NamedKey::Divide: return XK_KP_Divide;
    default:
        return XK_F1 + static_cast<unsigned long>(static_cast<int>(key.named) -
                                                  static_cast<int>(NamedKey::F1));
    }
}

namespace {

struct Stroke {
    KeyCode code = 0;
    bool shift = false;
    bool altGr = false;
};

class Typist {
public:
    explicit Typist(Display* d)
        : m_d(d), m_xkb(XkbGetMap(d, XkbAllClientInfoMask, XkbUseCoreKbd)) {}
    ~Typist() {
        restoreSpares();
        if (m_xkb)
            XkbFreeKeyboard(m_xkb, 0, True);
    }
    Typist(const Typist&) = delete;
    Typist& operator=(const Typist&) = delete;

    // Where the current layout group has the keysym, at the lowest level the
    // level keys reach (AltGr only where the layout has one); a spare
    // keycode when nowhere.
    Stroke strokeFor(KeySym sym, unsigned group, bool hasAltGr) {
        int minCode = 0, maxCode = 0;
        XDisplayKeycodes(m_d, &minCode, &maxCode);
        for (int level = 0; level < (hasAltGr ? 4 : 2); ++level)
            for (int code = minCode; code <= maxCode; ++code)
                if (XkbKeycodeToKeysym(m_d, static_cast<KeyCode>(code), groupOf(code, group),
                                       level) == sym)
                    return Stroke{static_cast<KeyCode>(code), (level & 1) != 0, (level & 2) != 0};
        return Stroke{bindSpare(sym), false, false};
    }

    bool borrowed() const { return !m_spares.empty(); }

    void key(KeyCode code, bool down) {
        if (code)
            XTestFakeKeyEvent(m_d, code, down ? True : False, CurrentTime);
    }

private:
    // A key with fewer groups than the layout wraps the group, as the server does.
    unsigned groupOf(int code, unsigned group) const {
        if (!m_xkb || code < m_xkb->min_key_code || code > m_xkb->max_key_code)
            return 0;
        int groups = XkbKeyNumGroups(m_xkb, code);
        return groups > 0 ? group % static_cast<unsigned>(groups) : 0;
    }

    KeyCode bindSpare(KeySym sym) {
        auto known = m_spares.find(sym);
        if (known != m_spares.end())
            return known->second;
        int minCode = 0, maxCode = 0;
        XDisplayKeycodes(m_d, &minCode, &maxCode);
        int perCode = 0;
        KeySym* map = XGetKeyboardMapping(m_d, static_cast<KeyCode>(minCode), maxCode - minCode + 1,
                                          &perCode);
        KeyCode spare = 0;
        for (int code = maxCode; code >= minCode && !spare; --code) {
            bool empty = true;
            for (int i = 0; i < perCode; ++i)
                empty &= map[(code - minCode) * perCode + i] == NoSymbol;
            bool taken = false;
            for (const auto& [s, c] : m_spares)
                taken |= c == code;
            if (empty && !taken)
                spare = static_cast<KeyCode>(code);
        }
        XFree(map);
        if (!spare)
            raiseError(kInvalidProcedureCall, {},
                       "No keycode is free to type a character the layout lacks");
        KeySym both[2] = {sym, sym};
        XChangeKeyboardMapping(m_d, spare, 2, both, 1);
        XSync(m_d, False);
        m_spares[sym] = spare;
        return spare;
    }

    void restoreSpares() {
        for (const auto& [sym, code] : m_spares) {
            KeySym none[2] = {NoSymbol, NoSymbol};
            XChangeKeyboardMapping(m_d, code, 2, none, 1);
        }
        if (!m_spares.empty())
            XSync(m_d, False);
    }

    Display* m_d;
    XkbDescPtr m_xkb;
    std::map<KeySym, KeyCode> m_spares;
};

// Modifier keycodes that are down right now.
std::vector<KeyCode> heldModifiers(Display* d) {
    char keys[32];
    XQueryKeymap(d, keys);
    std::vector<KeyCode> held;
    for (KeySym sym : {XK_Shift_L, XK_Shift_R, XK_Control_L, XK_Control_R, XK_Alt_L, XK_Alt_R,
                       XK_ISO_Level3_Shift, XK_Super_L, XK_Super_R}) {
        KeyCode code = XKeysymToKeycode(d, sym);
        if (code && (keys[code / 8] & (1 << (code % 8))))
            held.push_back(code);
    }
    return held;
}

} // namespace

XTestKeyboard::XTestKeyboard(std::shared_ptr<XDisplay> display) : m_display(std::move(display)) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(m_display->get(), &event, &error, &major, &minor))
        raiseError(kCannotCreateObject, {}, "The X server has no XTest extension");
}

void XTestKeyboard::type(const std::vector<KeyEvent>& events, bool wait) {
    Display* d = m_display->get();
    Typist typist(d);
    KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    KeyCode altGr = XKeysymToKeycode(d, XK_ISO_Level3_Shift);
    XkbStateRec state{};
    XkbGetState(d, XkbUseCoreKbd, &state);
    // Every key is found (or bound) before the first goes down, so a string
    // that cannot be typed leaves no key pressed.
    std::vector<Stroke> strokes;
    for (const KeyEvent& e : events)
        strokes.push_back(typist.strokeFor(keysymOf(e.key), state.group, altGr != 0));
    std::vector<KeyCode> held = heldModifiers(d);
    for (KeyCode code : held)
        typist.key(code, false);
    int shiftHeld = 0; // by the string itself
    for (size_t i = 0; i < events.size(); ++i) {
        const KeyEvent& e = events[i];
        if (e.key.named == NamedKey::Shift)
            shiftHeld += e.down ? 1 : -1;
        const Stroke& s = strokes[i];
        bool addShift = e.down && s.shift && shiftHeld == 0;
        if (addShift)
            typist.key(shift, true);
        if (e.down && s.altGr)
            typist.key(altGr, true);
        // The level keys go up right after the press: the character is
        // chosen when its key goes down.
        typist.key(s.code, e.down);
        if (e.down && s.altGr)
            typist.key(altGr, false);
        if (addShift)
            typist.key(shift, false);
        XFlush(d);
    }
    for (KeyCode code : held)
        typist.key(code, true);
    // One round trip: the server has processed every key and queued its
    // events to the window's client.
    XSync(d, False);
    // A borrowed keycode means its character only while it stays bound, and
    // the client looks it up when it reads its queue: give it that time
    // before the keycode is given back.
    if (wait && typist.borrowed())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

} // namespace rt::x11
