#include "runtime/platform/shell/Shell32.h"

#include <cstdlib>

#include "runtime/backends/sim/SimShell.h"
#include "runtime/core/BackendSlot.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

namespace {
BackendSlot<ShellBackend, SimShell>& slot() {
    static BackendSlot<ShellBackend, SimShell> s;
    return s;
}

std::string lookup(const std::string& name, const std::string& asWritten) {
    const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
    return value ? value : asWritten;
}
} // namespace

ShellBackend& shell() {
    return slot().get();
}
void setShell(std::shared_ptr<ShellBackend> backend) {
    slot().set(std::move(backend));
}

std::string expandEnvironment(const std::string& path) {
    std::string out;
    size_t i = 0;
    while (i < path.size()) {
        size_t close = path[i] == '%' ? path.find('%', i + 1) : std::string::npos;
        if (close != std::string::npos && close > i + 1) {
            out += lookup(path.substr(i + 1, close - i - 1), path.substr(i, close - i + 1));
            i = close + 1;
        } else {
            out += path[i++];
        }
    }
    return out;
}

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    std::string current;
    bool inArg = false, quoted = false;
    for (size_t i = 0; i < commandLine.size(); ++i) {
        char c = commandLine[i];
        if (quoted) {
            if (c == '"' && i + 1 < commandLine.size() && commandLine[i + 1] == '"') {
                current += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == '"') {
            quoted = inArg = true;
        } else if (c == ' ' || c == '\t') {
            if (inArg)
                args.push_back(std::move(current));
            current.clear();
            inArg = false;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg)
        args.push_back(std::move(current));
    return args;
}

int32_t ShellExecuteA(HWND /*hwnd*/, const std::optional<std::string>& verb,
                      const std::string& file, const std::optional<std::string>& parameters,
                      const std::optional<std::string>& directory, int32_t showCmd) {
    int32_t process = 0;
    return shell().open(LCase(verb.value_or("open")), file, parameters, directory, showCmd,
                        process);
}

bool ShellExecuteExA(SHELLEXECUTEINFO& info) {
    if (info.cbSize != 60)
        raiseError(kInvalidProcedureCall);
    std::string file =
        info.fMask & SEE_MASK_DOENVSUBST ? expandEnvironment(info.lpFile) : info.lpFile;
    int32_t process = 0;
    info.hInstApp = shell().open(LCase(info.lpVerb.value_or("open")), file, info.lpParameters,
                                 info.lpDirectory, info.nShow, process);
    info.hProcess = info.fMask & SEE_MASK_NOCLOSEPROCESS ? process : 0;
    return info.hInstApp > 32;
}

void WhenOpenFails(int32_t process, std::function<void()> failed) {
    if (process != 0 && failed)
        shell().whenFails(process, std::move(failed));
}

int32_t Shell(const std::string& commandLine, int32_t windowStyle) {
    std::vector<std::string> argv = splitCommandLine(commandLine);
    if (argv.empty())
        raiseError(kInvalidProcedureCall);
    argv[0] = expandEnvironment(argv[0]);
    return shell().start(argv, windowStyle);
}

} // namespace rt
