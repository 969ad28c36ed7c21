#include "voicecommand/frmApp.h"

#include <array>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"
#include "runtime/core/Variant.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/desktop/User32.h"
#include "runtime/platform/shell/Shell32.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"
#include "voicecommand/CHelp.h"
#include "voicecommand/CVocab.h"
#include "voicecommand/Program.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmAbout.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmVocab.h"
#include "voicecommand/frmVolSet.h"

namespace {

constexpr rt::DispId kActivate = 5;
constexpr rt::DispId kRestoreLocation = 0x60030002;
constexpr rt::DispId kSaveLocation = 0x60030003;
constexpr int32_t vbNormalFocus = 1;

// Design client area, in twips.
constexpr float kClientWidth = 9390;
constexpr float kClientHeight = 4845;

} // namespace

frmApp::frmApp() : rt::Form("frmApp", "Application Command Configuration") {
    setIcon(Program::kIcon);
    Move(1200, 1200, kClientWidth + 120, kClientHeight + 510);
    strApp.Move(0, 0, kClientWidth, kClientHeight);

    // Pictures by their stock names, which the view draws itself.
    imgVAppCmd.Add("Activate", "go-jump");
    imgVAppCmd.Add("Shell", "system-run");
    imgVAppCmd.Add("SavCmd", "document-save");
    imgVAppCmd.Add("DelApp", "edit-delete");
    imgVAppCmd.Add("AppVoc", "view-refresh");
    imgVAppCmd.Add("Help", "help-contents");
    tbrApp.setImageList(&imgVAppCmd);
    struct ButtonDesign {
        const char* key;
        const char* description;
        const char* toolTip;
    };
    for (const ButtonDesign& b : {
             ButtonDesign{"Activate", "Activates An Open Program", "Switch to Running Program"},
             ButtonDesign{"Shell", "Runs A Program", "Run Program"},
             ButtonDesign{"SavCmd", "Saves User Configuration Information", "Save Command"},
             ButtonDesign{"DelApp", "Deletes An Application From Running Apps List.",
                          "Delete Application"},
             ButtonDesign{"AppVoc", "Toggles Between Forms", "Application / Vocabulary Toggle"},
             ButtonDesign{"Help", "Launches HTML Help For QUIBO!", "Help"},
         }) {
        rt::ToolbarButton& button = tbrApp.AddButton(b.key, {}, b.toolTip);
        button.Description = b.description;
        button.Image = b.key;
    }

    struct Placement {
        rt::Control& control;
        float left, top, width, height;
    };
    for (const Placement& p : {
             Placement{tbrApp, 0, 0, 9375, 660},
             Placement{lblVApp, 120, 720, 2655, 255},
             Placement{lstVAppCmd, 120, 960, 4455, 2400},
             Placement{lblRunApp, 4800, 720, 2895, 255},
             Placement{lstRunApp, 4800, 960, 4455, 2400},
             Placement{lblVActivate, 120, 3480, 2895, 255},
             Placement{txtVActivate, 120, 3720, 4455, 285},
             Placement{cmdSaveVocab, 4800, 3480, 2175, 495},
             Placement{cmdToggle, 7200, 3480, 2055, 495},
             Placement{lblVocabulary, 120, 4080, 1695, 255},
             Placement{cmbVocabulary, 120, 4320, 2175, 315},
             Placement{lblPath, 2520, 4080, 1215, 255},
             Placement{txtPath, 2520, 4320, 4455, 315},
             Placement{cmdCloseApp, 7200, 4080, 2055, 615},
             Placement{lblApp, 3720, 720, 735, 255},
         }) {
        p.control.Move(p.left, p.top, p.width, p.height);
        p.control.setContainer(&strApp);
    }
    lblApp.setVisible(false);
    // It keeps its own size: inside the toolbar, the container never
    // rescales it.
    flocApp.Move(8760, 30, 600, 600);
    flocApp.setContainer(&tbrApp);

    lstRunApp.MouseDown.connect([this](int Button, int Shift, float X, float Y) {
        lstRunApp_MouseDown(Button, Shift, X, Y);
    });
    lstVAppCmd.DragDrop.connect(
        [this](rt::Control& Source, float X, float Y) { lstVAppCmd_DragDrop(Source, X, Y); });
    lstVAppCmd.Click.connect([this] { lstVAppCmd_Click(); });
    lstVAppCmd.DblClick.connect([this] { lstVAppCmd_DblClick(); });
    lstVAppCmd.MouseUp.connect([this](int Button, int Shift, float X, float Y) {
        lstVAppCmd_MouseUp(Button, Shift, X, Y);
    });
    cmdToggle.Click.connect([this] { cmdToggle_Click(); });
    cmdSaveVocab.Click.connect([this] { cmdSaveVocab_Click(); });
    cmdCloseApp.Click.connect([this] { cmdCloseApp_Click(); });
    tbrApp.ButtonClick.connect([this](rt::ToolbarButton& Button) { tbrApp_ButtonClick(Button); });
    mnuActivate.Click.connect([this] { mnuActivate_Click(); });
    mnuRun.Click.connect([this] { mnuRun_Click(); });
    mnuSaveCmd.Click.connect([this] { mnuSaveCmd_Click(); });
    mnuDelete.Click.connect([this] { mnuDelete_Click(); });
    mnuExit.Click.connect([this] { mnuExit_Click(); });
    mnuAppSwitch.Click.connect([this] { mnuAppSwitch_Click(); });
    mnuMeter.Click.connect([this] { mnuMeter_Click(); });
    mnuQUIBOHelp.Click.connect([this] { mnuQUIBOHelp_Click(); });
    mnuAboutQuibo.Click.connect([this] { mnuAboutQuibo_Click(); });
}

