#pragma once
// The module that knows the running programs: lists the top-level windows
// under their window keys, remembers each key's window handle, brings a
// window to the front; and the program's application-error convention.

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/platform/desktop/Desktop.h"

namespace rt {
class ListBox;
}

namespace RunningApps {

using rt::HWND;

// The separator inside a window key: class, blank, broken bar, blank, title.
constexpr char kBrokenBar = '\xA6';

// Window keys: class, blank, broken bar, blank, title. Splitting cuts the
// class before the blank that precedes the first bar and the title after the
// blank that follows it; false for a key without a bar or starting with one.
std::string MakeWindowKey(const std::string& className, const std::string& title);
bool SplitWindowKey(const std::string& key, std::string& className, std::string& title);

// A window key as an application record holds it: the record's separators
// "*", "~" and "$" inside a class or title become the byte 1 and a letter
// (the byte 1 itself too), which no window text or record written before
// holds, so old records read as they did. StoredKeyText undoes it; a key
// without the byte 1 is returned as it stands, in `buffer`'s place unused.
std::string StoreWindowKey(std::string_view key);
std::string_view StoredKeyText(std::string_view stored, std::string& buffer);

// Window listing and switching (RunningApps.cpp).
int16_t FillRunningApps(rt::ListBox& list);
bool EnumWindowsProc(HWND hWnd, intptr_t lParam);
void AddWindowHandle(HWND hWnd, const std::string& windowKey);
HWND GetWindowHandle(std::string_view windowKey);
bool ListFindExact(HWND hListBox, const std::string& text);
bool ForceForeground(HWND hWnd);
// Releases the window-key collection (shut-down).
void ReleaseWindowHandles();

// Application errors (AppError.cpp).
int32_t LoWord(int32_t x);
[[noreturn]] void RaiseAppError(int32_t n);

} // namespace RunningApps
