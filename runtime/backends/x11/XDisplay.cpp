#include "runtime/backends/x11/XDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "runtime/core/Error.h"

namespace rt::x11 {

namespace {
// Xlib's default handler ends the process on a stale window; a vanished
// window is an ordinary event on a desktop.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}
} // namespace

std::shared_ptr<XDisplay> XDisplay::open() {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        raiseError(kCannotCreateObject, {}, "Cannot connect to the X display");
    XSetErrorHandler(ignoreErrors);
    return std::shared_ptr<XDisplay>(new XDisplay(d));
}

XDisplay::~XDisplay() {
    if (m_clock)
        XDestroyWindow(m_display, m_clock);
    XCloseDisplay(m_display);
}

std::vector<unsigned long> XDisplay::longs(Window w, const char* property, Atom type) const {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> out;
    if (XGetWindowProperty(m_display, w, atom(property), 0, 65536, False, type, &actual, &format,
                           &count, &after, &data) == Success &&
        data && format == 32) {
        auto* items = reinterpret_cast<unsigned long*>(data);
        out.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return out;
}

bool XDisplay::text(Window w, const char* property, std::string& out, bool& utf8) const {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool ok = XGetWindowProperty(m_display, w, atom(property), 0, 65536, False, AnyPropertyType,
                                 &actual, &format, &count, &after, &data) == Success &&
              data && format == 8;
    if (ok) {
        out.assign(reinterpret_cast<char*>(data), count);
        utf8 = actual == atom("UTF8_STRING");
    }
    if (data)
        XFree(data);
    return ok;
}

bool XDisplay::hasWindowManager() const {
    auto check = longs(root(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (check.empty() || check[0] == 0)
        return false;
    // A window manager that has gone leaves the root's property behind; its
    // check window, which names itself, goes with it.
    auto self = longs(check[0], "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return !self.empty() && self[0] == check[0];
}

Time XDisplay::serverTime() {
    if (!m_clock) {
        XSetWindowAttributes attrs{};
        attrs.override_redirect = True;
        attrs.event_mask = PropertyChangeMask;
        m_clock = XCreateWindow(m_display, root(), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                                CopyFromParent, CWOverrideRedirect | CWEventMask, &attrs);
    }
    Atom stamp = atom("QUIBO_TIMESTAMP");
    XChangeProperty(m_display, m_clock, stamp, XA_CARDINAL, 32, PropModeAppend, nullptr, 0);
    // After the round trip the notification is in the queue already.
    XSync(m_display, False);
    XEvent e;
    Time time = CurrentTime;
    while (XCheckTypedWindowEvent(m_display, m_clock, PropertyNotify, &e))
        time = e.xproperty.time;
    return time;
}

} // namespace rt::x11
