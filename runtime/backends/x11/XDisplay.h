#pragma once
// One connection to the X server, shared by the desktop and keyboard
// backends, with the atoms they use.

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

namespace rt::x11 {

class XDisplay {
public:
    // Opens $DISPLAY; raises 429 with the reason when there is none.
    static std::shared_ptr<XDisplay> open();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    Display* get() const { return m_display; }
    Window root() const { return DefaultRootWindow(m_display); }
    Atom atom(const char* name) const { return XInternAtom(m_display, name, False); }

    // A property of 32-bit items (windows, atoms, cardinals); empty when absent.
    std::vector<unsigned long> longs(Window w, const char* property, Atom type) const;
    // A text property in UTF-8 (or Latin-1 for STRING); false when absent.
    bool text(Window w, const char* property, std::string& out, bool& utf8) const;
    // Whether a window manager that follows the desktop conventions runs.
    bool hasWindowManager() const;
    // The server's current time, for requests that a window manager judges
    // by their timestamp; CurrentTime when the server does not answer.
    Time serverTime();

private:
    explicit XDisplay(Display* display) : m_display(display) {}
    Display* m_display;
    Window m_clock = 0; // an unmapped window whose property changes tell the time
};

} // namespace rt::x11
