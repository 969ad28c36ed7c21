#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/StringTable.h"

namespace RunningApps {

int32_t LoWord(int32_t x) { return x & 0xFFFF; }

void RaiseAppError(int32_t n) {
    const std::string& program = rt::App().EXEName();
    if (n <= 1000)
        rt::raiseError(n, program + ".VBError");
    rt::raiseError(LoWord(n), program + "." + LoadResString((n / 10) * 10), LoadResString(n));
}

} // namespace RunningApps
