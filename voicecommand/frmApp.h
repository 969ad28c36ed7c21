#pragma once
// The application configuration window: running windows, configured
// applications, and the name, vocabulary and path of the selected one.
// Every control sits inside the stretch container, which rescales them
// when the window is resized; without the layout library they stay put.

#include <memory>

#include "runtime/com/PropertyBag.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/ImageList.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/Menu.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/Toolbar.h"
#include "runtime/forms/UserControl.h"

class CApp;
class CFile;
class CHelp;
class CVocab;

class frmApp : public rt::Form {
public:
    frmApp();
    ~frmApp() override;

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& cancel) override;
    void lstRunApp_MouseDown(int Button, int Shift, float X, float Y);
    void lstVAppCmd_DragDrop(rt::Control& Source, float X, float Y);
    void lstVAppCmd_Click();
    void lstVAppCmd_DblClick();
    void lstVAppCmd_MouseUp(int Button, int Shift, float X, float Y);
    void cmdToggle_Click();
    void cmdSaveVocab_Click();
    void cmdCloseApp_Click();
    void tbrApp_ButtonClick(rt::ToolbarButton& Button);
    void mnuActivate_Click();
    void mnuRun_Click();
    void mnuSaveCmd_Click();
    void mnuDelete_Click();
    void mnuExit_Click();
    void mnuAppSwitch_Click();
    void mnuMeter_Click();
    void mnuQUIBOHelp_Click();
    void mnuAboutQuibo_Click();

    // The container comes first: the controls below are placed inside it.
    rt::ControlSite strApp{*this, "strApp", "tlvFormControls.StretchContainer", rt::PropertyBag{}};
    rt::ImageList imgVAppCmd{*this, "imgVAppCmd"};
    rt::Toolbar tbrApp{*this, "tbrApp"};
    rt::ControlSite flocApp{
        *this, "flocApp", "tlvFormControls.FormLocator",
        rt::PropertyBag::fromText(R"(RegistryKey = "Software\frmApp\Position")")};
    // The focusable controls are declared in their tab order, which the
    // window's view follows.
    rt::CommandButton cmdToggle{*this, "cmdToggle", "Application/&Vocabulary"};
    rt::Label lblRunApp{*this, "lblRunApp", "Currently Running Applications"};
    rt::ListBox lstRunApp{*this, "lstRunApp"};
    rt::Label lblVApp{*this, "lblVApp", "Voice Command Applications:"};
    rt::ListBox lstVAppCmd{*this, "lstVAppCmd"};
    rt::Label lblVActivate{*this, "lblVActivate", "Voice Activation Command:"};
    rt::TextBox txtVActivate{*this, "txtVActivate"};
    rt::Label lblVocabulary{*this, "lblVocabulary", "Assigned Vocabulary:"};
    rt::ComboBox cmbVocabulary{*this, "cmbVocabulary"};
    rt::Label lblPath{*this, "lblPath", "File/Path Name:"};
    rt::TextBox txtPath{*this, "txtPath"};
    rt::CommandButton cmdSaveVocab{*this, "cmdSaveVocab", "&Save Command"};
    rt::CommandButton cmdCloseApp{*this, "cmdCloseApp", "&Close"};
    rt::Label lblApp{*this, "lblApp"};

    rt::Menu mnuFile{*this, "mnuFile", "&File"};
    rt::Menu mnuActivate{*this, "mnuActivate", "&Activate", &mnuFile};
    rt::Menu mnuRun{*this, "mnuRun", "&Run", &mnuFile};
    rt::Menu mnuSaveCmd{*this, "mnuSaveCmd", "&Save Command", &mnuFile};
    rt::Menu mnuDelete{*this, "mnuDelete", "&Delete Application", &mnuFile, "Ctrl+D"};
    rt::Menu mnuExit{*this, "mnuExit", "E&xit", &mnuFile, "Ctrl+X"};
    rt::Menu mnuEdit{*this, "mnuEdit", "&Edit"};
    rt::Menu mnuAppSwitch{*this, "mnuAppSwitch", "Application/&Vocabulary", &mnuEdit};
    rt::Menu mnuMeter{*this, "mnuMeter", "&Sound Meter", &mnuEdit};
    rt::Menu mnuHelp{*this, "mnuHelp", "&Help"};
    rt::Menu mnuQUIBOHelp{*this, "mnuQUIBOHelp", "QUIBO! Help &Contents", &mnuHelp};
    rt::Menu mnuAboutQuibo{*this, "mnuAboutQuibo", "About QUIBO! Voice Command", &mnuHelp};

private:
    void AddListBoxHSB(rt::ListBox& lstIn, float sngMultipleWidth);
    void ShellSub();
    void SaveCommand();
    void ShowVocabularyForm();
    void activateSelected();
    void showHelp();

    std::unique_ptr<CApp> m_CApp;
    std::unique_ptr<CFile> m_CFile;
    std::unique_ptr<CVocab> m_CVocab;
    std::unique_ptr<CHelp> m_CHelp;
    // Whether the vocabulary window was shown from this instance before.
    bool m_SwitchedBefore = false;
};
