#include "voicecommand/CHelp.h"

#include "runtime/core/Strings.h"
#include "runtime/platform/help/HtmlHelp.h"

void CHelp::Show(const std::string& NewFile, const std::string& WindowPane,
                 std::optional<int32_t> ContextID) {
    std::string target = NewFile;
    if (!WindowPane.empty())
        target = rt::Trim(NewFile) + ">" + rt::Trim(WindowPane);
    if (!ContextID)
        rt::HtmlHelpA(0, target, rt::HH_DISPLAY_TOPIC, 0);
    else
        rt::HtmlHelpA(0, target, rt::HH_HELP_CONTEXT, *ContextID);
}
