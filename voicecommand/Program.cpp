#include "voicecommand/Program.h"

#include <cerrno>
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

bool ClaimFolder() {
    static int lock = -1;
    if (lock >= 0)
        return true;
    int fd = ::open(rt::App().pathOf(".quibo.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A folder that cannot be written has no files a second run could spoil.
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        return err != EWOULDBLOCK;
    }
    lock = fd; // held until the process ends
    return true;
}

std::string AlreadyRunningText() {
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
