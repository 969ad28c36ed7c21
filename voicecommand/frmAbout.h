#pragma once
// The program's About box: name and version, a button that starts the
// system information program and one that opens the maker's web site.

#include <string>

#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PictureBox.h"
#include "runtime/platform/registry/Registry.h"

class frmAbout : public rt::Form {
public:
    // The maker's web site, opened by cmdUlvarWebSvr.
    static constexpr const char* kWebSite = "https://quibo.example.org";

    frmAbout();

    rt::PictureBox picIcon{*this, "picIcon"};
    rt::Label lblTitle{*this, "lblTitle", "QUIBO! Voice Command"};
    rt::Label lblVersion{*this, "lblVersion", "Version:  v2.00"};
    rt::Label lblDescription{*this, "lblDescription",
                             "QUIBO! Voice Control is a very useful tool to help you get work done "
                             "faster by allowing you to control all of your programs the way you "
                             "want to control them!"};
    rt::Label lblDisclaimer{*this, "lblDisclaimer",
                            "This program is provided as is, without warranty of any kind. You use "
                            "it at your own risk."};
    rt::CommandButton cmdOK{*this, "cmdOK", "OK"};
    rt::CommandButton cmdSysInfo{*this, "cmdSysInfo", "&System Info..."};
    rt::CommandButton cmdUlvarWebSvr{*this, "cmdUlvarWebSvr"};

    void Form_Load() override;
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void cmdUlvarWebSvr_Click();

    void StartSysInfo();
    // Reads a text or number value; false, with KeyVal empty, when the key or
    // the value cannot be read.
    bool GetKeyValue(rt::HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                     std::string& KeyVal);
};
