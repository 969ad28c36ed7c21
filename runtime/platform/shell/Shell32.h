#pragma once
// Opening documents, programs and folders, and starting command lines, with
// the results callers were written against. Nothing ever goes through a
// command interpreter: a path is one argument, whatever it holds.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform/desktop/Desktop.h"

namespace rt {

constexpr uint32_t SEE_MASK_NOCLOSEPROCESS = 0x40;
constexpr uint32_t SEE_MASK_DOENVSUBST = 0x200;

// Error values of an open (0 to 32); anything above 32 is success.
constexpr int32_t SE_ERR_FNF = 2;
constexpr int32_t SE_ERR_PNF = 3;
constexpr int32_t SE_ERR_ACCESSDENIED = 5;
constexpr int32_t SE_ERR_NOASSOC = 31;
constexpr int32_t kShellSuccess = 42;

struct SHELLEXECUTEINFO {
    uint32_t cbSize = 60;
    uint32_t fMask = 0;
    HWND hwnd = 0;
    std::optional<std::string> lpVerb;
    std::string lpFile;
    std::optional<std::string> lpParameters;
    std::optional<std::string> lpDirectory;
    int32_t nShow = SW_SHOWNORMAL;
    int32_t hInstApp = 0; // out
    int32_t hProcess = 0; // out: with SEE_MASK_NOCLOSEPROCESS, the started process
};

// What a backend does; paths arrive expanded, ANSI.
class ShellBackend {
public:
    virtual ~ShellBackend() = default;
    // Opens `file` with `verb` ("open", "explore"); returns an instance value
    // above 32, or an error value 0..32. `process` gets a process id when one
    // was started.
    virtual int32_t open(const std::string& verb, const std::string& file,
                         const std::optional<std::string>& parameters,
                         const std::optional<std::string>& directory, int showCmd,
                         int32_t& process) = 0;
    // Starts a program with its arguments; returns its process id, or raises 53.
    virtual int32_t start(const std::vector<std::string>& argv, int showCmd) = 0;
    // An open may hand the file to an opener that finds out only later that
    // nothing can show it: `failed` runs on the UI thread when `process`,
    // which an open gave, ends so. Nothing runs when it ends well.
    virtual void whenFails(int32_t /*process*/, std::function<void()> /*failed*/) {}
};

ShellBackend& shell();
void setShell(std::shared_ptr<ShellBackend> backend);

int32_t ShellExecuteA(HWND hwnd, const std::optional<std::string>& verb, const std::string& file,
                      const std::optional<std::string>& parameters,
                      const std::optional<std::string>& directory, int32_t showCmd);
// Fills hInstApp and hProcess; true when the open succeeded.
bool ShellExecuteExA(SHELLEXECUTEINFO& info);
// Watches the process an open gave (SHELLEXECUTEINFO's hProcess) from the
// event loop: `failed` runs when it ends in failure. Call it right after the
// open.
void WhenOpenFails(int32_t process, std::function<void()> failed);
// Starts a command line as a program: returns the task id; raises 5 for an
// empty line and 53 when the program does not exist.
int32_t Shell(const std::string& commandLine, int32_t windowStyle = 1);

// %NAME% replaced from the environment; an unknown name stays as written.
// Nothing else is special: "$" and "~" are characters of the file's name.
std::string expandEnvironment(const std::string& path);
// A command line split into arguments: blanks separate, double quotes group
// (a doubled quote inside quotes is one quote), nothing else is special.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

} // namespace rt
