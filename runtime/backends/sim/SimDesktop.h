#pragma once
// A deterministic desktop: windows of other programs that tests add and
// close, the program's own windows, a z-order, a foreground window and a log
// of what was raised, shown and restored.
//
// Foreground rule: a window becomes the foreground window only when there is
// none, or the foreground window belongs to the program's own thread or to
// the target's thread, or the foreground window's thread has its input
// attached to the target's thread; never when the target refuses focus or
// is a child window. So switching from another program needs the attach step. Topmost windows
// stay above all others in the z-order.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/platform/desktop/Desktop.h"

namespace rt {

class SimDesktop : public Desktop {
public:
    struct Window {
        std::string className;
        std::string title;
        bool visible = true;
        HWND parent = 0;
        HWND owner = 0;
        ThreadId thread = 0; // 0: a thread of its own
        bool iconic = false;
        bool zoomed = false;
        bool refusesFocus = false;
        bool topmost = false;
        RECT normal{100, 100, 500, 400};
        bool own = false;
        std::function<int32_t(uint32_t, intptr_t, const Variant&)> windowProc;
    };

    static constexpr ThreadId kProgramThread = 1;

    // Test API. A new window goes on top of the z-order (below the topmost
    // windows unless it is one); it does not become the foreground window
    // unless asked.
    HWND addWindow(Window window, bool activate = false);
    // Closes its child and owned windows too; when the foreground window
    // goes, the first visible window left in the z-order takes its place.
    void closeWindow(HWND hWnd);
    // The user brings a window to the front (a click on it): no rule applies.
    void activate(HWND hWnd);
    void setTitle(HWND hWnd, const std::string& title);
    Window* window(HWND hWnd);
    // One line per change: "foreground <h>", "show <h> <cmd>", "topmost <h>".
    const std::vector<std::string>& log() const { return m_log; }
    void clearLog() { m_log.clear(); }

    std::vector<HWND> topLevelWindows() override;
    bool isWindow(HWND hWnd) override;
    bool isVisible(HWND hWnd) override;
    HWND parent(HWND hWnd) override;
    HWND owner(HWND hWnd) override;
    std::string windowText(HWND hWnd) override;
    std::string className(HWND hWnd) override;
    ThreadId threadOf(HWND hWnd) override;
    HWND foreground() override;
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

private:
    void raise(HWND hWnd);
    void note(const std::string& line) { m_log.push_back(line); }

    std::vector<std::string> m_log;
    std::map<HWND, Window> m_windows;
    std::vector<HWND> m_zOrder; // topmost first
    std::set<std::pair<ThreadId, ThreadId>> m_attached;
    HWND m_foreground = 0;
    HWND m_nextHandle = 0x10010;
    ThreadId m_nextThread = 100;
};

} // namespace rt
