#pragma once
// The application configuration window: running windows, configured
// applications, and the name, vocabulary and path of the selected one.

#include "runtime/forms/Form.h"
#include "runtime/forms/ListBox.h"
#include <memory>

#include "runtime/forms/ComboBox.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/TextBox.h"

class CApp;
class CFile;
class CVocab;

class frmApp : public rt::Form {
public:
    frmApp();
    ~frmApp() override;

    void Form_Load() override;
    void Form_Unload(int& cancel) override;

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

private:
    void AddListBoxHSB(rt::ListBox& lstIn, float sngMultipleWidth);

    std::unique_ptr<CApp> m_CApp;
    std::unique_ptr<CFile> m_CFile;
    std::unique_ptr<CVocab> m_CVocab;
};
