#include "runtime/platform/help/HtmlHelp.h"

#include <filesystem>

#include "runtime/core/Ansi.h"
#include "runtime/core/BackendSlot.h"
#include "runtime/platform/help/ShellHelp.h"

namespace rt {

namespace {
BackendSlot<HelpBackend, ShellHelp>& slot() {
    static BackendSlot<HelpBackend, ShellHelp> s;
    return s;
}

// A path may itself hold ">": a target naming an existing file is that file.
HelpRequest split(const std::string& target) {
    HelpRequest request;
    std::error_code ec;
    size_t mark = target.rfind('>');
    if (mark == std::string::npos || std::filesystem::exists(utf8FromAnsi(target), ec)) {
        request.file = target;
    } else {
        request.file = target.substr(0, mark);
        request.window = target.substr(mark + 1);
    }
    return request;
}
} // namespace

HelpBackend& help() {
    return slot().get();
}
void setHelp(std::shared_ptr<HelpBackend> backend) {
    slot().set(std::move(backend));
}

bool HtmlHelpA(HWND owner, const std::string& target, uint32_t command, int32_t data) {
    return HtmlHelpA(owner, target, command, data, nullptr);
}

bool HtmlHelpA(HWND /*owner*/, const std::string& target, uint32_t command, int32_t data,
               std::function<void()> failedLater) {
    if (command != HH_DISPLAY_TOPIC && command != HH_HELP_CONTEXT)
        return false;
    HelpRequest request = split(target);
    if (request.file.empty())
        return false;
    request.command = command;
    request.contextId = command == HH_HELP_CONTEXT ? data : 0;
    request.failedLater = std::move(failedLater);
    return help().display(request);
}

} // namespace rt