frmApp::~frmApp() = default;

void frmApp::Form_Load() {
    m_CApp = std::make_unique<CApp>();
    m_CFile = std::make_unique<CFile>();
    m_CVocab = std::make_unique<CVocab>();
    m_CHelp = std::make_unique<CHelp>();
    // Without the layout library the window opens at its design position.
    rt::skipFailure([&] { flocApp.Invoke(kRestoreLocation, rt::InvokeKind::Method, {}); });
    AddListBoxHSB(lstVAppCmd, 2);
    AddListBoxHSB(lstRunApp, 2);
}

// Set once: later size changes of the list keep the extent.
void frmApp::AddListBoxHSB(rt::ListBox& lstIn, float sngMultipleWidth) {
    try {
        auto extent = static_cast<intptr_t>(
            rt::roundHalfEven(lstIn.Width() * sngMultipleWidth / rt::Screen().TwipsPerPixelX));
        rt::SendMessageA(lstIn.hWnd(), rt::LB_SETHORIZONTALEXTENT, extent, rt::Variant(int32_t{0}));
    } catch (const rt::RuntimeError& e) {
        // Told once; retrying a lasting failure would only repeat the message.
        rt::MsgBox("Error: " + std::to_string(e.number()) + ". " + e.description(), rt::vbOKOnly,
                   "AddListBoxHSB");
    }
}

void frmApp::Form_Resize() {
    std::array<rt::Variant, 4> box{rt::Variant(0.0f), rt::Variant(0.0f), rt::Variant(ScaleWidth()),
                                   rt::Variant(ScaleHeight())};
    rt::skipFailure([&] { strApp.Invoke(rt::DISPID_EXTENDER_MOVE, rt::InvokeKind::Method, box); });
}

void frmApp::lstRunApp_MouseDown(int /*Button*/, int /*Shift*/, float /*X*/, float Y) {
    float h = TextHeight("A");
    lblApp.Move(lstRunApp.Left(), lstRunApp.Top() + Y - h / 2, lstRunApp.Width(), h);
    lblApp.Drag(rt::vbBeginDrag);
}

