#include "voicecommand/CHelp.h"

#include "runtime/core/Strings.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/help/HtmlHelp.h"

void CHelp::Show(const std::string& NewFile, const std::string& WindowPane,
                 std::optional<int32_t> ContextID) {
    std::string target = NewFile;
    if (!WindowPane.empty())
        target = rt::Trim(NewFile) + ">" + rt::Trim(WindowPane);
    bool shown = !ContextID ? rt::HtmlHelpA(0, target, rt::HH_DISPLAY_TOPIC, 0)
                            : rt::HtmlHelpA(0, target, rt::HH_HELP_CONTEXT, *ContextID);
    // The help viewer tells when it cannot open a file; where none can be
    // started, nothing would.
    if (!shown)
        rt::MsgBox("Help cannot be opened: " + rt::Trim(NewFile) +
                       "\nIs a program installed that opens help pages (xdg-open)?",
                   rt::vbExclamation);
}
