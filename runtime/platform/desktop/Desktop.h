#pragma once
// The window system as the deliverables call it: top-level windows of every
// program, the foreground, showing and placing windows, and messages to the
// program's own list boxes. One interface, a simulated backend for tests and
// headless runs, a real one per window system.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/Variant.h"

namespace rt {

// A window handle as the program stores it: 32 bits, 0 for none.
using HWND = int32_t;
using ThreadId = uint32_t;

constexpr int GWL_HWNDPARENT = -8;

// Show commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

constexpr HWND HWND_TOPMOST = -1;
constexpr HWND HWND_NOTOPMOST = -2;
constexpr uint32_t SWP_NOSIZE = 0x1;
constexpr uint32_t SWP_NOMOVE = 0x2;

// List-box messages.
constexpr uint32_t LB_ADDSTRING = 0x180;
constexpr uint32_t LB_SETHORIZONTALEXTENT = 0x194;
constexpr uint32_t LB_SETITEMDATA = 0x19A;
constexpr uint32_t LB_SELITEMRANGE = 0x19B;
constexpr uint32_t LB_FINDSTRINGEXACT = 0x1A2;
constexpr int32_t LB_ERR = -1;

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};

struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct WINDOWPLACEMENT {
    uint32_t length = 0; // the caller sets sizeof(WINDOWPLACEMENT) first
    uint32_t flags = 0;
    uint32_t showCmd = 0; // SW_SHOWNORMAL, SW_SHOWMINIMIZED or SW_SHOWMAXIMIZED
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition; // restored rectangle, screen pixels
};

// What the program tells the desktop about one of its own windows (a form,
// or a list box inside one).
struct OwnWindow {
    std::string className;
    std::string title; // ANSI
    bool visible = false;
    HWND parent = 0; // the form of a control; 0 for a form
    // Answers messages sent to this window (list-box messages); may be empty.
    std::function<int32_t(uint32_t msg, intptr_t wParam, const Variant& lParam)> windowProc;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // Top-level windows of every program, topmost first, the program's own
    // included.
    virtual std::vector<HWND> topLevelWindows() = 0;
    virtual bool isWindow(HWND hWnd) = 0;
    virtual bool isVisible(HWND hWnd) = 0;
    virtual HWND parent(HWND hWnd) = 0;
    virtual HWND owner(HWND hWnd) = 0;
    virtual std::string windowText(HWND hWnd) = 0; // ANSI, whole
    virtual std::string className(HWND hWnd) = 0;  // ANSI, whole
    virtual ThreadId threadOf(HWND hWnd) = 0;      // 0 for no window

    virtual HWND foreground() = 0;
    virtual bool setForeground(HWND hWnd) = 0;
    virtual bool attachThreadInput(ThreadId from, ThreadId to, bool attach) = 0;

    virtual bool isIconic(HWND hWnd) = 0;
    virtual bool isZoomed(HWND hWnd) = 0;
    virtual bool showWindow(HWND hWnd, int showCmd) = 0;
    virtual bool setWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                              uint32_t flags) = 0;
    virtual bool windowPlacement(HWND hWnd, WINDOWPLACEMENT& placement) = 0;

    // The program's own windows.
    virtual HWND createOwnWindow(OwnWindow window) = 0;
    virtual void updateOwnWindow(HWND hWnd, const std::string& title, bool visible) = 0;
    // Where one of the program's own windows is (its whole rectangle, screen
    // pixels) and whether it is minimised or maximised. A desktop whose real
    // windows report this themselves ignores it.
    virtual void placeOwnWindow(HWND /*hWnd*/, const RECT& /*normal*/, bool /*iconic*/,
                                bool /*zoomed*/) {}
    virtual void destroyOwnWindow(HWND hWnd) = 0;
    // Delivers a message to one of the program's own windows; 0 for any other.
    virtual int32_t sendMessage(HWND hWnd, uint32_t msg, intptr_t wParam,
                                const Variant& lParam) = 0;
};

// The desktop in use. Until a backend is installed this is a fresh simulated
// desktop, so tests and headless runs need no set-up.
Desktop& desktop();
void setDesktop(std::shared_ptr<Desktop> backend);

} // namespace rt
