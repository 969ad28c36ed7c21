#pragma once
// The window-system calls as the program makes them, over rt::desktop().

#include <functional>
#include <optional>
#include <string>

#include "runtime/platform/desktop/Desktop.h"

namespace rt {

// Calls `proc` for every top-level window, topmost first, until it returns
// false. The windows are those that existed when the enumeration began.
bool EnumWindows(const std::function<bool(HWND, intptr_t)>& proc, intptr_t lParam);
bool IsWindow(HWND hWnd);
bool IsWindowVisible(HWND hWnd);
HWND GetParent(HWND hWnd);
// GWL_HWNDPARENT gives the owner; any other index 0.
int32_t GetWindowLongA(HWND hWnd, int index);
// The text as a buffer of `maxCount` characters holds it: at most
// maxCount - 1 characters.
std::string GetWindowTextA(HWND hWnd, int maxCount);
std::string GetClassNameA(HWND hWnd, int maxCount);
// The first top-level window whose class and title equal the given ones
// exactly; only a missing argument matches any (an empty one matches only an
// empty class or title). 0 when there is none.
HWND FindWindowA(const std::optional<std::string>& className,
                 const std::optional<std::string>& windowName);
HWND GetForegroundWindow();
ThreadId GetWindowThreadProcessId(HWND hWnd);
bool AttachThreadInput(ThreadId idAttach, ThreadId idAttachTo, bool attach);
bool SetForegroundWindow(HWND hWnd);
bool ShowWindow(HWND hWnd, int showCmd);
bool IsIconic(HWND hWnd);
bool IsZoomed(HWND hWnd);
bool SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, uint32_t flags);
// Fails unless placement.length was set to sizeof(WINDOWPLACEMENT).
bool GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT& placement);
int32_t SendMessageA(HWND hWnd, uint32_t msg, intptr_t wParam, const Variant& lParam);

} // namespace rt
