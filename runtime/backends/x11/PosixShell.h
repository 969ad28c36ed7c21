#pragma once
// Opening and starting on a Linux desktop: programs start with posix_spawn
// from their arguments, documents, folders and links open with xdg-open;
// nothing passes through a command interpreter, and nothing blocks the
// program (children are reaped on a thread of their own, which tells the
// event loop how an opener ended).

#include "runtime/platform/shell/Shell32.h"

namespace rt::x11 {

class PosixShell : public ShellBackend {
public:
    int32_t open(const std::string& verb, const std::string& file,
                 const std::optional<std::string>& parameters,
                 const std::optional<std::string>& directory, int showCmd,
                 int32_t& process) override;
    int32_t start(const std::vector<std::string>& argv, int showCmd) override;
    // The opener's exit status tells: anything but 0 is a failure.
    void whenFails(int32_t process, std::function<void()> failed) override;
};

} // namespace rt::x11
