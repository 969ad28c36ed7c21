#include "voicecommand/CHelp.h"

#include "runtime/core/Strings.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/help/HtmlHelp.h"

void CHelp::Show(const std::string& NewFile, const std::string& WindowPane,
                 std::optional<int32_t> ContextID) {
    std::string target = NewFile;
    if (!WindowPane.empty())
        target = rt::Trim(NewFile) + ">" + rt::Trim(WindowPane);
    // The help viewer tells when it cannot open a file; where none can be
    // started, or the desktop's opener finds no program for the page (which
    // it tells only when it ends), nothing would.
    auto cannotOpen = [file = rt::Trim(NewFile)] {
        rt::MsgBox("Help cannot be opened: " + file +
                       "\nIs a program installed that opens help pages (xdg-open and a web "
                       "browser)?",
                   rt::vbExclamation);
    };
    bool shown = !ContextID ? rt::HtmlHelpA(0, target, rt::HH_DISPLAY_TOPIC, 0, cannotOpen)
                            : rt::HtmlHelpA(0, target, rt::HH_HELP_CONTEXT, *ContextID, cannotOpen);
    if (!shown)
        cannotOpen();
}
