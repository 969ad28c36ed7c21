#include "voicecommand/frmVocab.h"

#include <array>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"
#include "runtime/core/Variant.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/platform/desktop/User32.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"
#include "voicecommand/CHelp.h"
#include "voicecommand/CVocab.h"
#include "voicecommand/Program.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmApp.h"

namespace {

constexpr rt::DispId kRestoreLocation = 0x60030002;
constexpr rt::DispId kSaveLocation = 0x60030003;

// Design client area, in twips.
constexpr float kClientWidth = 9390;
constexpr float kClientHeight = 4845;

constexpr int kMaxVocabularies = 30;
constexpr int32_t kApplicationErrorWrite = 13012;
constexpr int32_t kApplicationErrorNoWord = 13021;

// The drag-over bands of the vocabulary list: one line each, from its top.
constexpr float kBand = 180;
constexpr int kBandLines = 12;

// Whether the list's current line (the one with the focus) is selected.
bool currentLineSelected(const rt::ListBox& list) {
    return list.ListIndex() >= 0 && list.Selected(list.ListIndex());
}

// The counts are 16-bit integers, which overflow with error 6.
int16_t plusOne(int16_t value) {
    if (value == INT16_MAX)
        rt::raiseError(rt::kOverflow);
    return static_cast<int16_t>(value + 1);
}

} // namespace

frmVocab::frmVocab() : rt::Form("frmVocab", "Vocabulary/Dictionary Configuration") {
    setIcon(Program::kIcon);
    Move(1200, 1200, kClientWidth + 120, kClientHeight + 510);
    strVocab.Move(0, 0, kClientWidth, kClientHeight);

    // Pictures by their stock names, which the view draws itself.
    struct ButtonDesign {
        const char* key;
        const char* toolTip;
        const char* picture;
    };
    for (const ButtonDesign& b : {
             ButtonDesign{"NewVocab", "New Vocabulary", "document-new"},
             ButtonDesign{"DelVocab", "Delete Dictionary", "edit-delete"},
             ButtonDesign{"SvCh", "Save Word", "document-save"},
             ButtonDesign{"SelDict", "Select Entire Dictionary", "edit-select-all"},
             ButtonDesign{"Switch", "Application/Vocabulary", "view-refresh"},
             ButtonDesign{"NewDict", "New Word", "list-add"},
             ButtonDesign{"DelDict", "Delete Word", "list-remove"},
             ButtonDesign{"Help", "Help", "help-contents"},
         }) {
        imgVocab.Add(b.key, b.picture);
        tbrVocab.AddButton(b.key, {}, b.toolTip).Image = b.key;
    }
    tbrVocab.setImageList(&imgVocab);

    struct Placement {
        rt::Control& control;
        float left, top, width, height;
    };
    for (const Placement& p : {
             Placement{tbrVocab, 0, 0, 9375, 630},
             Placement{lblVocabList, 120, 720, 2655, 255},
             Placement{lstVocab, 120, 960, 4455, 2400},
             Placement{lblDictionary, 4800, 720, 2655, 255},
             Placement{lstDictionary, 4800, 960, 4455, 2400},
             Placement{lblEditVocab, 120, 3480, 2655, 255},
             Placement{txtCommand, 120, 3720, 4455, 285},
             Placement{cmdSaveChanges, 4800, 3480, 2175, 495},
             Placement{cmdToggle, 7200, 3480, 2055, 495},
             Placement{cmdCloseVocab, 7200, 4080, 2055, 615},
             Placement{lblVocab, 3360, 600, 735, 255},
             // Right of the toolbar's buttons; it keeps its own size when
             // the container rescales the controls around it.
             Placement{flocVocab, 8760, 15, 600, 600},
         }) {
        p.control.Move(p.left, p.top, p.width, p.height);
        p.control.setContainer(&strVocab);
    }
    lblVocab.setVisible(false);
    mnuXfr.setVisible(false);

    lstVocab.Click.connect([this] { lstVocab_Click(); });
    lstVocab.MouseDown.connect([this](int Button, int Shift, float X, float Y) {
        lstVocab_MouseDown(Button, Shift, X, Y);
    });
    lstVocab.MouseUp.connect(
        [this](int Button, int Shift, float X, float Y) { lstVocab_MouseUp(Button, Shift, X, Y); });
    lstVocab.DragOver.connect([this](rt::Control& Source, float X, float Y, int State) {
        lstVocab_DragOver(Source, X, Y, State);
    });
    lstVocab.DragDrop.connect(
        [this](rt::Control& Source, float X, float Y) { lstVocab_DragDrop(Source, X, Y); });
    lstDictionary.Click.connect([this] { lstDictionary_Click(); });
    lstDictionary.MouseDown.connect([this](int Button, int Shift, float X, float Y) {
        lstDictionary_MouseDown(Button, Shift, X, Y);
    });
    lstDictionary.KeyUp.connect(
        [this](int& KeyCode, int Shift) { lstDictionary_KeyUp(KeyCode, Shift); });
    txtCommand.GotFocus.connect([this] { txtCommand_GotFocus(); });
    cmdSaveChanges.Click.connect([this] { cmdSaveChanges_Click(); });
    cmdToggle.Click.connect([this] { cmdToggle_Click(); });
    cmdCloseVocab.Click.connect([this] { cmdCloseVocab_Click(); });
    tbrVocab.ButtonClick.connect(
        [this](rt::ToolbarButton& Button) { tbrVocab_ButtonClick(Button); });
    tmrExtend.TimerEvent.connect([this] { tmrExtend_Timer(); });
    mnuNewVocab.Click.connect([this] { mnuNewVocab_Click(); });
    mnuDeleteVocab.Click.connect([this] { mnuDeleteVocab_Click(); });
    mnuSaveChanges.Click.connect([this] { mnuSaveChanges_Click(); });
    mnuExit.Click.connect([this] { mnuExit_Click(); });
    mnuPopNew.Click.connect([this] { mnuPopNew_Click(); });
    mnuDelete.Click.connect([this] { mnuDelete_Click(); });
    mnuDicSelAll.Click.connect([this] { mnuDicSelAll_Click(); });
    mnuQUIBOHelp.Click.connect([this] { mnuQUIBOHelp_Click(); });
}

