#include "voicecommand/Program.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "runtime/core/App.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmVocab.h"

namespace Program {

namespace {
bool g_ended = false;
}

namespace {
// Why the last ClaimFolder refused; empty when another run holds the lock.
std::string g_refusal;
} // namespace

bool ClaimFolder() {
    static int lock = -1;
    if (lock >= 0)
        return true;
    std::string path = rt::App().pathOf(".quibo.lock");
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // Another user's lock file still locks through a read-only descriptor.
    if (fd < 0)
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        // A folder that cannot be written has no files a second run could
        // spoil; a lock file that is there but cannot be opened may be
        // another run's, and the files are not worth the risk.
        if (err == ENOENT)
            return true;
        g_refusal = "its lock file \"" + path + "\" cannot be opened (" + std::strerror(err) +
                    "), so another QUIBO may be using the folder";
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) {
            g_refusal.clear();
            return false;
        }
        g_refusal = "its lock file \"" + path + "\" cannot be locked (" + std::strerror(err) +
                    "), so another QUIBO may be using the folder";
        return false;
    }
    lock = fd; // held until the process ends
    return true;
}

std::string AlreadyRunningText() {
    if (!g_refusal.empty())
        return "QUIBO cannot tell whether it is already running from the folder \"" +
               rt::App().Path() + "\": " + g_refusal +
               ".  Only one QUIBO at a time can use its files; this one ends now.";
    return "QUIBO is already running from the folder \"" + rt::App().Path() +
           "\".  Only one QUIBO at a time can use its files; this one ends now.";
}

void End() {
    g_ended = true;
}
bool Ended() {
    return g_ended;
}
void reset() {
    g_ended = false;
}

void DiscardForms() {
    rt::form<frmApp>().discard();
    rt::form<frmVocab>().discard();
    rt::form<frmQuibo>().discard();
    rt::releaseUnloadedForms();
}

} // namespace Program
