#include "runtime/platform/help/ShellHelp.h"

#include <filesystem>

#include "runtime/core/Ansi.h"
#include "runtime/core/Strings.h"
#include "runtime/platform/shell/Shell32.h"

namespace rt {

namespace {
bool exists(const std::string& ansiPath) {
    std::error_code ec;
    return std::filesystem::exists(utf8FromAnsi(ansiPath), ec);
}
} // namespace

std::string ShellHelp::fileToOpen(const std::string& file) {
    const std::string compiled = ".chm";
    if (file.size() <= compiled.size() || LCase(Right(file, 4)) != compiled || exists(file))
        return file;
    std::string page = file.substr(0, file.size() - compiled.size()) + ".html";
    return exists(page) ? page : file;
}

bool ShellHelp::display(const HelpRequest& request) {
    SHELLEXECUTEINFO info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "open";
    info.lpFile = fileToOpen(request.file);
    if (!ShellExecuteExA(info))
        return false;
    // The desktop's opener took the page; it may still find no program for it.
    WhenOpenFails(info.hProcess, request.failedLater);
    return true;
}

} // namespace rt