frmVocab::~frmVocab() = default;

// The lists are filled by whoever shows the window.
void frmVocab::Form_Load() {
    m_CVocab = std::make_unique<CVocab>();
    m_CFile = std::make_unique<CFile>();
    m_CApp = std::make_unique<CApp>();
    m_CHelp = std::make_unique<CHelp>();
    // Without the layout library the window opens at its design position.
    rt::skipFailure([&] { flocVocab.Invoke(kRestoreLocation, rt::InvokeKind::Method, {}); });
}

void frmVocab::Form_Resize() {
    std::array<rt::Variant, 4> box{rt::Variant(0.0f), rt::Variant(0.0f), rt::Variant(ScaleWidth()),
                                   rt::Variant(ScaleHeight())};
    rt::skipFailure(
        [&] { strVocab.Invoke(rt::DISPID_EXTENDER_MOVE, rt::InvokeKind::Method, box); });
}

void frmVocab::lstVocab_Click() {
    if (m_DragOver)
        return;
    // Selecting line 0 runs this handler for it first.
    if (lstVocab.ListIndex() == -1)
        lstVocab.setListIndex(0);
    if (currentLineSelected(lstVocab)) {
        lstDictionary.Clear();
        txtCommand.setText("");
        m_ListedVocab = lstVocab.Text();
        m_CVocab->FillDictionaryListBox(true, lstVocab.Text());
    }
}

void frmVocab::lstVocab_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == rt::vbRightButton)
        PopupMenu(mnuFile);
}

void frmVocab::lstVocab_MouseUp(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (Button == rt::vbRightButton)
        PopupMenu(mnuEdit);
}

void frmVocab::lstDictionary_Click() {
    if (m_SelectAll)
        m_SelectAllCount = 0;
    if (currentLineSelected(lstDictionary))
        txtCommand.setText(lstDictionary.Text());
    // Puts the store's cursor on the record of the current line; for the
    // empty last line that is just after the last record.
    m_CVocab->DictionarySelect(lstVocab.Text(), lstDictionary.Text());
}

void frmVocab::txtCommand_GotFocus() {
    txtCommand.setSelStart(0);
    txtCommand.setSelLength(static_cast<int>(txtCommand.Text().size()));
}

void frmVocab::cmdSaveChanges_Click() {
    SaveChanges();
}

void frmVocab::mnuSaveChanges_Click() {
    SaveChanges();
}

