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
    return ShellExecuteA(0, std::string("open"), fileToOpen(request.file), std::nullopt,
                         std::nullopt, SW_SHOWNORMAL) > 32;
}

} // namespace rt