void frmApp::lstVAppCmd_DragDrop(rt::Control& /*Source*/, float /*X*/, float /*Y*/) {
    int added = -1;
    bool done = rt::endOnFailure([&] {
        lblApp.setCaption(lstRunApp.Text());
        if (lstVAppCmd.ListIndex() < 0)
            m_CApp->InitRecord();
        if (lblApp.Caption().empty())
            return;
        if (RunningApps::ListFindExact(lstVAppCmd.hWnd(), lblApp.Caption())) {
            rt::MsgBox("You Already Have An Entry With This Name!", rt::vbOKOnly);
            return;
        }
        int16_t n = m_CApp->AppRecordCount();
        lstVAppCmd.AddItem(lblApp.Caption(), n - 1);
        added = n - 1;
        m_CApp->VAppAdd(lblApp.Caption(), 0, false);
    });
    // A record that could not be written is not shown as added.
    if (!done && CFile::IsNotWritten(rt::Err())) {
        std::string text = rt::Err().description;
        if (added >= 0)
            rt::skipFailure([&] { lstVAppCmd.RemoveItem(added); });
        rt::MsgBox(text, rt::vbExclamation);
    }
}

void frmApp::lstVAppCmd_Click() {
    rt::skipFailure([&] {
        txtVActivate.setText(m_CApp->UserDefinedName(static_cast<int16_t>(lstVAppCmd.ListIndex())));
    });
    rt::skipFailure([&] { cmbVocabulary.setText(m_CApp->VocabularyName()); });
    rt::skipFailure([&] { txtPath.setText(m_CApp->PathName()); });
}

void frmApp::lstVAppCmd_DblClick() {
    ShellSub();
}

void frmApp::lstVAppCmd_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == rt::vbRightButton && lstVAppCmd.ListIndex() >= 0)
        PopupMenu(mnuEdit);
}

void frmApp::cmdToggle_Click() {
    ShowVocabularyForm();
}

void frmApp::cmdSaveVocab_Click() {
    SaveCommand();
}

void frmApp::cmdCloseApp_Click() {
    int count = lstVAppCmd.ListCount();
    for (int i = 0; i < count; ++i) {
        lstVAppCmd.setListIndex(i);
        txtVActivate.setText(m_CApp->UserDefinedName(static_cast<int16_t>(lstVAppCmd.ListIndex())));
        cmbVocabulary.setText(m_CApp->VocabularyName());
        if (cmbVocabulary.Text().empty() || txtVActivate.Text().empty()) {
            rt::MsgBox("You must supply both a user-defined name and assign a vocabulary for each "
                       "application you wish to control!",
                       rt::vbInformation, "Insufficient Control Parameters");
            return;
        }
    }
    Unload();
}

void frmApp::tbrApp_ButtonClick(rt::ToolbarButton& Button) {
    if (Button.Key == "Activate") {
        activateSelected();
    } else if (Button.Key == "Shell") {
        m_CApp->ShellApp();
    } else if (Button.Key == "SavCmd") {
        SaveCommand();
    } else if (Button.Key == "DelApp") {
        if (rt::MsgBox("Warning!  You are about to delete a voice-controlled application "
                       "are you sure you want to proceed?",
                       rt::vbOKCancel, "Delete Voice-Controlled Application") == rt::vbOK)
            m_CApp->DelRunApp();
    } else if (Button.Key == "AppVoc") {
        ShowVocabularyForm();
    } else if (Button.Key == "Help") {
        showHelp();
    }
}

void frmApp::mnuActivate_Click() {
    activateSelected();
}

void frmApp::mnuRun_Click() {
    ShellSub();
}

void frmApp::mnuSaveCmd_Click() {
    SaveCommand();
}

void frmApp::mnuDelete_Click() {
    m_CApp->DelRunApp();
}

void frmApp::mnuExit_Click() {
    cmdCloseApp_Click();
}

void frmApp::mnuAppSwitch_Click() {
    ShowVocabularyForm();
}

// The meter moves while the scale window shows; its Done button stops
// listening again.
void frmApp::mnuMeter_Click() {
    rt::skipFailure(
        [&] { rt::form<frmQuibo>()->DirectSR1->Invoke(kActivate, rt::InvokeKind::Method, {}); });
    rt::skipFailure([&] { rt::form<frmVolSet>()->Show(rt::vbModal); });
}

void frmApp::mnuQUIBOHelp_Click() {
    showHelp();
}

void frmApp::mnuAboutQuibo_Click() {
    rt::skipFailure([&] { rt::form<frmAbout>()->Show(rt::vbModal); });
}

void frmApp::activateSelected() {
    m_CApp->SetForeground(lstVAppCmd.ListIndex() >= 0 ? lstVAppCmd.Text() : std::string());
}

