#include "runtime/backends/x11/X11Desktop.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

#include "runtime/core/Ansi.h"

namespace rt::x11 {

namespace {
constexpr long kSourcePager = 2;
constexpr auto kActivationWait = std::chrono::milliseconds(1500);
} // namespace

X11Desktop::X11Desktop(std::shared_ptr<XDisplay> display) : m_display(std::move(display)) {}

std::vector<HWND> X11Desktop::topLevelWindows() {
    std::vector<HWND> out;
    if (m_display->hasWindowManager()) {
        auto stacking = m_display->longs(m_display->root(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
        if (stacking.empty())
            stacking = m_display->longs(m_display->root(), "_NET_CLIENT_LIST", XA_WINDOW);
        // Bottom to top as listed; topmost first as enumerated.
        for (auto it = stacking.rbegin(); it != stacking.rend(); ++it)
            out.push_back(static_cast<HWND>(*it));
        return out;
    }
    Window rootReturn = 0, parentReturn = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy(), m_display->root(), &rootReturn, &parentReturn, &children, &count))
        return out;
    for (unsigned int i = count; i-- > 0;) {
        // Menus, tooltips and similar pop-ups bypass any window manager: they
        // are never a program's top-level window.
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(dpy(), children[i], &attrs) || attrs.override_redirect)
            continue;
        XClassHint hint{};
        if (XGetClassHint(dpy(), children[i], &hint)) {
            out.push_back(static_cast<HWND>(children[i]));
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    if (children)
        XFree(children);
    return out;
}

bool X11Desktop::isWindow(HWND hWnd) {
    if (isOwn(hWnd))
        return true;
    XWindowAttributes attrs;
    return hWnd > 0 && XGetWindowAttributes(dpy(), static_cast<Window>(hWnd), &attrs) != 0;
}

bool X11Desktop::isVisible(HWND hWnd) {
    if (isOwn(hWnd))
        return m_own[hWnd].visible;
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy(), static_cast<Window>(hWnd), &attrs))
        return false;
    // A minimised window is unmapped by the window manager but still counts.
    return attrs.map_state == IsViewable || isIconic(hWnd);
}

HWND X11Desktop::parent(HWND hWnd) {
    return isOwn(hWnd) ? m_own[hWnd].parent : 0;
}

HWND X11Desktop::owner(HWND hWnd) {
    if (isOwn(hWnd))
        return 0;
    Window transientFor = 0;
    if (XGetTransientForHint(dpy(), static_cast<Window>(hWnd), &transientFor))
        return static_cast<HWND>(transientFor);
    return 0;
}

std::string X11Desktop::windowText(HWND hWnd) {
    if (isOwn(hWnd))
        return m_own[hWnd].title;
    std::string text;
    bool utf8 = false;
    if (m_display->text(static_cast<Window>(hWnd), "_NET_WM_NAME", text, utf8) ||
        m_display->text(static_cast<Window>(hWnd), "WM_NAME", text, utf8))
        return utf8 ? ansiFromUtf8(text) : text; // STRING is Latin-1: ANSI as it is
    return {};
}

std::string X11Desktop::className(HWND hWnd) {
    if (isOwn(hWnd))
        return m_own[hWnd].className;
    XClassHint hint{};
    if (!XGetClassHint(dpy(), static_cast<Window>(hWnd), &hint))
        return {};
    std::string cls = hint.res_class ? ansiFromUtf8(hint.res_class) : std::string();
    XFree(hint.res_name);
    XFree(hint.res_class);
    return cls;
}

ThreadId X11Desktop::threadOf(HWND hWnd) {
    if (isOwn(hWnd))
        return 1;
    auto pid = m_display->longs(static_cast<Window>(hWnd), "_NET_WM_PID", XA_CARDINAL);
    if (!pid.empty())
        return static_cast<ThreadId>(pid[0]);
    // Without a process id the client's resource base tells windows apart.
    return static_cast<ThreadId>((static_cast<unsigned long>(hWnd) >> 21) | 0x80000000u);
}

