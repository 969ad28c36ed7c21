#pragma once
// The desktop on an X11 session: the client windows the window manager lists
// (or, without one, the root's children that name a class), the active
// window, and the conventions a pager uses to activate, restore and raise.

#include <map>
#include <memory>

#include "runtime/backends/x11/XDisplay.h"
#include "runtime/platform/desktop/Desktop.h"

namespace rt::x11 {

class X11Desktop : public Desktop {
public:
    explicit X11Desktop(std::shared_ptr<XDisplay> display);

    std::vector<HWND> topLevelWindows() override;
    bool isWindow(HWND hWnd) override;
    bool isVisible(HWND hWnd) override;
    HWND parent(HWND hWnd) override;
    HWND owner(HWND hWnd) override;
    std::string windowText(HWND hWnd) override;
    std::string className(HWND hWnd) override;
    ThreadId threadOf(HWND hWnd) override;
    HWND foreground() override;
    // True only once the window really is the active one (a bounded wait).
    bool setForeground(HWND hWnd) override;
    bool attachThreadInput(ThreadId from, ThreadId to, bool attach) override;
    bool isIconic(HWND hWnd) override;
    bool isZoomed(HWND hWnd) override;
    bool showWindow(HWND hWnd, int showCmd) override;
    bool setWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                      uint32_t flags) override;
    bool windowPlacement(HWND hWnd, WINDOWPLACEMENT& placement) override;
    HWND createOwnWindow(OwnWindow window) override;
    void updateOwnWindow(HWND hWnd, const std::string& title, bool visible) override;
    void placeOwnWindow(HWND hWnd, const RECT& normal, bool iconic, bool zoomed) override;
    void destroyOwnWindow(HWND hWnd) override;
    int32_t sendMessage(HWND hWnd, uint32_t msg, intptr_t wParam, const Variant& lParam) override;

    // Handles of the program's own windows lie above every X window id.
    static constexpr HWND kFirstOwnHandle = 0x7F000000;

private:
    Display* dpy() const { return m_display->get(); }
    bool isOwn(HWND hWnd) const { return m_own.count(hWnd) != 0; }
    bool hasState(Window w, const char* state) const;
    void changeState(Window w, bool add, const char* first, const char* second = nullptr);
    void activate(Window w);
    bool waitUntilActive(Window w);

    std::shared_ptr<XDisplay> m_display;
    std::map<HWND, OwnWindow> m_own;
    // The normal rectangles the program gave its real windows.
    std::map<HWND, RECT> m_placed;
    HWND m_nextOwn = kFirstOwnHandle;
};

} // namespace rt::x11
