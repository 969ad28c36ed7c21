#include "runtime/backends/x11/XDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "runtime/core/Error.h"

namespace rt::x11 {

namespace {
// Xlib's default handler ends the process on a stale window; a vanished
// window is an ordinary event on a desktop.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }
} // namespace

std::shared_ptr<XDisplay> XDisplay::open() {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        raiseError(kCannotCreateObject, {}, "Cannot connect to the X display");
    XSetErrorHandler(ignoreErrors);
    return std::shared_ptr<XDisplay>(new XDisplay(d));
}

XDisplay::~XDisplay() { XCloseDisplay(m_display); }

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
    bool ok = XGetWindowProperty(m_display, w, atom(property), 0, 65536, False, AnyPropertyType, &actual,
                                 &format, &count, &after, &data) == Success &&
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
    return !check.empty() && check[0] != 0;
}

} // namespace rt::x11
