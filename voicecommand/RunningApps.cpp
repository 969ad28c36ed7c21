#include "voicecommand/RunningApps.h"

#include <memory>

#include "runtime/core/Collection.h"
#include "runtime/core/Error.h"
#include "runtime/forms/ListBox.h"
#include "runtime/platform/desktop/User32.h"

namespace RunningApps {

namespace {

constexpr int kTextBuffer = 256;

std::unique_ptr<rt::Collection>& windowHandles() {
    static std::unique_ptr<rt::Collection> handles;
    return handles;
}

// Comes into being at its first use.
rt::Collection& WindowHandles() {
    if (!windowHandles())
        windowHandles() = std::make_unique<rt::Collection>();
    return *windowHandles();
}

} // namespace

std::string MakeWindowKey(const std::string& className, const std::string& title) {
    return className + " " + kBrokenBar + " " + title;
}

namespace {
constexpr char kKeyEscape = '\x01';
constexpr std::string_view kEscaped = "*~$\x01";
constexpr std::string_view kEscapeLetters = "stde";
} // namespace

std::string StoreWindowKey(std::string_view key) {
    std::string stored;
    stored.reserve(key.size());
    for (char c : key) {
        size_t at = kEscaped.find(c);
        if (at == std::string_view::npos) {
            stored += c;
        } else {
            stored += kKeyEscape;
            stored += kEscapeLetters[at];
        }
    }
    return stored;
}

std::string_view StoredKeyText(std::string_view stored, std::string& buffer) {
    if (stored.find(kKeyEscape) == std::string_view::npos)
        return stored;
    buffer.clear();
    for (size_t i = 0; i < stored.size(); ++i) {
        size_t at = std::string_view::npos;
        if (stored[i] == kKeyEscape && i + 1 < stored.size())
            at = kEscapeLetters.find(stored[i + 1]);
        if (at == std::string_view::npos) {
            buffer += stored[i];
        } else {
            buffer += kEscaped[at];
            ++i;
        }
    }
    return buffer;
}

bool SplitWindowKey(const std::string& key, std::string& className, std::string& title) {
    size_t bar = key.find(kBrokenBar);
    // The class ends before the blank that precedes the bar; a bar at the
    // very start leaves nothing to split.
    if (bar == std::string::npos || bar == 0)
        return false;
    className = key.substr(0, bar - 1);
    title = bar + 2 <= key.size() ? key.substr(bar + 2) : std::string();
    return true;
}

int16_t FillRunningApps(rt::ListBox& list) {
    list.Clear();
    rt::EnumWindows(EnumWindowsProc, list.hWnd());
    return static_cast<int16_t>(list.ListCount());
}

bool EnumWindowsProc(HWND hWnd, intptr_t lParam) {
    auto listBox = static_cast<HWND>(lParam);
    if (!rt::IsWindowVisible(hWnd) || rt::GetParent(hWnd) != 0 ||
        rt::GetWindowLongA(hWnd, rt::GWL_HWNDPARENT) != 0)
        return true;
    std::string title = rt::GetWindowTextA(hWnd, kTextBuffer);
    std::string className = rt::GetClassNameA(hWnd, kTextBuffer);
    if (title.empty())
        return true;
    std::string key = MakeWindowKey(className, title);
    int32_t index = rt::SendMessageA(listBox, rt::LB_ADDSTRING, 0, rt::Variant(key));
    rt::SendMessageA(listBox, rt::LB_SETITEMDATA, index, rt::Variant(int32_t{hWnd}));
    AddWindowHandle(hWnd, key);
    return true;
}

// A key seen before keeps its first handle; a missing key gives 0. Both are
// ordinary outcomes here, so they are looked up rather than raised.
void AddWindowHandle(HWND hWnd, const std::string& windowKey) {
    rt::skipFailure([&] {
        if (!WindowHandles().hasKey(windowKey))
            WindowHandles().Add(rt::Variant(int32_t{hWnd}), windowKey);
    });
}

HWND GetWindowHandle(std::string_view windowKey) {
    HWND hWnd = 0;
    rt::skipFailure([&] {
        if (const rt::Variant* handle = WindowHandles().find(windowKey))
            hWnd = handle->toLong();
    });
    return hWnd;
}

bool ListFindExact(HWND hListBox, const std::string& text) {
    return rt::SendMessageA(hListBox, rt::LB_FINDSTRINGEXACT, -1, rt::Variant(text)) >= 0;
}

bool ForceForeground(HWND hWnd) {
    // No window: without this check a desktop with no foreground window
    // would report success, and the caller would not start the program.
    if (hWnd == 0)
        return false;
    if (hWnd == rt::GetForegroundWindow())
        return true;
    rt::ThreadId foregroundThread = rt::GetWindowThreadProcessId(rt::GetForegroundWindow());
    rt::ThreadId targetThread = rt::GetWindowThreadProcessId(hWnd);
    bool ok;
    if (foregroundThread == targetThread) {
        ok = rt::SetForegroundWindow(hWnd);
    } else {
        // Attach only for the activation: the window system lets the
        // foreground thread hand the foreground on.
        rt::AttachThreadInput(foregroundThread, targetThread, true);
        ok = rt::SetForegroundWindow(hWnd);
        rt::AttachThreadInput(foregroundThread, targetThread, false);
    }
    rt::ShowWindow(hWnd, rt::IsIconic(hWnd) ? rt::SW_RESTORE : rt::SW_SHOW);
    return ok;
}

void ReleaseWindowHandles() {
    windowHandles().reset();
}

} // namespace RunningApps