// Writes at the store's cursor: on the record the last click on a selected
// line found, or at the append position.
void frmVocab::SaveChanges() {
    m_CVocab->DictionaryInitialize();
    if (lstVocab.ListIndex() == -1) {
        rt::MsgBox("You must select a Vocabulary!", rt::vbOKOnly);
        txtCommand.SetFocus();
        txtCommand.setSelStart(0);
        txtCommand.setSelLength(static_cast<int>(txtCommand.Text().size()));
        return;
    }
    // A line break would split the grammar's lines and the file's phrase.
    if (rt::holdsControlCharacter(txtCommand.Text())) {
        rt::MsgBox(
            "A phrase cannot hold a line break or another control character: it would split the "
            "lines of the grammar.  Nothing was saved.",
            rt::vbExclamation, "Save Changes");
        return;
    }
    if (!currentLineSelected(lstDictionary))
        m_CVocab->DictionaryRecordCount(lstVocab.Text());
    int16_t record = m_CVocab->File().RecordNumber();
    m_CVocab->AddDictionaryWord(true, lstVocab.Text(), txtCommand.Text(), "SaveChanges");
    ShowSaved(record);
}

// A deletion finds its record by the phrase list's line, so the list shows
// what the save wrote: its line of the record, and the empty line past the end
// after a record appended there. The selection and the store's cursor stay,
// so the next save goes where this one went.
void frmVocab::ShowSaved(int16_t iRecord) {
    if (!listsSelectedVocabulary())
        return;
    int line = iRecord - 1;
    while (lstDictionary.ListCount() <= line)
        lstDictionary.AddItem("");
    lstDictionary.setList(line, txtCommand.Text());
    if (line == lstDictionary.ListCount() - 1)
        lstDictionary.AddItem("");
}

bool frmVocab::listsSelectedVocabulary() const {
    return lstVocab.ListIndex() != -1 && lstVocab.Text() == m_ListedVocab;
}

void frmVocab::mnuNewVocab_Click() {
    NewVocabulary();
}

void frmVocab::NewVocabulary() {
    std::string answer = rt::InputBox("Enter Name of New Vocabulary: ", "New Vocabulary", "",
                                      Left() + 600, Top() - 1700);
    if (answer.empty())
        return;
    std::string refusal = CVocab::NameRefusal(answer);
    if (!refusal.empty()) {
        rt::MsgBox(refusal, rt::vbExclamation, "Vocabulary Name");
        return;
    }
    if (RunningApps::ListFindExact(lstVocab.hWnd(), answer)) {
        rt::MsgBox("You Already Have A Vocabulary With That Name!", rt::vbOKOnly);
        return;
    }
    if (lstVocab.ListCount() + 1 <= kMaxVocabularies) {
        m_CVocab->CreateNewVocab(answer);
        lstVocab.Clear();
        m_CVocab->FillVocabFile(true);
    } else {
        rt::MsgBox("You Have Too Many Vocabularies Already!  The Maximum is 30.", rt::vbInformation,
                   "Vocabulary Overload");
    }
}

void frmVocab::mnuPopNew_Click() {
    NewWord();
}

// Choosing the vocabulary again refills the phrase list with no line
// selected, so the next save appends.
void frmVocab::NewWord() {
    bool done = rt::endOnFailure([&] {
        if (lstVocab.ListIndex() == -1) {
            rt::MsgBox("You must select or create a vocabulary first!", rt::vbCritical,
                       "No Vocabulary Selection");
            NewVocabulary();
        }
        lstVocab.SetFocus();
        lstVocab.setListIndex(lstVocab.ListIndex() + 1);
        lstVocab.setListIndex(lstVocab.ListIndex() - 1);
        txtCommand.SetFocus();
    });
    if (!done)
        rt::skipFailure([&] { txtCommand.SetFocus(); });
}

void frmVocab::mnuDelete_Click() {
    DictionaryDelete();
}

// The record of the selected line goes from the vocabulary file; every
// other record stays as it is in the file. Only the vocabulary the lines are
// of: after a drop onto another one, or the deletion of its own, the phrase
// list goes on showing the one chosen before.
void frmVocab::DictionaryDelete() {
    int line = lstDictionary.ListIndex();
    std::string word;
    bool removed = false;
    bool done = rt::endOnFailure([&] {
        m_CVocab->DictionaryInitialize();
        if (!listsSelectedVocabulary())
            return;
        word = lstDictionary.List(line);
        lstDictionary.RemoveItem(line);
        removed = true;
        m_CVocab->DictionaryRecordDelete(lstVocab.Text(), line, word);
    });
    if (done)
        return;
    rt::ErrInfo error = rt::Err();
    // The file is as it was: so is the list.
    if (removed)
        rt::skipFailure([&] { lstDictionary.AddItem(word, line); });
    if (error.number == kApplicationErrorWrite)
        rt::MsgBox(CFile::IsNotWritten(error) ? error.description
                                              : "Please Select A Dictionary Word To Delete!",
                   rt::vbOKOnly);
}

