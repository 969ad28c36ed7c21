#include "runtime/backends/sim/SimDesktop.h"

#include <algorithm>

namespace rt {

HWND SimDesktop::addWindow(Window window, bool activate) {
    HWND hWnd = m_nextHandle;
    m_nextHandle += 0x10;
    if (window.thread == 0)
        window.thread = window.own ? kProgramThread : m_nextThread++;
    m_windows[hWnd] = std::move(window);
    raise(hWnd);
    if (activate)
        m_foreground = hWnd;
    return hWnd;
}

void SimDesktop::closeWindow(HWND hWnd) {
    if (!window(hWnd))
        return;
    m_windows.erase(hWnd);
    std::erase(m_zOrder, hWnd);
    // Child and owned windows go with their window, as dialogs do with
    // the program that opened them.
    std::vector<HWND> dependants;
    for (const auto& [h, w] : m_windows)
        if (w.parent == hWnd || w.owner == hWnd)
            dependants.push_back(h);
    for (HWND h : dependants)
        closeWindow(h);
    if (m_foreground != 0 && !window(m_foreground)) {
        auto next = std::find_if(m_zOrder.begin(), m_zOrder.end(),
                                 [this](HWND h) { return m_windows[h].visible; });
        m_foreground = next == m_zOrder.end() ? 0 : *next;
    }
}

void SimDesktop::activate(HWND hWnd) {
    if (!window(hWnd))
        return;
    // A click inside a child activates the top-level window around it.
    while (window(hWnd)->parent != 0 && window(window(hWnd)->parent))
        hWnd = window(hWnd)->parent;
    m_foreground = hWnd;
    raise(hWnd);
}

void SimDesktop::setTitle(HWND hWnd, const std::string& title) {
    if (Window* w = window(hWnd))
        w->title = title;
}

SimDesktop::Window* SimDesktop::window(HWND hWnd) {
    auto it = m_windows.find(hWnd);
    return it == m_windows.end() ? nullptr : &it->second;
}

std::vector<HWND> SimDesktop::topLevelWindows() {
    return m_zOrder;
}
bool SimDesktop::isWindow(HWND hWnd) {
    return window(hWnd) != nullptr;
}
bool SimDesktop::isVisible(HWND hWnd) {
    return window(hWnd) && window(hWnd)->visible;
}
HWND SimDesktop::parent(HWND hWnd) {
    return window(hWnd) ? window(hWnd)->parent : 0;
}
HWND SimDesktop::owner(HWND hWnd) {
    return window(hWnd) ? window(hWnd)->owner : 0;
}
std::string SimDesktop::windowText(HWND hWnd) {
    return window(hWnd) ? window(hWnd)->title : "";
}
std::string SimDesktop::className(HWND hWnd) {
    return window(hWnd) ? window(hWnd)->className : "";
}
ThreadId SimDesktop::threadOf(HWND hWnd) {
    return window(hWnd) ? window(hWnd)->thread : 0;
}
HWND SimDesktop::foreground() {
    return m_foreground;
}

void SimDesktop::raise(HWND hWnd) {
    if (m_windows[hWnd].parent != 0)
        return;
    std::erase(m_zOrder, hWnd);
    // Topmost windows stay above all others: a raised window goes to the top
    // of its own band.
    auto pos = m_zOrder.begin();
    if (!m_windows[hWnd].topmost)
        pos = std::find_if(pos, m_zOrder.end(), [this](HWND h) { return !m_windows[h].topmost; });
    m_zOrder.insert(pos, hWnd);
}

bool SimDesktop::setForeground(HWND hWnd) {
    Window* w = window(hWnd);
    if (!w || w->parent != 0 || w->refusesFocus)
        return false;
    ThreadId fgThread = threadOf(m_foreground);
    bool allowed = m_foreground == 0 || fgThread == kProgramThread || fgThread == w->thread ||
                   m_attached.count({fgThread, w->thread}) != 0;
    if (!allowed)
        return false;
    m_foreground = hWnd;
    raise(hWnd);
    note("foreground " + std::to_string(hWnd));
    return true;
}

bool SimDesktop::attachThreadInput(ThreadId from, ThreadId to, bool attach) {
    if (from == 0 || to == 0 || from == to)
        return false;
    if (attach)
        m_attached.insert({from, to});
    else
        m_attached.erase({from, to});
    return true;
}

bool SimDesktop::isIconic(HWND hWnd) {
    return window(hWnd) && window(hWnd)->iconic;
}
bool SimDesktop::isZoomed(HWND hWnd) {
    return window(hWnd) && window(hWnd)->zoomed && !window(hWnd)->iconic;
}

bool SimDesktop::showWindow(HWND hWnd, int showCmd) {
    Window* w = window(hWnd);
    if (!w)
        return false;
    bool wasVisible = w->visible;
    switch (showCmd) {
    case SW_HIDE: w->visible = false; break;
    case SW_SHOWNORMAL:
        w->visible = true;
        w->iconic = w->zoomed = false;
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        w->visible = true;
        w->iconic = true;
        break;
    case SW_SHOWMAXIMIZED:
        w->visible = true;
        w->iconic = false;
        w->zoomed = true;
        break;
    case SW_RESTORE:
        // From minimised back to what it was before; from maximised to normal.
        w->visible = true;
        if (w->iconic)
            w->iconic = false;
        else
            w->zoomed = false;
        break;
    default: w->visible = true; break;
    }
    note("show " + std::to_string(hWnd) + " " + std::to_string(showCmd));
    return wasVisible;
}

bool SimDesktop::setWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                              uint32_t flags) {
    Window* w = window(hWnd);
    if (!w)
        return false;
    if (insertAfter == HWND_TOPMOST) {
        w->topmost = true;
        raise(hWnd);
        note("topmost " + std::to_string(hWnd));
    } else if (insertAfter == HWND_NOTOPMOST && w->topmost) {
        w->topmost = false;
        raise(hWnd);
    }
    if (!(flags & SWP_NOMOVE)) {
        w->normal.right += x - w->normal.left;
        w->normal.bottom += y - w->normal.top;
        w->normal.left = x;
        w->normal.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        w->normal.right = w->normal.left + cx;
        w->normal.bottom = w->normal.top + cy;
    }
    return true;
}

