#pragma once
// The program's About box: name, version, system information and the
// maker's web site.

#include <string>

#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PictureBox.h"

class frmAbout : public rt::Form {
public:
    frmAbout();

    rt::PictureBox picIcon{*this, "picIcon"};
    rt::Label lblTitle{*this, "lblTitle"};
    rt::Label lblVersion{*this, "lblVersion"};
    rt::Label lblDescription{*this, "lblDescription"};
    rt::Label lblDisclaimer{*this, "lblDisclaimer"};
    rt::CommandButton cmdOK{*this, "cmdOK", "OK"};
    rt::CommandButton cmdSysInfo{*this, "cmdSysInfo", "&System Info..."};
    rt::CommandButton cmdUlvarWebSvr{*this, "cmdUlvarWebSvr"};

    void Form_Load() override;
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void cmdUlvarWebSvr_Click();
    void StartSysInfo();
};