void frmApp::showHelp() {
    m_CHelp->Show(rt::App().pathOf("quibohelp.chm"), "");
}

// The path comes from the record read when the line was selected, not from
// the path box.
void frmApp::ShellSub() {
    try {
        rt::Shell(m_CApp->PathName(), vbNormalFocus);
    } catch (const rt::RuntimeError&) {
        rt::MsgBox("You must enter a valid Path/Filename!", rt::vbOKOnly, "Invalid Path/Filename");
    }
}

namespace {
bool holdsSeparator(const std::string& text) {
    return text.find_first_of("*~$") != std::string::npos;
}
} // namespace

void frmApp::SaveCommand() {
    try {
        if (lstVAppCmd.ListIndex() < 0) {
            lstVAppCmd.setListIndex(0);
            rt::MsgBox("You must select a Voice Application!", rt::vbOKOnly);
            txtVActivate.SetFocus();
            txtVActivate.setSelStart(0);
            txtVActivate.setSelLength(static_cast<int>(txtVActivate.Text().size()));
        } else if (holdsSeparator(txtVActivate.Text()) || holdsSeparator(cmbVocabulary.Text())) {
            rt::MsgBox("A voice command name or a vocabulary cannot hold \"*\", \"~\" or \"$\": they "
                       "separate the parts of the application's record.  Nothing was saved.",
                       rt::vbExclamation, "Save Command");
        } else if (rt::holdsControlCharacter(txtVActivate.Text()) ||
                   rt::holdsControlCharacter(cmbVocabulary.Text())) {
            rt::MsgBox(
                "A voice command name or a vocabulary cannot hold a line break or another control "
                "character: it would split the lines of the grammar.  Nothing was saved.",
                rt::vbExclamation, "Save Command");
        } else {
            m_CApp->AddUserAppName(txtVActivate.Text(), cmbVocabulary.Text(), txtPath.Text(),
                                   static_cast<int16_t>(lstVAppCmd.ListIndex()));
        }
    } catch (const rt::RuntimeError& e) {
        // A record the disk refused is no missing item.
        if (CFile::IsNotWritten(rt::ErrInfo{e.number(), e.source(), e.description()}))
            rt::MsgBox(e.description(), rt::vbExclamation, "Save Command");
        else
            rt::MsgBox("There is nothing to save!", rt::vbOKOnly, "No item to save");
    }
}

void frmApp::ShowVocabularyForm() {
    std::unique_ptr<CVocab> vocab;
    rt::skipFailure([&] { vocab = std::make_unique<CVocab>(); });
    rt::skipFailure([&] { Hide(); });
    // The first time, the list is as the main window filled it.
    if (m_SwitchedBefore) {
        rt::skipFailure([&] { rt::form<frmVocab>()->lstVocab.Clear(); });
        rt::skipFailure([&] { vocab->FillVocabFile(true); });
    }
    rt::skipFailure([&] { m_SwitchedBefore = true; });
    rt::skipFailure([&] { rt::form<frmVocab>()->lstVocab.setListIndex(0); });
    rt::skipFailure([&] { Hide(); });
    rt::skipFailure([&] { rt::form<frmVocab>()->Show(rt::vbModal); });
}

void frmApp::Form_Unload(int& /*cancel*/) {
    // The grammar is rewritten before the vocabulary list it reads is emptied.
    rt::skipFailure([&] { m_CFile->TempLoad(); });
    rt::skipFailure([&] { cmbVocabulary.Clear(); });
    rt::skipFailure([&] { rt::form<frmVocab>()->lstVocab.Clear(); });
    rt::skipFailure([&] {
        if (rt::form<frmVolSet>().isLoaded() && rt::form<frmVolSet>()->Visible()) {
            rt::form<frmVolSet>()->Hide();
            rt::form<frmVolSet>().unload();
        }
    });
    rt::skipFailure([&] { flocApp.Invoke(kSaveLocation, rt::InvokeKind::Method, {}); });
    rt::skipFailure([&] { m_CApp.reset(); });
    rt::skipFailure([&] { m_CFile.reset(); });
    rt::skipFailure([&] { m_CHelp.reset(); });
    rt::skipFailure([&] { m_CVocab.reset(); });
}
