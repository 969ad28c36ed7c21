#pragma once
// A shell that starts nothing: it answers from the file system (whether the
// file or folder exists) and records every call.

#include <string>
#include <vector>

#include "runtime/platform/shell/Shell32.h"

namespace rt {

class SimShell : public ShellBackend {
public:
    struct Call {
        std::string verb; // "open", "explore" or "start"
        std::string file;
        std::vector<std::string> argv;
        int showCmd = 0;
    };

    int32_t open(const std::string& verb, const std::string& file,
                 const std::optional<std::string>& parameters,
                 const std::optional<std::string>& directory, int showCmd,
                 int32_t& process) override;
    int32_t start(const std::vector<std::string>& argv, int showCmd) override;
    // With `fail` set, every opened file turns out to be one that nothing
    // can show: its watch runs from the event loop.
    void whenFails(int32_t process, std::function<void()> failed) override;
    void setOpenedFilesFail(bool fail) { m_openedFilesFail = fail; }

    const std::vector<Call>& calls() const { return m_calls; }
    // Only calls that succeeded.
    std::vector<Call> started() const;

private:
    std::vector<Call> m_calls;
    std::vector<bool> m_succeeded;
    int32_t m_nextProcess = 1000;
    bool m_openedFilesFail = false;
};

} // namespace rt