void frmVocab::mnuDeleteVocab_Click() {
    VocabularyDelete();
}

// The phrase list and the edit box keep what they show.
void frmVocab::VocabularyDelete() {
    if (rt::MsgBox("Warning!  You Are About to Remove A File From Your Hard Drive!",
                   rt::vbCritical + rt::vbOKCancel, "Vocabulary File Deletion") != rt::vbOK)
        return;
    if (lstVocab.ListIndex() == -1) {
        rt::MsgBox("You Must Select A Vocabulary First!", rt::vbInformation, "Vocabulary Deletion");
        return;
    }
    m_CVocab->DeleteVocabFile(lstVocab.Text());
    lstVocab.RemoveItem(lstVocab.ListIndex());
}

void frmVocab::mnuDicSelAll_Click() {
    SelectAll();
}

// Arms the next left press in the phrase list to pick up every line.
void frmVocab::SelectAll() {
    // The range packs first and last line into one value: 0 and the last.
    rt::SendMessageA(lstDictionary.hWnd(), rt::LB_SELITEMRANGE, 1,
                     rt::Variant(static_cast<int32_t>(lstDictionary.ListCount() - 1)));
    m_SelectAllCount = static_cast<int16_t>(lstDictionary.ListCount());
    m_SelectAll = true;
}

void frmVocab::cmdToggle_Click() {
    auto app = std::make_unique<CApp>();
    Hide();
    frmApp& appWindow = rt::form<frmApp>().get();
    RunningApps::FillRunningApps(appWindow.lstRunApp);
    appWindow.lstVAppCmd.Clear();
    appWindow.cmbVocabulary.Clear();
    lstVocab.Clear();
    m_CVocab->FillVocabFile(false);
    app->FillVACListBox();
    if (appWindow.lstVAppCmd.ListIndex() != -1) {
        appWindow.lstVAppCmd.setListIndex(0);
        appWindow.lstVAppCmd.setSelected(0, true);
    }
    Hide();
    appWindow.Show(rt::vbModal);
}

void frmVocab::cmdCloseVocab_Click() {
    Unload();
}

void frmVocab::mnuExit_Click() {
    Unload();
}

void frmVocab::mnuQUIBOHelp_Click() {
    showHelp();
}

void frmVocab::showHelp() {
    m_CHelp->Show(rt::App().pathOf("quibohelp.chm"), "");
}

// Keys compare exactly; one that matches none does nothing.
void frmVocab::tbrVocab_ButtonClick(rt::ToolbarButton& Button) {
    if (Button.Key == "NewVocab")
        NewVocabulary();
    else if (Button.Key == "DelVocab")
        VocabularyDelete();
    else if (Button.Key == "SvCh")
        SaveChanges();
    else if (Button.Key == "SelDict")
        SelectAll();
    else if (Button.Key == "Switch")
        cmdToggle_Click();
    else if (Button.Key == "NewDict")
        NewWord();
    else if (Button.Key == "DelDict")
        DictionaryDelete();
    else if (Button.Key == "Help")
        showHelp();
}

// The grammar is rewritten from the vocabularies listed now, so the
// recogniser hears the new phrases the next time it loads it.
void frmVocab::Form_Unload(int& /*cancel*/) {
    rt::skipFailure([&] { m_CFile->TempLoad(); });
    rt::skipFailure([&] { rt::form<frmApp>()->lstVAppCmd.Clear(); });
    rt::skipFailure([&] { flocVocab.Invoke(kSaveLocation, rt::InvokeKind::Method, {}); });
    rt::skipFailure([&] { m_CFile.reset(); });
    rt::skipFailure([&] { m_CVocab.reset(); });
    rt::skipFailure([&] { m_CApp.reset(); });
    rt::skipFailure([&] { m_CHelp.reset(); });
}

// ---- copying phrases by drag and drop -----------------------------------------

