#pragma once
// The library's About box: the library, its maker and the support contacts;
// a click on the e-mail address or the web address opens it.

#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"

namespace tlvFormControls {

class frmAbout : public rt::Form {
public:
    frmAbout();

    // In tab order.
    rt::Label Label1{*this, "Label1", "Talvane Software Form Controls was developed by:"};
    rt::Label Label2{*this, "Label2", "Talvane Software Corporation"};
    rt::Label Label3{*this, "Label3"};
    rt::Label Label4{*this, "Label4"};
    rt::Label Label5{*this, "Label5"};
    rt::Label Label6{*this, "Label6", "Support is available via:"};
    rt::Label Label7{*this, "Label7", "Email:"};
    rt::Label Label8{*this, "Label8", "Web:"};
    rt::Label lblWeb{*this, "lblWeb"};
    rt::Label lblEmail{*this, "lblEmail"};
    rt::CommandButton btnClose{*this, "btnClose", "&Close"};

    void btnClose_Click();
    void lblEmail_Click();
    void lblWeb_Click();

private:
    void openLink(const std::string& target);
};

// What every control's ShowAbout does: a new About box, shown modally with
// no owner and released when the user closes it.
void ShowAbout();

} // namespace tlvFormControls
