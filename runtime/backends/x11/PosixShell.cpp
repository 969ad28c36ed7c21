#include "runtime/backends/x11/PosixShell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "runtime/core/Ansi.h"
#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"

extern char** environ;

namespace rt::x11 {

namespace {

// The openers still running, each with what to do should it end in failure
// (nothing until someone asks); touched on the UI thread only.
std::map<pid_t, std::function<void()>>& failureWatches() {
    static std::map<pid_t, std::function<void()>> watches;
    return watches;
}

void openerEnded(pid_t pid, bool failed) {
    auto it = failureWatches().find(pid);
    if (it == failureWatches().end())
        return;
    std::function<void()> watch = std::move(it->second);
    failureWatches().erase(it);
    if (failed && watch)
        watch();
}

enum class Ending { Unreported, Reported };

// Starts argv[0] (looked up on PATH when it has no slash) in a session of its
// own; returns its process id or 0. A reported ending reaches the event loop.
pid_t spawnDetached(const std::vector<std::string>& argv,
                    const std::optional<std::string>& directory,
                    Ending ending = Ending::Unreported) {
    std::vector<std::string> utf8;
    for (const auto& a : argv)
        utf8.push_back(utf8FromAnsi(a));
    std::vector<char*> args;
    for (auto& a : utf8)
        args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (directory && !directory->empty())
        posix_spawn_file_actions_addchdir_np(&actions, utf8FromAnsi(*directory).c_str());
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0)
        return 0;
    if (ending == Ending::Reported)
        failureWatches()[pid] = nullptr;
    std::thread([pid, ending] {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || ending == Ending::Unreported)
            return;
        bool failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        rt::uithread::post([pid, failed] { openerEnded(pid, failed); });
    }).detach();
    return pid;
}

bool isLink(const std::string& file) {
    return file.find("://") != std::string::npos || file.rfind("mailto:", 0) == 0;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

// Starts a program with its parameters as one argument each.
int32_t startProgram(std::vector<std::string> argv, const std::optional<std::string>& parameters,
                     const std::optional<std::string>& directory, int32_t& process) {
    if (parameters && !parameters->empty())
        for (const auto& p : splitCommandLine(*parameters))
            argv.push_back(p);
    pid_t pid = spawnDetached(argv, directory);
    if (!pid)
        return SE_ERR_ACCESSDENIED;
    process = pid;
    return kShellSuccess;
}

} // namespace

int32_t PosixShell::open(const std::string& verb, const std::string& file,
                         const std::optional<std::string>& parameters,
                         const std::optional<std::string>& directory, int /*showCmd*/,
                         int32_t& process) {
    namespace fs = std::filesystem;
    process = 0;
    if (file.empty())
        return SE_ERR_FNF;
    if (verb != "open" && verb != "explore")
        return SE_ERR_NOASSOC;
    std::error_code ec;
    fs::path path = utf8FromAnsi(file);
    if (!isLink(file)) {
        // A bare name that is no file here names a program on the search path.
        bool bare = file.find('/') == std::string::npos;
        if (bare && verb == "open" && !fs::exists(path, ec) && onPath(path.string()))
            return startProgram({file}, parameters, directory, process);
        if (!fs::exists(path, ec))
            return path.has_parent_path() && !fs::exists(path.parent_path(), ec) ? SE_ERR_PNF
                                                                                 : SE_ERR_FNF;
        if (verb == "explore" && !fs::is_directory(path, ec))
            return SE_ERR_NOASSOC;
        // A program is started itself, with its parameters as one argument each.
        if (verb == "open" && fs::is_regular_file(path, ec) && access(path.c_str(), X_OK) == 0) {
            // A bare name that is a file here is that file, not one found on PATH.
            return startProgram({bare ? "./" + file : file}, parameters, directory, process);
        }
    }
    if (!onPath("xdg-open"))
        return SE_ERR_NOASSOC;
    // The opener ends with a failure when nothing can show the file.
    pid_t pid = spawnDetached({"xdg-open", file}, directory, Ending::Reported);
    if (!pid)
        return SE_ERR_NOASSOC;
    process = pid;
    return kShellSuccess;
}

void PosixShell::whenFails(int32_t process, std::function<void()> failed) {
    if (auto it = failureWatches().find(process); it != failureWatches().end())
        it->second = std::move(failed);
}

int32_t PosixShell::start(const std::vector<std::string>& argv, int /*showCmd*/) {
    if (argv.empty() || argv[0].empty())
        raiseError(kInvalidProcedureCall);
    bool hasSlash = argv[0].find('/') != std::string::npos;
    struct stat st {};
    bool exists = hasSlash ? stat(utf8FromAnsi(argv[0]).c_str(), &st) == 0 && S_ISREG(st.st_mode)
                           : onPath(utf8FromAnsi(argv[0]));
    if (!exists)
        raiseError(kFileNotFound);
    pid_t pid = spawnDetached(argv, std::nullopt);
    if (!pid)
        raiseError(kFileNotFound);
    return pid;
}

} // namespace rt::x11
