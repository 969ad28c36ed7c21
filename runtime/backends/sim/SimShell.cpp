#include "runtime/backends/sim/SimShell.h"

#include <filesystem>

#include "runtime/core/Ansi.h"
#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"

namespace rt {

namespace {
// What opening `file` would give: success, or why not.
int32_t answer(const std::string& verb, const std::string& file) {
    namespace fs = std::filesystem;
    if (file.empty())
        return SE_ERR_FNF;
    // Links for a browser or a mail program open whatever the desktop has.
    if (file.find("://") != std::string::npos || file.rfind("mailto:", 0) == 0)
        return verb == "explore" ? SE_ERR_NOASSOC : kShellSuccess;
    std::error_code ec;
    fs::path path = utf8FromAnsi(file);
    if (!fs::exists(path, ec))
        return fs::exists(path.parent_path(), ec) || !path.has_parent_path() ? SE_ERR_FNF
                                                                             : SE_ERR_PNF;
    if (verb == "explore" && !fs::is_directory(path, ec))
        return SE_ERR_NOASSOC;
    if (verb != "open" && verb != "explore")
        return SE_ERR_NOASSOC;
    return kShellSuccess;
}
} // namespace

int32_t SimShell::open(const std::string& verb, const std::string& file,
                       const std::optional<std::string>& /*parameters*/,
                       const std::optional<std::string>& /*directory*/, int showCmd,
                       int32_t& process) {
    int32_t result = answer(verb, file);
    m_calls.push_back({verb, file, {}, showCmd});
    m_succeeded.push_back(result > 32);
    process = result > 32 ? m_nextProcess++ : 0;
    return result;
}

int32_t SimShell::start(const std::vector<std::string>& argv, int showCmd) {
    std::error_code ec;
    bool exists = !argv.empty() && std::filesystem::is_regular_file(utf8FromAnsi(argv[0]), ec);
    m_calls.push_back({"start", argv.empty() ? std::string() : argv[0], argv, showCmd});
    m_succeeded.push_back(exists);
    if (!exists)
        raiseError(kFileNotFound);
    return m_nextProcess++;
}

void SimShell::whenFails(int32_t /*process*/, std::function<void()> failed) {
    if (m_openedFilesFail)
        uithread::post(std::move(failed));
}

std::vector<SimShell::Call> SimShell::started() const {
    std::vector<Call> out;
    for (size_t i = 0; i < m_calls.size(); ++i)
        if (m_succeeded[i])
            out.push_back(m_calls[i]);
    return out;
}

} // namespace rt