bool SimDesktop::windowPlacement(HWND hWnd, WINDOWPLACEMENT& placement) {
    Window* w = window(hWnd);
    if (!w)
        return false;
    placement.showCmd = w->iconic ? SW_SHOWMINIMIZED : w->zoomed ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement.rcNormalPosition = w->normal;
    return true;
}

HWND SimDesktop::createOwnWindow(OwnWindow own) {
    Window w;
    w.className = std::move(own.className);
    w.title = std::move(own.title);
    w.visible = own.visible;
    w.parent = own.parent;
    w.own = true;
    w.windowProc = std::move(own.windowProc);
    return addWindow(std::move(w));
}

void SimDesktop::updateOwnWindow(HWND hWnd, const std::string& title, bool visible) {
    if (Window* w = window(hWnd)) {
        w->title = title;
        w->visible = visible;
    }
}

void SimDesktop::placeOwnWindow(HWND hWnd, const RECT& normal, bool iconic, bool zoomed) {
    if (Window* w = window(hWnd); w && w->own) {
        w->normal = normal;
        w->iconic = iconic;
        w->zoomed = zoomed;
    }
}

void SimDesktop::destroyOwnWindow(HWND hWnd) {
    closeWindow(hWnd);
}

int32_t SimDesktop::sendMessage(HWND hWnd, uint32_t msg, intptr_t wParam, const Variant& lParam) {
    Window* w = window(hWnd);
    if (!w || !w->own || !w->windowProc)
        return 0;
    auto proc = w->windowProc; // the procedure may destroy its window
    return proc(msg, wParam, lParam);
}

} // namespace rt
