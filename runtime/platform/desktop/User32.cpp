#include "runtime/platform/desktop/User32.h"

namespace rt {

bool EnumWindows(const std::function<bool(HWND, intptr_t)>& proc, intptr_t lParam) {
    for (HWND hWnd : desktop().topLevelWindows())
        if (!proc(hWnd, lParam))
            return false;
    return true;
}

bool IsWindow(HWND hWnd) {
    return hWnd != 0 && desktop().isWindow(hWnd);
}
bool IsWindowVisible(HWND hWnd) {
    return IsWindow(hWnd) && desktop().isVisible(hWnd);
}
HWND GetParent(HWND hWnd) {
    return IsWindow(hWnd) ? desktop().parent(hWnd) : 0;
}

int32_t GetWindowLongA(HWND hWnd, int index) {
    if (index != GWL_HWNDPARENT || !IsWindow(hWnd))
        return 0;
    return desktop().owner(hWnd);
}

namespace {
std::string cut(std::string text, int maxCount) {
    if (maxCount <= 0)
        return {};
    if (text.size() > static_cast<size_t>(maxCount - 1))
        text.resize(static_cast<size_t>(maxCount - 1));
    return text;
}
} // namespace

std::string GetWindowTextA(HWND hWnd, int maxCount) {
    return IsWindow(hWnd) ? cut(desktop().windowText(hWnd), maxCount) : std::string();
}

std::string GetClassNameA(HWND hWnd, int maxCount) {
    return IsWindow(hWnd) ? cut(desktop().className(hWnd), maxCount) : std::string();
}

HWND FindWindowA(const std::optional<std::string>& className,
                 const std::optional<std::string>& windowName) {
    for (HWND hWnd : desktop().topLevelWindows()) {
        if (className && desktop().className(hWnd) != *className)
            continue;
        if (windowName && desktop().windowText(hWnd) != *windowName)
            continue;
        return hWnd;
    }
    return 0;
}

HWND GetForegroundWindow() {
    return desktop().foreground();
}
ThreadId GetWindowThreadProcessId(HWND hWnd) {
    return IsWindow(hWnd) ? desktop().threadOf(hWnd) : 0;
}

bool AttachThreadInput(ThreadId idAttach, ThreadId idAttachTo, bool attach) {
    return desktop().attachThreadInput(idAttach, idAttachTo, attach);
}

bool SetForegroundWindow(HWND hWnd) {
    return IsWindow(hWnd) && desktop().setForeground(hWnd);
}
bool ShowWindow(HWND hWnd, int showCmd) {
    return IsWindow(hWnd) && desktop().showWindow(hWnd, showCmd);
}
bool IsIconic(HWND hWnd) {
    return IsWindow(hWnd) && desktop().isIconic(hWnd);
}
bool IsZoomed(HWND hWnd) {
    return IsWindow(hWnd) && desktop().isZoomed(hWnd);
}

bool SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, uint32_t flags) {
    return IsWindow(hWnd) && desktop().setWindowPos(hWnd, insertAfter, x, y, cx, cy, flags);
}

bool GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT& placement) {
    if (placement.length != sizeof(WINDOWPLACEMENT) || !IsWindow(hWnd))
        return false;
    return desktop().windowPlacement(hWnd, placement);
}

int32_t SendMessageA(HWND hWnd, uint32_t msg, intptr_t wParam, const Variant& lParam) {
    return IsWindow(hWnd) ? desktop().sendMessage(hWnd, msg, wParam, lParam) : 0;
}

} // namespace rt