HWND X11Desktop::foreground() {
    if (m_display->hasWindowManager()) {
        auto active = m_display->longs(m_display->root(), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        if (!active.empty())
            return static_cast<HWND>(active[0]);
    }
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy(), &focus, &revert);
    if (focus == None || focus == PointerRoot)
        return 0;
    // The focus may sit on a child of the client, and the client inside a
    // frame: the client is the window that carries WM_STATE, else the
    // child of the root.
    Atom wmState = m_display->atom("WM_STATE");
    while (true) {
        if (!m_display->longs(focus, "WM_STATE", wmState).empty())
            return static_cast<HWND>(focus);
        Window rootReturn = 0, parentReturn = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(dpy(), focus, &rootReturn, &parentReturn, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (parentReturn == rootReturn || parentReturn == 0)
            return static_cast<HWND>(focus);
        focus = parentReturn;
    }
}

void X11Desktop::activate(Window w) {
    Time now = m_display->serverTime();
    if (m_display->hasWindowManager()) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = m_display->atom("_NET_ACTIVE_WINDOW");
        e.xclient.format = 32;
        e.xclient.data.l[0] = kSourcePager;
        e.xclient.data.l[1] = static_cast<long>(now);
        XSendEvent(dpy(), m_display->root(), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
    } else {
        XMapRaised(dpy(), w);
        XSetInputFocus(dpy(), w, RevertToParent, now);
    }
    XFlush(dpy());
}

bool X11Desktop::waitUntilActive(Window w) {
    auto deadline = std::chrono::steady_clock::now() + kActivationWait;
    while (std::chrono::steady_clock::now() < deadline) {
        XSync(dpy(), False);
        if (foreground() == static_cast<HWND>(w))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool X11Desktop::setForeground(HWND hWnd) {
    if (hWnd <= 0 || isOwn(hWnd) || !isWindow(hWnd))
        return false;
    // A window that takes no input focus cannot become the active one.
    if (XWMHints* hints = XGetWMHints(dpy(), static_cast<Window>(hWnd))) {
        bool refuses = (hints->flags & InputHint) && !hints->input;
        XFree(hints);
        Atom* protocols = nullptr;
        int count = 0;
        bool takeFocus = false;
        if (XGetWMProtocols(dpy(), static_cast<Window>(hWnd), &protocols, &count)) {
            for (int i = 0; i < count; ++i)
                takeFocus |= protocols[i] == m_display->atom("WM_TAKE_FOCUS");
            XFree(protocols);
        }
        if (refuses && !takeFocus)
            return false;
    }
    activate(static_cast<Window>(hWnd));
    return waitUntilActive(static_cast<Window>(hWnd));
}

bool X11Desktop::attachThreadInput(ThreadId, ThreadId, bool) {
    return true;
}

bool X11Desktop::hasState(Window w, const char* state) const {
    for (unsigned long a : m_display->longs(w, "_NET_WM_STATE", XA_ATOM))
        if (a == m_display->atom(state))
            return true;
    return false;
}

void X11Desktop::changeState(Window w, bool add, const char* first, const char* second) {
    // A window manager hears state requests only for mapped windows; a
    // window not mapped yet carries its wish in the property it reads at
    // mapping time.
    if (m_display->longs(w, "WM_STATE", m_display->atom("WM_STATE")).empty()) {
        XWindowAttributes attrs;
        if (XGetWindowAttributes(dpy(), w, &attrs) && attrs.map_state == IsUnmapped) {
            std::vector<unsigned long> states = m_display->longs(w, "_NET_WM_STATE", XA_ATOM);
            for (const char* name : {first, second}) {
                if (!name)
                    continue;
                unsigned long atom = m_display->atom(name);
                std::erase(states, atom);
                if (add)
                    states.push_back(atom);
            }
            XChangeProperty(dpy(), w, m_display->atom("_NET_WM_STATE"), XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<unsigned char*>(states.data()),
                            static_cast<int>(states.size()));
            XFlush(dpy());
            return;
        }
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = m_display->atom("_NET_WM_STATE");
    e.xclient.format = 32;
    e.xclient.data.l[0] = add ? 1 : 0;
    e.xclient.data.l[1] = static_cast<long>(m_display->atom(first));
    e.xclient.data.l[2] = second ? static_cast<long>(m_display->atom(second)) : 0;
    e.xclient.data.l[3] = kSourcePager;
    XSendEvent(dpy(), m_display->root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &e);
    XFlush(dpy());
}

bool X11Desktop::isIconic(HWND hWnd) {
    if (isOwn(hWnd))
        return false;
    auto w = static_cast<Window>(hWnd);
    auto state = m_display->longs(w, "WM_STATE", m_display->atom("WM_STATE"));
    return (!state.empty() && state[0] == IconicState) || hasState(w, "_NET_WM_STATE_HIDDEN");
}

bool X11Desktop::isZoomed(HWND hWnd) {
    if (isOwn(hWnd))
        return false;
    auto w = static_cast<Window>(hWnd);
    return hasState(w, "_NET_WM_STATE_MAXIMIZED_VERT") &&
           hasState(w, "_NET_WM_STATE_MAXIMIZED_HORZ");
}

bool X11Desktop::showWindow(HWND hWnd, int showCmd) {
    if (isOwn(hWnd) || !isWindow(hWnd))
        return false;
    auto w = static_cast<Window>(hWnd);
    bool wasVisible = isVisible(hWnd);
    switch (showCmd) {
    case SW_HIDE: XWithdrawWindow(dpy(), w, DefaultScreen(dpy())); break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED: XIconifyWindow(dpy(), w, DefaultScreen(dpy())); break;
    case SW_SHOWMAXIMIZED:
        XMapWindow(dpy(), w);
        changeState(w, true, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
        break;
    case SW_SHOWNORMAL:
        XMapWindow(dpy(), w);
        changeState(w, false, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
        break;
    case SW_RESTORE:
        // Mapping (and activating, with a window manager) takes a window out
        // of its minimised state.
        if (isIconic(hWnd)) {
            XMapWindow(dpy(), w);
            activate(w);
        } else {
            XMapWindow(dpy(), w);
            changeState(w, false, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
        }
        break;
    default: XMapWindow(dpy(), w); break;
    }
    XSync(dpy(), False);
    return wasVisible;
}

bool X11Desktop::setWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                              uint32_t flags) {
    if (isOwn(hWnd) || !isWindow(hWnd))
        return false;
    auto w = static_cast<Window>(hWnd);
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST)
        changeState(w, insertAfter == HWND_TOPMOST, "_NET_WM_STATE_ABOVE");
    if (!(flags & SWP_NOMOVE) && !(flags & SWP_NOSIZE))
        XMoveResizeWindow(dpy(), w, x, y, static_cast<unsigned>(cx), static_cast<unsigned>(cy));
    else if (!(flags & SWP_NOMOVE))
        XMoveWindow(dpy(), w, x, y);
    else if (!(flags & SWP_NOSIZE))
        XResizeWindow(dpy(), w, static_cast<unsigned>(cx), static_cast<unsigned>(cy));
    XSync(dpy(), False);
    return true;
}

bool X11Desktop::windowPlacement(HWND hWnd, WINDOWPLACEMENT& placement) {
    if (isOwn(hWnd) || !isWindow(hWnd))
        return false;
    auto w = static_cast<Window>(hWnd);
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy(), w, &attrs))
        return false;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(dpy(), w, m_display->root(), 0, 0, &x, &y, &child);
    placement.showCmd = isIconic(hWnd)   ? SW_SHOWMINIMIZED
                        : isZoomed(hWnd) ? SW_SHOWMAXIMIZED
                                         : SW_SHOWNORMAL;
    // A minimised or maximised window of the program is not where it will
    // be shown again (and a window manager may be animating it): its normal
    // rectangle is the one the program last gave it.
    if (auto placed = m_placed.find(hWnd);
        placed != m_placed.end() && placement.showCmd != SW_SHOWNORMAL) {
        placement.rcNormalPosition = placed->second;
        return true;
    }
    // The whole window, frame included.
    long left = 0, right = 0, top = 0, bottom = 0;
    std::vector<unsigned long> frame = m_display->longs(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (frame.size() == 4) {
        left = static_cast<long>(frame[0]);
        right = static_cast<long>(frame[1]);
        top = static_cast<long>(frame[2]);
        bottom = static_cast<long>(frame[3]);
    }
    placement.rcNormalPosition = RECT{static_cast<int32_t>(x - left), static_cast<int32_t>(y - top),
                                      static_cast<int32_t>(x + attrs.width + right),
                                      static_cast<int32_t>(y + attrs.height + bottom)};
    return true;
}

HWND X11Desktop::createOwnWindow(OwnWindow window) {
    HWND h = m_nextOwn++;
    m_own[h] = std::move(window);
    return h;
}

void X11Desktop::updateOwnWindow(HWND hWnd, const std::string& title, bool visible) {
    auto it = m_own.find(hWnd);
    if (it != m_own.end()) {
        it->second.title = title;
        it->second.visible = visible;
    }
}

void X11Desktop::placeOwnWindow(HWND hWnd, const RECT& normal, bool, bool) {
    m_placed[hWnd] = normal;
}

void X11Desktop::destroyOwnWindow(HWND hWnd) {
    m_own.erase(hWnd);
}

int32_t X11Desktop::sendMessage(HWND hWnd, uint32_t msg, intptr_t wParam, const Variant& lParam) {
    auto it = m_own.find(hWnd);
    if (it == m_own.end() || !it->second.windowProc)
        return 0;
    auto proc = it->second.windowProc; // may destroy its window
    return proc(msg, wParam, lParam);
}

} // namespace rt::x11
