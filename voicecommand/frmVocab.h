#pragma once
// The vocabulary configuration window: the vocabularies, the phrase records
// of the selected one and the edit box of the phrase being edited; phrases
// are copied to another vocabulary by dragging them onto its name. Every
// control sits inside the stretch container, which rescales them when the
// window is resized; without the layout library they stay put.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/com/PropertyBag.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/ImageList.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/Menu.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/Timer.h"
#include "runtime/forms/Toolbar.h"
#include "runtime/forms/UserControl.h"

class CApp;
class CFile;
class CHelp;
class CVocab;

class frmVocab : public rt::Form {
public:
    frmVocab();
    ~frmVocab() override;

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& cancel) override;
    void lstVocab_Click();
    void lstVocab_MouseDown(int Button, int Shift, float X, float Y);
    void lstVocab_MouseUp(int Button, int Shift, float X, float Y);
    void lstDictionary_Click();
    void lstDictionary_MouseDown(int Button, int Shift, float X, float Y);
    void txtCommand_GotFocus();
    void cmdSaveChanges_Click();
    void cmdToggle_Click();
    void cmdCloseVocab_Click();
    void tbrVocab_ButtonClick(rt::ToolbarButton& Button);
    void mnuNewVocab_Click();
    void mnuDeleteVocab_Click();
    void mnuSaveChanges_Click();
    void mnuExit_Click();
    void mnuPopNew_Click();
    void mnuDelete_Click();
    void mnuDicSelAll_Click();
    void mnuQUIBOHelp_Click();
    // Copying phrases by drag and drop.
    void lstDictionary_KeyUp(int& KeyCode, int Shift);
    void lstVocab_DragOver(rt::Control& Source, float X, float Y, int State);
    void lstVocab_DragDrop(rt::Control& Source, float X, float Y);
    void tmrExtend_Timer();

    // The window's store: its copy buffer holds the phrases being dragged.
    CVocab& vocab() { return *m_CVocab; }

    // The container comes first: the controls below are placed inside it.
    rt::ControlSite strVocab{*this, "strVocab", "tlvFormControls.StretchContainer",
                             rt::PropertyBag{}};
    rt::ImageList imgVocab{*this, "imgVocab"};
    rt::Toolbar tbrVocab{*this, "tbrVocab"};
    rt::ControlSite flocVocab{
        *this, "flocVocab", "tlvFormControls.FormLocator",
        rt::PropertyBag::fromText(R"(RegistryKey = "Software\frmVocab\Position")")};
    // The focusable controls are declared in their tab order, which the
    // window's view follows.
    rt::CommandButton cmdToggle{*this, "cmdToggle", "Application/&Vocabulary"};
    rt::Label lblDictionary{*this, "lblDictionary", "Dictionary:"};
    rt::ListBox lstDictionary{*this, "lstDictionary", false, rt::vbMultiSelectExtended};
    rt::Label lblVocabList{*this, "lblVocabList", "Vocabularies:"};
    rt::ListBox lstVocab{*this, "lstVocab"};
    rt::Label lblEditVocab{*this, "lblEditVocab", "Edit Command:"};
    rt::TextBox txtCommand{*this, "txtCommand"};
    rt::CommandButton cmdSaveChanges{*this, "cmdSaveChanges", "&Save Changes"};
    rt::CommandButton cmdCloseVocab{*this, "cmdCloseVocab", "&Close"};
    rt::Label lblVocab{*this, "lblVocab"};
    rt::Timer tmrExtend{*this, "tmrExtend", 1000, false};

    rt::Menu mnuFile{*this, "mnuFile", "&File"};
    rt::Menu mnuNewVocab{*this, "mnuNewVocab", "&New Vocabulary", &mnuFile};
    rt::Menu mnuDeleteVocab{*this, "mnuDeleteVocab", "&Delete Vocabulary", &mnuFile};
    rt::Menu mnuSaveChanges{*this, "mnuSaveChanges", "&Save Changes", &mnuFile};
    rt::Menu mnuExit{*this, "mnuExit", "E&xit", &mnuFile, "Ctrl+X"};
    rt::Menu mnuEdit{*this, "mnuEdit", "&Edit Dictionary"};
    rt::Menu mnuPopNew{*this, "mnuPopNew", "&New Word", &mnuEdit};
    rt::Menu mnuDelete{*this, "mnuDelete", "&Delete Word", &mnuEdit};
    rt::Menu mnuDicSelAll{*this, "mnuDicSelAll", "&Select All Words", &mnuEdit};
    rt::Menu mnuXfr{*this, "mnuXfr", "VocabularyTransfer"};
    rt::Menu mnuCopy{*this, "mnuCopy", "&Copy Here", &mnuXfr};
    rt::Menu mnuHelp{*this, "mnuHelp", "&Help"};
    rt::Menu mnuQUIBOHelp{*this, "mnuQUIBOHelp", "QUIBO! &Help Contents", &mnuHelp};

private:
    void SaveChanges();
    void ShowSaved(int16_t iRecord);
    // Whether the phrase list shows the selected vocabulary's phrases.
    bool listsSelectedVocabulary() const;
    void NewVocabulary();
    void NewWord();
    void DictionaryDelete();
    void VocabularyDelete();
    void SelectAll();
    void ListMove(int16_t iListNumber, float Y);
    void showHelp();

    std::unique_ptr<CVocab> m_CVocab;
    std::unique_ptr<CFile> m_CFile;
    std::unique_ptr<CApp> m_CApp;
    std::unique_ptr<CHelp> m_CHelp;

    // The vocabulary whose phrases the phrase list was last filled with.
    std::string m_ListedVocab;

    // From the first drag over the vocabulary list until a drop completes;
    // meanwhile a click on that list does nothing.
    bool m_DragOver = false;
    // The phrase list's line count when Select All ran, and that it ran.
    int16_t m_SelectAllCount = 0;
    bool m_SelectAll = false;
    // A key was released in the phrase list since the last left press.
    bool m_KeyUp = false;
    // Words picked up since the last restart of the count.
    int16_t m_ClickCount = 0;
    bool m_Started = false;
    bool m_FirstTick = false;
};
