#include "voicecommand/Program.h"

#include "runtime/forms/FormRef.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmVocab.h"

namespace Program {

namespace {
bool g_ended = false;
}

void End() { g_ended = true; }
bool Ended() { return g_ended; }
void reset() { g_ended = false; }

void DiscardForms() {
    rt::form<frmApp>().discard();
    rt::form<frmVocab>().discard();
    rt::form<frmQuibo>().discard();
    rt::releaseUnloadedForms();
}

} // namespace Program
