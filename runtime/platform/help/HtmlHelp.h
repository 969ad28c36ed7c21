#pragma once
// Showing a help file: at its default topic or at a topic's context number,
// in a named window of the file or its default one. The target is the file
// path, optionally followed by ">" and a window name.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "runtime/platform/desktop/Desktop.h"

namespace rt {

constexpr uint32_t HH_DISPLAY_TOPIC = 0;
constexpr uint32_t HH_HELP_CONTEXT = 15;

struct HelpRequest {
    std::string file;
    std::string window; // empty for the file's default window
    uint32_t command = HH_DISPLAY_TOPIC;
    int32_t contextId = 0; // with HH_HELP_CONTEXT only
    // Runs on the UI thread when the viewer took the file but finds out
    // only later that it cannot show it; may be empty.
    std::function<void()> failedLater;
};

class HelpBackend {
public:
    virtual ~HelpBackend() = default;
    // True when the help was shown.
    virtual bool display(const HelpRequest& request) = 0;
};

HelpBackend& help();
// Null goes back to the default backend, which opens the file through the
// shell layer.
void setHelp(std::shared_ptr<HelpBackend> backend);

// `data` is 0 for HH_DISPLAY_TOPIC and the context number for
// HH_HELP_CONTEXT. True when the help was shown; other commands and an empty
// target show nothing.
bool HtmlHelpA(HWND owner, const std::string& target, uint32_t command, int32_t data);
// The same; `failedLater` runs on the UI thread when the help, shown by
// this call's result, cannot be shown after all.
bool HtmlHelpA(HWND owner, const std::string& target, uint32_t command, int32_t data,
               std::function<void()> failedLater);

} // namespace rt
