#pragma once
// The application configuration window: running windows, configured
// applications, and the name, vocabulary and path of the selected one.

#include "runtime/forms/Form.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/TextBox.h"

class frmApp : public rt::Form {
public:
    frmApp();

    rt::Label lblVApp{*this, "lblVApp"};
    rt::ListBox lstVAppCmd{*this, "lstVAppCmd"};
    rt::Label lblRunApp{*this, "lblRunApp"};
    rt::ListBox lstRunApp{*this, "lstRunApp"};
    rt::Label lblVActivate{*this, "lblVActivate"};
    rt::TextBox txtVActivate{*this, "txtVActivate"};
    rt::CommandButton cmdSaveVocab{*this, "cmdSaveVocab"};
    rt::CommandButton cmdToggle{*this, "cmdToggle"};
    rt::Label lblVocabulary{*this, "lblVocabulary"};
    rt::ComboBox cmbVocabulary{*this, "cmbVocabulary"};
    rt::Label lblPath{*this, "lblPath"};
    rt::TextBox txtPath{*this, "txtPath"};
    rt::CommandButton cmdCloseApp{*this, "cmdCloseApp"};
    rt::Label lblApp{*this, "lblApp"};
};
