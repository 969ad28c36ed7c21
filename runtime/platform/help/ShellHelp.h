#pragma once
// Help on a desktop without a viewer for compiled help: the file opens with
// whatever the desktop associates with it. A compiled help file that is not
// there gives way to the HTML page of the same name beside it, which is how
// programs ship their help here. Pages have no numbered topics or window
// definitions, so a context number or a window name opens the whole file.

#include "runtime/platform/help/HtmlHelp.h"

namespace rt {

class ShellHelp : public HelpBackend {
public:
    bool display(const HelpRequest& request) override;

    // The file that showing `file` opens.
    static std::string fileToOpen(const std::string& file);
};

} // namespace rt
