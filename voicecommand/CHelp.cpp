#include "voicecommand/CHelp.h"

void CHelp::Show(const std::string&, const std::string&, std::optional<int32_t>) {}