void frmVocab::lstDictionary_MouseDown(int Button, int /*Shift*/, float /*X*/, float Y) {
    bool done = rt::endOnFailure([&] {
        if (Button == rt::vbRightButton) {
            if (lstDictionary.ListIndex() != -1)
                PopupMenu(mnuEdit);
            return;
        }
        if (Button != rt::vbLeftButton)
            return;
        if (m_SelectAllCount != 0) {
            m_ClickCount = plusOne(m_SelectAllCount);
            m_CVocab->CopyAll();
            m_KeyUp = true;
        } else {
            m_ClickCount = plusOne(m_ClickCount);
        }
        if (m_KeyUp) {
            // Restart: drag the count that stands, then count from 0 again.
            m_KeyUp = false;
            m_CVocab->setSelectionNumber(m_ClickCount);
            ListMove(m_ClickCount, Y);
            m_ClickCount = 0;
            lstDictionary.setSelected(lstDictionary.ListIndex(), false);
            m_Started = false;
            m_CVocab->InitRecord();
        } else {
            if (m_Started) {
                if (lstDictionary.SelCount() < m_ClickCount)
                    m_ClickCount = 1;
            } else {
                m_Started = true;
            }
            if (currentLineSelected(lstDictionary))
                m_CVocab->CopyDictionary(lstDictionary.Text());
            m_CVocab->setSelectionNumber(m_ClickCount);
            ListMove(m_ClickCount, Y);
        }
    });
    if (!done)
        rt::MsgBox("Please Select A Dictionary Word!", rt::vbInformation, "Dictionary Error");
}

void frmVocab::lstDictionary_KeyUp(int& /*KeyCode*/, int /*Shift*/) {
    m_KeyUp = true;
}

// The outline of the hidden label follows the pointer: as wide as the list,
// one text line high per word, centred on the pointer.
void frmVocab::ListMove(int16_t iListNumber, float Y) {
    float height = static_cast<float>(iListNumber) * TextHeight("A");
    lblVocab.Move(lstDictionary.Left(), lstDictionary.Top() + Y - height / 2, lstDictionary.Width(),
                  height);
    lblVocab.Drag(rt::vbBeginDrag);
}

// The target is picked by the pointer's height, whatever the list's scroll
// position; near the bottom edge the timer walks the selection on.
void frmVocab::lstVocab_DragOver(rt::Control& /*Source*/, float /*X*/, float Y, int /*State*/) {
    rt::skipFailure([&] { m_DragOver = true; });
    rt::skipFailure([&] {
        if (Y >= 0 && Y <= kBand) {
            lstVocab.setSelected(0, true);
        } else if (Y > kBand * kBandLines) {
            // Enabling a running timer again would restart its second.
            if (!tmrExtend.Enabled())
                tmrExtend.setEnabled(true);
        } else {
            for (int n = 1; n < kBandLines; ++n)
                if (Y >= kBand * n + 1 && Y <= kBand * (n + 1))
                    lstVocab.setSelected(n, true);
        }
    });
}

void frmVocab::tmrExtend_Timer() {
    bool selected;
    if (!m_FirstTick) {
        // Once in the window's life, also when the list has no line 12.
        m_FirstTick = true;
        selected = rt::endOnFailure([&] { lstVocab.setSelected(kBandLines, true); });
    } else {
        selected = rt::endOnFailure([&] { lstVocab.setSelected(lstVocab.ListIndex() + 1, true); });
    }
    if (!selected)
        rt::skipFailure([&] { lstVocab.setSelected(0, true); });
}

// Appends each picked-up word that the target does not hold yet. The range
// of records compared is fixed before the first word.
void frmVocab::lstVocab_DragDrop(rt::Control& /*Source*/, float /*X*/, float /*Y*/) {
    bool done = rt::endOnFailure([&] {
        tmrExtend.setEnabled(false);
        std::string target = lstVocab.Text();
        m_SelectAllCount = 0;
        m_CVocab->InitRecord();
        int16_t dropRecordCount = m_CVocab->DictionaryRecordCount(target);
        int16_t n = m_CVocab->SelectionNumber();
        if (n != 1) {
            // An empty target: its record 1 is compared too, where the first
            // word lands.
            m_CFile->FileOpen(true, target);
            std::string first = m_CFile->FileRead(1);
            m_CFile->FileClose();
            if (first.empty())
                dropRecordCount = plusOne(dropRecordCount);
        }
        if (m_SelectAll) {
            // Select All counted one press more than there are lines.
            m_SelectAll = false;
            --n;
        }
        for (int i = 1; i <= n; ++i) {
            std::string word = m_CVocab->RetrieveDictionary(static_cast<int16_t>(i));
            bool held = false;
            for (int r = 1; r <= dropRecordCount - 1 && !held; ++r)
                held = m_CVocab->ReadDictionary(static_cast<int16_t>(r), target) == word;
            if (held)
                m_CVocab->MinusRecord();
            else
                m_CVocab->AddDictionaryWord(true, lstVocab.Text(), word, "MenuCopy");
        }
        m_CVocab->SelectInitialize();
        m_DragOver = false;
        m_CVocab->DictionaryInitialize();
    });
    if (!done && rt::Err().number == kApplicationErrorNoWord)
        rt::MsgBox("You Must Select A Dictionary Word!", rt::vbOKOnly);
}
