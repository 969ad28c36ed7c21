#pragma once
// A form holding the layout library's pane container at 240, 360 with two
// panes, 2000 wide each, and a label in each, as a form of a program using
// the library lays them out. Nothing here paints: the form's show does.

#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/UserControl.h"

namespace rt::test {

class PaneHost : public Form {
public:
    PaneHost() : Form("frmPaneHost", "Pane host") {
        Move(600, 600, 5400, 3600);
        pnc.Move(240, 360, 4800, 2400);
        for (ControlSite* pane : {&paneA, &paneB})
            pane->setContainer(&pnc);
        paneA.Move(0, 0, 2000, 2400);
        paneB.Move(2050, 0, 2000, 2400);
        lblA.setContainer(&paneA);
        lblB.setContainer(&paneB);
        lblA.Move(120, 120, 1500, 300);
        lblB.Move(120, 120, 1500, 300);
    }

    ControlSite pnc{*this, "pncMain", "tlvFormControls.PaneContainer"};
    ControlSite paneA{*this, "paneA", "tlvFormControls.PaneArea"};
    ControlSite paneB{*this, "paneB", "tlvFormControls.PaneArea"};
    Label lblA{*this, "lblA", "Left pane"};
    Label lblB{*this, "lblB", "Right pane"};
};

} // namespace rt::test
