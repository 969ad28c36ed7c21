#include "voicecommand/Program.h"

namespace Program {

namespace {
bool g_ended = false;
}

void End() { g_ended = true; }
bool Ended() { return g_ended; }
void reset() { g_ended = false; }

} // namespace Program
