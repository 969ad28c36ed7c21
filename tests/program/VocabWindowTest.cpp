// The vocabulary window as a user works it: choosing vocabularies and
// phrases, saving, adding and deleting phrases, creating and deleting
// vocabularies, the pop-up menus, the switch back to the application window,
// closing, and the layout with the layout library registered.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/backends/sim/SimHelp.h"
#include "runtime/com/ComponentRegistry.h"
#include "runtime/core/App.h"
#include "runtime/core/FileSystem.h"
#include "runtime/platform/desktop/User32.h"
#include "tests/program/VocabWindowFixture.h"

namespace {

using rt::UserInput;

const std::string kWarning = "Warning!  You Are About to Remove A File From Your Hard Drive!";
const std::string kHeader =
    "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n";

class VocabWindow : public VocabWindowFixture {};

// ---- choosing a vocabulary and a phrase ---------------------------------------

struct ChooseRow {
    const char* name;
    std::vector<std::string> records;
    std::vector<std::string> shown;
};

class VocabWindowChoose : public VocabWindow, public testing::WithParamInterface<ChooseRow> {};

TEST_P(VocabWindowChoose, ChoosingAVocabularyListsItsRecordsAndAnEmptyLastLine) {
    const ChooseRow& row = GetParam();
    writeVocab("Edit", row.records);
    writeVocab("Other", {"Stale:x"});
    open([&](frmVocab& w) {
        choose(w, "Other");
        UserInput::selectItem(w.lstDictionary, 0);
        EXPECT_EQ(w.txtCommand.Text(), "Stale:x");
        choose(w, "Edit");
        EXPECT_EQ(lines(w.lstDictionary), row.shown);
        EXPECT_EQ(w.txtCommand.Text(), "");
        EXPECT_TRUE(selectedLines(w.lstDictionary).empty());
    });
}

INSTANTIATE_TEST_SUITE_P(VocabWindow, VocabWindowChoose,
                         testing::Values(ChooseRow{"ThreeRecords",
                                                   {"Copy:^c", "Paste:^v", "Save:^s"},
                                                   {"Copy:^c", "Paste:^v", "Save:^s", ""}},
                                         ChooseRow{"EmptyVocabulary", {}, {""}},
                                         ChooseRow{"EmptyRecordInside",
                                                   {"Copy:^c", "", "Save:^s"},
                                                   {"Copy:^c", "", "Save:^s", ""}}),
                         rt::test::RowName());

TEST_F(VocabWindow, OpeningShowsTheFirstVocabularyAndFocusSelectsTheEditBoxText) {
    writeVocab("Edit", {"Copy:^c"});
    open([&](frmVocab& w) {
        EXPECT_EQ(w.Caption(), "Vocabulary/Dictionary Configuration");
        EXPECT_EQ(w.lstVocab.ListIndex(), 0);
        EXPECT_EQ(lines(w.lstDictionary), (std::vector<std::string>{"Copy:^c", ""}));
        UserInput::selectItem(w.lstDictionary, 0);
        UserInput::focus(w.cmdToggle);
        UserInput::focus(w.txtCommand);
        EXPECT_EQ(w.txtCommand.SelStart(), 0);
        EXPECT_EQ(w.txtCommand.SelLength(), 7);
    });
}

// ---- saving phrase records ------------------------------------------------------

// Line: chosen with the keyboard; Click: with the mouse.
enum class Pick { Line, Click, NewWordMenu, NewWordToolbar, NoLine };
enum class Save { Button, Menu, Toolbar };

struct SaveRow {
    const char* name;
    std::vector<std::string> records;
    Pick pick;
    int line;
    Save save;
    std::vector<std::string> expected;
};

class VocabWindowSave : public VocabWindow, public testing::WithParamInterface<SaveRow> {};

TEST_P(VocabWindowSave, SavingWritesTheEditBoxOverTheChosenRecordOrAppendsIt) {
    const SaveRow& row = GetParam();
    writeVocab("Edit", row.records);
    // Not the last line: New Word chooses it again through the next line.
    writeVocab("Zeta", {"Zoom:z"});
    open([&](frmVocab& w) {
        choose(w, "Edit");
        switch (row.pick) {
        case Pick::Line:
        case Pick::Click:
            if (row.pick == Pick::Line)
                UserInput::selectItem(w.lstDictionary, row.line);
            else
                clickLine(w, row.line);
            EXPECT_EQ(w.txtCommand.Text(), row.line < static_cast<int>(row.records.size())
                                               ? row.records[static_cast<size_t>(row.line)]
                                               : "");
            break;
        case Pick::NewWordMenu:
            UserInput::selectItem(w.lstDictionary, 0);
            UserInput::chooseMenu(w.mnuPopNew);
            break;
        case Pick::NewWordToolbar:
            UserInput::selectItem(w.lstDictionary, 0);
            UserInput::clickButton(w.tbrVocab, "NewDict");
            break;
        case Pick::NoLine: break;
        }
        if (row.pick == Pick::NewWordMenu || row.pick == Pick::NewWordToolbar) {
            EXPECT_TRUE(w.txtCommand.hasFocus());
            EXPECT_EQ(w.txtCommand.Text(), "");
            EXPECT_TRUE(selectedLines(w.lstDictionary).empty());
        }
        retype(w.txtCommand, "Undo:^z");
        switch (row.save) {
        case Save::Button: UserInput::click(w.cmdSaveChanges); break;
        case Save::Menu: UserInput::chooseMenu(w.mnuSaveChanges); break;
        case Save::Toolbar: UserInput::clickButton(w.tbrVocab, "SvCh"); break;
        }
        // The list shows what the file holds, as choosing the vocabulary
        // again would.
        std::vector<std::string> shown = row.expected;
        shown.push_back("");
        EXPECT_EQ(lines(w.lstDictionary), shown);
    });
    EXPECT_EQ(readVocab("Edit"), vocabFile(row.expected));
    EXPECT_TRUE(user->messageBoxes().empty());
}

const std::vector<std::string> kThree{"Copy:^c", "Paste:^v", "Save:^s"};

INSTANTIATE_TEST_SUITE_P(
    VocabWindow, VocabWindowSave,
    testing::Values(SaveRow{"SecondLineReplaced",
                            kThree,
                            Pick::Line,
                            1,
                            Save::Button,
                            {"Copy:^c", "Undo:^z", "Save:^s"}},
                    SaveRow{"EmptyLastLineAppends",
                            kThree,
                            Pick::Line,
                            3,
                            Save::Menu,
                            {"Copy:^c", "Paste:^v", "Save:^s", "Undo:^z"}},
                    // The press picks the line up for a drag on its way: the
                    // save still writes over the line clicked.
                    SaveRow{"ClickedLineReplaced",
                            kThree,
                            Pick::Click,
                            1,
                            Save::Button,
                            {"Copy:^c", "Undo:^z", "Save:^s"}},
                    SaveRow{"ClickedLastPhraseReplaced",
                            kThree,
                            Pick::Click,
                            2,
                            Save::Toolbar,
                            {"Copy:^c", "Paste:^v", "Undo:^z"}},
                    SaveRow{"ClickedEmptyLastLineAppends",
                            kThree,
                            Pick::Click,
                            3,
                            Save::Button,
                            {"Copy:^c", "Paste:^v", "Save:^s", "Undo:^z"}},
                    SaveRow{"NewWordAppends",
                            kThree,
                            Pick::NewWordMenu,
                            0,
                            Save::Toolbar,
                            {"Copy:^c", "Paste:^v", "Save:^s", "Undo:^z"}},
                    SaveRow{"NewWordFromTheToolbarAppends",
                            {"Copy:^c"},
                            Pick::NewWordToolbar,
                            0,
                            Save::Button,
                            {"Copy:^c", "Undo:^z"}},
                    SaveRow{"NoPhraseLineAppends", {}, Pick::NoLine, 0, Save::Button, {"Undo:^z"}},
                    // The append position is the first empty record.
                    SaveRow{"AppendFillsAnEmptyRecordInside",
                            {"Copy:^c", "", "Save:^s"},
                            Pick::NewWordMenu,
                            0,
                            Save::Button,
                            {"Copy:^c", "Undo:^z", "Save:^s"}}),
    rt::test::RowName());

TEST_F(VocabWindow, SavingWithoutAVocabularySaysSoAndSelectsTheEditBox) {
    writeVocab("Edit", {"Copy:^c"});
    open([&](frmVocab& w) {
        // Deleting the vocabulary leaves none selected.
        user->answerMsgBox(rt::vbOK, kWarning);
        UserInput::chooseMenu(w.mnuDeleteVocab);
        UserInput::typeText(w.txtCommand, "Undo:^z");
        UserInput::focus(w.cmdToggle);
        user->answerMsgBox(rt::vbOK, "You must select a Vocabulary!");
        UserInput::click(w.cmdSaveChanges);
        EXPECT_TRUE(w.txtCommand.hasFocus());
        EXPECT_EQ(w.txtCommand.SelLength(), 7);
    });
    ASSERT_EQ(user->messageBoxes().size(), 2u);
    EXPECT_EQ(user->messageBoxes()[1].buttons, rt::vbOKOnly);
    EXPECT_EQ(user->messageBoxes()[1].title, rt::App().Title());
    EXPECT_FALSE(vocabExists("Edit"));
    EXPECT_TRUE(rt::listFiles(folder.vocab(), "*").empty());
}

TEST_F(VocabWindow, ATextTooLongForARecordReachesTheHostAsWriteError) {
    writeVocab("Edit", {"Copy:^c"});
    open([&](frmVocab& w) {
        UserInput::selectItem(w.lstDictionary, 0);
        retype(w.txtCommand, std::string(127, 'x'));
        EXPECT_EQ(rt::test::errorOf([&] { UserInput::click(w.cmdSaveChanges); }), 13012);
    });
    EXPECT_EQ(readVocab("Edit"), vocabFile({"Copy:^c"}));
}

// A line break or another control character would split the grammar's lines.
TEST_F(VocabWindow, APhraseHoldingAControlCharacterIsRefusedAtSave) {
    writeVocab("Edit", {"Copy:^c"});
    open([&](frmVocab& w) {
        for (const char* typed : {"Go\r\nhome:^h", "Tab\there:{TAB}"}) {
            retype(w.txtCommand, typed);
            user->answerMsgBox(rt::vbOK,
                               "A phrase cannot hold a line break or another control character");
            UserInput::click(w.cmdSaveChanges);
        }
    });
    EXPECT_EQ(readVocab("Edit"), vocabFile({"Copy:^c"}));
}

// ---- new vocabulary -------------------------------------------------------------

enum class Ask { Menu, Toolbar, PopupOnVocabularies };

struct NewVocabRow {
    const char* name;
    int listed;         // vocabularies V01, V02... in the folder
    std::string answer; // empty: Cancel
    Ask ask;
    std::string message; // empty: none
    std::string title;   // empty: the program's
    int icon;
    bool created;
};

class VocabWindowNewVocabulary : public VocabWindow,
                                 public testing::WithParamInterface<NewVocabRow> {
protected:
    static std::string numbered(int i) { return (i < 10 ? "V0" : "V") + std::to_string(i); }
};

TEST_P(VocabWindowNewVocabulary, ANewNameIsAskedForAndCreatedUpToThirtyVocabularies) {
    const NewVocabRow& row = GetParam();
    for (int i = 1; i <= row.listed; ++i)
        writeVocab(numbered(i), {"Word" + std::to_string(i) + ":w"});
    std::vector<std::string> before;
    open([&](frmVocab& w) {
        before = lines(w.lstVocab);
        w.Move(2000, 3000, w.Width(), w.Height());
        if (row.ask == Ask::PopupOnVocabularies)
            user->choosePopup("mnuNewVocab");
        if (row.answer.empty())
            user->cancelInputBox();
        else
            user->answerInputBox(row.answer);
        if (!row.message.empty())
            user->answerMsgBox(rt::vbOK, row.message);
        switch (row.ask) {
        case Ask::Menu: UserInput::chooseMenu(w.mnuNewVocab); break;
        case Ask::Toolbar: UserInput::clickButton(w.tbrVocab, "NewVocab"); break;
        case Ask::PopupOnVocabularies: UserInput::mouseDown(w.lstVocab, rt::vbRightButton); break;
        }
        if (row.created) {
            EXPECT_EQ(w.lstVocab.ListCount(), row.listed + 1);
            EXPECT_GE(indexOf(w.lstVocab, row.answer), 0);
            EXPECT_EQ(w.lstVocab.ListIndex(), -1);
        } else {
            EXPECT_EQ(lines(w.lstVocab), before);
        }
    });
    ASSERT_EQ(user->inputBoxes().size(), 1u);
    const rt::InputBoxRequest& box = user->inputBoxes()[0];
    EXPECT_EQ(box.prompt, "Enter Name of New Vocabulary: ");
    EXPECT_EQ(box.title, "New Vocabulary");
    EXPECT_EQ(box.defaultText, "");
    EXPECT_EQ(box.x, 2600);
    EXPECT_EQ(box.y, 1300);
    if (row.message.empty()) {
        EXPECT_TRUE(user->messageBoxes().empty());
    } else {
        ASSERT_EQ(user->messageBoxes().size(), 1u);
        EXPECT_EQ(user->messageBoxes()[0].title, row.title.empty() ? rt::App().Title() : row.title);
        EXPECT_EQ(user->messageBoxes()[0].buttons, row.icon);
    }
    EXPECT_EQ(rt::listFiles(folder.vocab(), "*.txt").size(),
              static_cast<size_t>(row.listed + (row.created ? 1 : 0)));
    if (row.created) {
        EXPECT_EQ(readVocab(row.answer), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    VocabWindow, VocabWindowNewVocabulary,
    testing::Values(
        NewVocabRow{"Created", 2, "Mail", Ask::Menu, "", "", 0, true},
        NewVocabRow{"CreatedFromTheToolbar", 2, "Mail", Ask::Toolbar, "", "", 0, true},
        NewVocabRow{"CreatedFromThePopup", 2, "Mail", Ask::PopupOnVocabularies, "", "", 0, true},
        NewVocabRow{"Cancelled", 2, "", Ask::Menu, "", "", 0, false},
        NewVocabRow{"NameListedInOtherCase", 2, "v02", Ask::Menu,
                    "You Already Have A Vocabulary With That Name!", "", rt::vbOKOnly, false},
        NewVocabRow{"ThirtiethCreated", 29, "Mail", Ask::Menu, "", "", 0, true},
        // Names the store would change, or that would cut a record.
        NewVocabRow{"PointRefused", 2, "mail.old", Ask::Menu, "cannot hold a point",
                    "Vocabulary Name", rt::vbExclamation, false},
        NewVocabRow{"SeparatorRefused", 2, "Mail$", Ask::Menu, "cannot hold \"$\"",
                    "Vocabulary Name", rt::vbExclamation, false},
        NewVocabRow{"OutsideTheCodePageRefused", 2, "Ma?l", Ask::Menu, "cannot hold \"?\"",
                    "Vocabulary Name", rt::vbExclamation, false},
        NewVocabRow{"FolderSeparatorRefused", 2, "a\\b", Ask::Menu, "a file name cannot hold it",
                    "Vocabulary Name", rt::vbExclamation, false},
        NewVocabRow{"ThirtyFirstRefused", 30, "Mail", Ask::Menu,
                    "You Have Too Many Vocabularies Already!  The Maximum is 30.",
                    "Vocabulary Overload", rt::vbInformation, false}),
    rt::test::RowName());

TEST_F(VocabWindow, NewWordWithoutAVocabularyAsksForOneAndPreparesAnEmptyRecord) {
    open([&](frmVocab& w) {
        ASSERT_EQ(w.lstVocab.ListCount(), 0);
        user->answerMsgBox(rt::vbOK, "You must select or create a vocabulary first!");
        user->answerInputBox("Mail");
        UserInput::chooseMenu(w.mnuPopNew);
        EXPECT_EQ(lines(w.lstVocab), (std::vector<std::string>{"Mail"}));
        EXPECT_EQ(w.lstVocab.ListIndex(), 0);
        EXPECT_EQ(lines(w.lstDictionary), (std::vector<std::string>{""}));
        EXPECT_TRUE(w.txtCommand.hasFocus());
        UserInput::typeText(w.txtCommand, "Send:^s");
        UserInput::click(w.cmdSaveChanges);
    });
    ASSERT_EQ(user->messageBoxes().size(), 1u);
    EXPECT_EQ(user->messageBoxes()[0].title, "No Vocabulary Selection");
    EXPECT_EQ(user->messageBoxes()[0].buttons, rt::vbCritical);
    EXPECT_EQ(readVocab("Mail"), vocabFile({"Send:^s"}));
}

TEST_F(VocabWindow, NewWordWithoutAVocabularyAndACancelledNameOnlyFocusesTheEditBox) {
    open([&](frmVocab& w) {
        user->answerMsgBox(rt::vbOK, "You must select or create a vocabulary first!");
        user->cancelInputBox();
        UserInput::clickButton(w.tbrVocab, "NewDict");
        EXPECT_TRUE(w.txtCommand.hasFocus());
        EXPECT_EQ(w.lstVocab.ListCount(), 0);
    });
}

// The vocabulary is chosen again by selecting the next line and back, which
// the last line has not.
TEST_F(VocabWindow, NewWordOnTheLastVocabularyOnlyMovesTheFocusAndTheSaveFollowsTheSelection) {
    writeVocab("Only", {"Copy:^c", "Paste:^v"});
    open([&](frmVocab& w) {
        UserInput::selectItem(w.lstDictionary, 1);
        UserInput::chooseMenu(w.mnuPopNew);
        EXPECT_TRUE(w.txtCommand.hasFocus());
        EXPECT_EQ(w.txtCommand.Text(), "Paste:^v");
        EXPECT_EQ(selectedLines(w.lstDictionary), (std::vector<int>{1}));
        UserInput::typeText(w.txtCommand, "Undo:^z");
        UserInput::click(w.cmdSaveChanges);
    });
    EXPECT_EQ(readVocab("Only"), vocabFile({"Copy:^c", "Undo:^z"}));
}

// ---- deleting a phrase record ---------------------------------------------------

enum class Del { Menu, Toolbar, Popup };

struct DeleteWordRow {
    const char* name;
    int line; // -1: no phrase line clicked
    Del how;
    std::vector<std::string> expectedFile;
};

class VocabWindowDeleteWord : public VocabWindow,
                              public testing::WithParamInterface<DeleteWordRow> {};

TEST_P(VocabWindowDeleteWord, OnlyTheRecordOfTheLineLeavesTheFile) {
    const DeleteWordRow& row = GetParam();
    writeVocab("Edit", kThree);
    std::vector<std::string> shownAgain;
    open([&](frmVocab& w) {
        choose(w, "Edit");
        if (row.line >= 0)
            UserInput::selectItem(w.lstDictionary, row.line);
        switch (row.how) {
        case Del::Menu: UserInput::chooseMenu(w.mnuDelete); break;
        case Del::Toolbar: UserInput::clickButton(w.tbrVocab, "DelDict"); break;
        case Del::Popup:
            user->choosePopup("mnuDelete");
            UserInput::mouseDown(w.lstDictionary, rt::vbRightButton);
            break;
        }
        choose(w, "Edit");
        shownAgain = lines(w.lstDictionary);
    });
    EXPECT_TRUE(user->messageBoxes().empty());
    EXPECT_EQ(readVocab("Edit"), vocabFile(row.expectedFile));
    std::vector<std::string> shown = row.expectedFile;
    shown.push_back("");
    EXPECT_EQ(shownAgain, shown);
}

INSTANTIATE_TEST_SUITE_P(
    VocabWindow, VocabWindowDeleteWord,
    testing::Values(
        // Only the record of the line goes: the file gains no empty record.
        DeleteWordRow{"SecondLine", 1, Del::Menu, {"Copy:^c", "Save:^s"}},
        DeleteWordRow{"FirstLineFromTheToolbar", 0, Del::Toolbar, {"Paste:^v", "Save:^s"}},
        DeleteWordRow{"FromThePopup", 2, Del::Popup, {"Copy:^c", "Paste:^v"}},
        DeleteWordRow{"NoCurrentLineDeletesNothing", -1, Del::Menu, kThree}),
    rt::test::RowName());

// The list shows what a save wrote, so the deletion after it keeps it and
// removes only its own record.
struct SaveThenDeleteRow {
    const char* name;
    int edited; // the line clicked and saved over; -1: a new phrase appended
    std::string text;
    int deleted;
    Del how;
    std::vector<std::string> expectedFile;
};

class VocabWindowSaveThenDelete : public VocabWindow,
                                  public testing::WithParamInterface<SaveThenDeleteRow> {};

TEST_P(VocabWindowSaveThenDelete, TheDeletionRemovesOnlyTheLineChosenAndKeepsWhatWasSaved) {
    const SaveThenDeleteRow& row = GetParam();
    writeVocab("Editing", {"save:^s", "close tab:^w"});
    open([&](frmVocab& w) {
        choose(w, "Editing");
        if (row.edited >= 0)
            clickLine(w, row.edited);
        retype(w.txtCommand, row.text);
        UserInput::click(w.cmdSaveChanges);
        clickLine(w, row.deleted);
        if (row.how == Del::Toolbar)
            UserInput::clickButton(w.tbrVocab, "DelDict");
        else
            UserInput::chooseMenu(w.mnuDelete);
    });
    EXPECT_TRUE(user->messageBoxes().empty());
    EXPECT_EQ(readVocab("Editing"), vocabFile(row.expectedFile));
}

INSTANTIATE_TEST_SUITE_P(
    VocabWindow, VocabWindowSaveThenDelete,
    testing::Values(
        SaveThenDeleteRow{
            "AppendedPhraseKept", -1, "reload:{F5}", 1, Del::Menu, {"save:^s", "reload:{F5}"}},
        SaveThenDeleteRow{"AppendedPhraseDeleted",
                          -1,
                          "reload:{F5}",
                          2,
                          Del::Toolbar,
                          {"save:^s", "close tab:^w"}},
        SaveThenDeleteRow{
            "EditedPhraseKeepsItsNewText", 0, "save all:^s", 1, Del::Toolbar, {"save all:^s"}},
        SaveThenDeleteRow{"EditedPhraseDeleted", 1, "close window:^w", 1, Del::Menu, {"save:^s"}}),
    rt::test::RowName());

// The phrase list goes on showing a vocabulary that is no longer the
// selected one: its lines must not replace the selected vocabulary's.
TEST_F(VocabWindow, DeleteWordAfterADropOntoAnotherVocabularyChangesNoFile) {
    writeVocab("Source", {"A:a", "B:b", "C:c"});
    writeVocab("Target", {"X:x"});
    open([&](frmVocab& w) {
        choose(w, "Source");
        UserInput::pressItem(w.lstDictionary, 1, rt::vbLeftButton);
        int target = indexOf(w.lstVocab, "Target");
        UserInput::dragOver(w.lstVocab, 0, 180.0f * static_cast<float>(target) + 90);
        UserInput::drop(w.lstVocab, 0, 180.0f * static_cast<float>(target) + 90);
        UserInput::selectItem(w.lstDictionary, 0);
        UserInput::chooseMenu(w.mnuDelete);
        EXPECT_EQ(lines(w.lstDictionary), (std::vector<std::string>{"A:a", "B:b", "C:c", ""}));
    });
    EXPECT_TRUE(user->messageBoxes().empty());
    EXPECT_EQ(readVocab("Target"), vocabFile({"X:x", "B:b"}));
    EXPECT_EQ(readVocab("Source"), vocabFile({"A:a", "B:b", "C:c"}));
}

// A deletion that fails half way must not leave its texts behind for the
// next one, which would write them into another vocabulary.
TEST_F(VocabWindow, AFailedDeletionLeavesNothingForTheNextOne) {
    writeVocab("Gone", {"Old:o", "Older:p"});
    writeVocab("Edit", kThree);
    open([&](frmVocab& w) {
        choose(w, "Gone");
        UserInput::selectItem(w.lstDictionary, 0);
        std::filesystem::remove(folder.vocab() / "Gone.txt");
        UserInput::chooseMenu(w.mnuDelete);
        EXPECT_EQ(lines(w.lstDictionary), (std::vector<std::string>{"Older:p", ""}));
        choose(w, "Edit");
        UserInput::selectItem(w.lstDictionary, 0);
        UserInput::chooseMenu(w.mnuDelete);
    });
    EXPECT_TRUE(user->messageBoxes().empty());
    EXPECT_EQ(readVocab("Edit"), vocabFile({"Paste:^v", "Save:^s"}));
}

// ---- deleting a vocabulary -------------------------------------------------------

struct DeleteVocabRow {
    const char* name;
    bool selected;
    int answer;
    bool fromToolbar;
    bool deleted;
    std::vector<std::string> prompts;
};

class VocabWindowDeleteVocabulary : public VocabWindow,
                                    public testing::WithParamInterface<DeleteVocabRow> {};

TEST_P(VocabWindowDeleteVocabulary, OnlyAnOkAndASelectedVocabularyDeleteItsFile) {
    const DeleteVocabRow& row = GetParam();
    writeVocab("Edit", {"Copy:^c"});
    writeVocab("Mail", {"Send:^s"});
    open([&](frmVocab& w) {
        choose(w, "Mail");
        if (!row.selected) {
            // Deleting another vocabulary is what leaves none selected.
            user->answerMsgBox(rt::vbOK, kWarning);
            choose(w, "Edit");
            UserInput::chooseMenu(w.mnuDeleteVocab);
            ASSERT_EQ(w.lstVocab.ListIndex(), -1);
        }
        user->answerMsgBox(row.answer, kWarning);
        if (row.prompts.size() > 1)
            user->answerMsgBox(rt::vbOK, row.prompts[1]);
        std::vector<std::string> phrases = lines(w.lstDictionary);
        if (row.fromToolbar)
            UserInput::clickButton(w.tbrVocab, "DelVocab");
        else
            UserInput::chooseMenu(w.mnuDeleteVocab);
        EXPECT_EQ(indexOf(w.lstVocab, "Mail") < 0, row.deleted);
        EXPECT_EQ(w.lstVocab.ListIndex(),
                  row.selected && !row.deleted ? indexOf(w.lstVocab, "Mail") : -1);
        // The phrase list keeps what it showed.
        EXPECT_EQ(lines(w.lstDictionary), phrases);
    });
    EXPECT_EQ(vocabExists("Mail"), !row.deleted);
    std::vector<rt::MessageBoxRequest> shown = user->messageBoxes();
    if (!row.selected)
        shown.erase(shown.begin());
    ASSERT_EQ(shown.size(), row.prompts.size());
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i].prompt, row.prompts[i]);
    EXPECT_EQ(shown[0].buttons, rt::vbCritical + rt::vbOKCancel);
    EXPECT_EQ(shown[0].title, "Vocabulary File Deletion");
    if (shown.size() > 1) {
        EXPECT_EQ(shown[1].title, "Vocabulary Deletion");
        EXPECT_EQ(shown[1].buttons, rt::vbInformation);
    }
}

INSTANTIATE_TEST_SUITE_P(
    VocabWindow, VocabWindowDeleteVocabulary,
    testing::Values(DeleteVocabRow{"Ok", true, rt::vbOK, false, true, {kWarning}},
                    DeleteVocabRow{"OkFromTheToolbar", true, rt::vbOK, true, true, {kWarning}},
                    DeleteVocabRow{"Cancel", true, rt::vbCancel, false, false, {kWarning}},
                    DeleteVocabRow{
                        "CancelWithoutSelection", false, rt::vbCancel, false, false, {kWarning}},
                    DeleteVocabRow{"OkWithoutSelection",
                                   false,
                                   rt::vbOK,
                                   false,
                                   false,
                                   {kWarning, "You Must Select A Vocabulary First!"}}),
    rt::test::RowName());

// ---- select all, pop-up menus and the toolbar ------------------------------------

TEST_F(VocabWindow, SelectAllSelectsEveryPhraseLine) {
    writeVocab("Edit", {"A:a", "B:b", "C:c", "D:d"});
    open([&](frmVocab& w) {
        UserInput::chooseMenu(w.mnuDicSelAll);
        EXPECT_EQ(selectedLines(w.lstDictionary), (std::vector<int>{0, 1, 2, 3, 4}));
        UserInput::selectItem(w.lstDictionary, 2);
        UserInput::clickButton(w.tbrVocab, "SelDict");
        EXPECT_EQ(w.lstDictionary.SelCount(), 5);
    });
}

TEST_F(VocabWindow, RightPressAndReleaseOverTheListsPopUpTheirMenus) {
    writeVocab("Edit", {"A:a", "B:b"});
    open([&](frmVocab& w) {
        // Over the vocabularies: File on the press, Edit Dictionary on the release.
        user->choosePopup("mnuDeleteVocab").answerMsgBox(rt::vbCancel);
        UserInput::mouseDown(w.lstVocab, rt::vbRightButton);
        user->choosePopup("mnuDicSelAll");
        UserInput::mouseUp(w.lstVocab, rt::vbRightButton);
        EXPECT_EQ(w.lstDictionary.SelCount(), 3);
        // The left button offers nothing there.
        UserInput::mouseDown(w.lstVocab, rt::vbLeftButton);
        UserInput::mouseUp(w.lstVocab, rt::vbLeftButton);
        // Over the phrases only with a current line.
        choose(w, "Edit");
        UserInput::mouseDown(w.lstDictionary, rt::vbRightButton);
        UserInput::selectItem(w.lstDictionary, 1);
        user->choosePopup("");
        UserInput::mouseDown(w.lstDictionary, rt::vbRightButton);
    });
    EXPECT_EQ(prompts(), (std::vector<std::string>{kWarning}));
}

TEST_F(VocabWindow, AToolbarKeyInOtherLetterCaseDoesNothing) {
    writeVocab("Edit", {"A:a"});
    open([&](frmVocab& w) {
        UserInput::selectItem(w.lstDictionary, 0);
        retype(w.txtCommand, "B:b");
        rt::ToolbarButton button{.Key = "svch"};
        w.tbrVocab_ButtonClick(button);
        button.Key = "SvCh";
        w.tbrVocab_ButtonClick(button);
    });
    EXPECT_EQ(readVocab("Edit"), vocabFile({"B:b"}));
}

TEST_F(VocabWindow, EveryToolbarButtonShowsAPictureOfTheImageList) {
    open([&](frmVocab& w) {
        ASSERT_EQ(w.tbrVocab.imageList(), &w.imgVocab);
        ASSERT_EQ(w.tbrVocab.ButtonCount(), 8);
        for (int i = 1; i <= w.tbrVocab.ButtonCount(); ++i) {
            const rt::ToolbarButton& button = w.tbrVocab.Buttons(i);
            EXPECT_NO_THROW(w.imgVocab.ListImages(button.Image)) << button.Key;
            EXPECT_FALSE(button.ToolTipText.empty()) << button.Key;
        }
    });
}

TEST_F(VocabWindow, HelpOpensTheProgramsHelpFileAtItsDefaultTopic) {
    auto help = std::make_shared<rt::SimHelp>();
    rt::setHelp(help);
    folder.write("quibohelp.chm", "help");
    open([&](frmVocab& w) {
        UserInput::chooseMenu(w.mnuQUIBOHelp);
        UserInput::clickButton(w.tbrVocab, "Help");
        EXPECT_TRUE(w.Visible());
    });
    rt::setHelp(nullptr);
    ASSERT_EQ(help->requests().size(), 2u);
    for (const rt::HelpRequest& request : help->requests()) {
        EXPECT_EQ(request.file, rt::App().pathOf("quibohelp.chm"));
        EXPECT_EQ(request.window, "");
        EXPECT_EQ(request.command, rt::HH_DISPLAY_TOPIC);
    }
}

// ---- switching to the application window and closing ------------------------------

TEST_F(VocabWindow, TheSwitchRefillsBothWindowsListsAndShowsTheApplicationWindow) {
    addWindow("Editor", "notes.txt");
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$", key("Term", "shell") + "*Shell~Mail$"});
    writeVocab("Edit", {"Copy:^c"});
    open([&](frmVocab& w) {
        writeVocab("Mail", {"Send:^s"});
        frmApp& app = rt::form<frmApp>().get();
        app.cmbVocabulary.AddItem("Stale");
        user->whileModal("frmApp", [&](rt::Form& f) {
            EXPECT_FALSE(w.Visible());
            std::vector<std::string> vocabularies = lines(w.lstVocab);
            std::sort(vocabularies.begin(), vocabularies.end());
            EXPECT_EQ(vocabularies, (std::vector<std::string>{"Edit", "Mail"}));
            EXPECT_EQ(app.cmbVocabulary.ListCount(), 2);
            EXPECT_EQ(app.cmbVocabulary.List(0), w.lstVocab.List(0));
            EXPECT_EQ(lines(app.lstVAppCmd),
                      (std::vector<std::string>{key("Editor", "notes.txt"), key("Term", "shell")}));
            EXPECT_GE(indexOf(app.lstRunApp, key("Editor", "notes.txt")), 0);
            f.Hide();
        });
        UserInput::clickButton(w.tbrVocab, "Switch");
        EXPECT_FALSE(w.Visible());
    });
    EXPECT_TRUE(rt::form<frmVocab>().isLoaded());
}

enum class Close { Button, Menu, TitleBar };

struct CloseRow {
    const char* name;
    Close how;
};

class VocabWindowClose : public VocabWindow, public testing::WithParamInterface<CloseRow> {};

TEST_P(VocabWindowClose, ClosingRewritesTheGrammarFromTheListedVocabularies) {
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    writeVocab("Edit", {"Copy:^c"});
    folder.write("temp.txt", kHeader + "<start>=stale\r\n");
    open([&](frmVocab& w) {
        rt::form<frmApp>()->lstVAppCmd.AddItem(key("Editor", "notes.txt"));
        UserInput::chooseMenu(w.mnuPopNew);
        UserInput::typeText(w.txtCommand, "Paste:^v");
        UserInput::click(w.cmdSaveChanges);
        switch (GetParam().how) {
        case Close::Button: UserInput::click(w.cmdCloseVocab); break;
        case Close::Menu: UserInput::chooseMenu(w.mnuExit); break;
        case Close::TitleBar: UserInput::closeForm(w); break;
        }
        EXPECT_FALSE(w.Loaded());
    });
    EXPECT_EQ(folder.read("temp.txt"),
              kHeader + "<start>=Notes\r\n<start>=Copy\r\n<start>=Paste\r\n");
    EXPECT_EQ(rt::form<frmApp>()->lstVAppCmd.ListCount(), 0);
    // The next use makes a new window with empty lists.
    rt::releaseUnloadedForms();
    EXPECT_EQ(rt::form<frmVocab>()->lstVocab.ListCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(VocabWindow, VocabWindowClose,
                         testing::Values(CloseRow{"Button", Close::Button},
                                         CloseRow{"Menu", Close::Menu},
                                         CloseRow{"TitleBar", Close::TitleBar}),
                         rt::test::RowName());

// ---- layout ---------------------------------------------------------------------

// With the layout library registered the window keeps its placement and
// rescales its controls.
class VocabWindowWithLayout : public VocabWindow {
protected:
    VocabWindowWithLayout() { rt::components::registerLibrary(TLV_FORM_CONTROLS); }

    static std::string placement(const std::string& name) {
        return ProgramFixture::placement("frmVocab", name);
    }
};

TEST_F(VocabWindowWithLayout, ResizingStretchesTheControlsAndClosingSavesThePlacement) {
    writeVocab("Edit", {"Copy:^c"});
    open([&](frmVocab& w) {
        ASSERT_NE(w.strVocab.object(), nullptr);
        ASSERT_NE(w.flocVocab.object(), nullptr);
        // Twice the design client area of 9390 x 4845 twips.
        w.Move(600, 450, 2 * 9390 + 120, 2 * 4845 + 510);
        EXPECT_EQ(w.strVocab.Width(), 2 * 9390);
        EXPECT_EQ(w.strVocab.Height(), 2 * 4845);
        EXPECT_FLOAT_EQ(w.lstDictionary.Left(), 9600);
        EXPECT_FLOAT_EQ(w.lstDictionary.Width(), 8910);
        EXPECT_FLOAT_EQ(w.lstVocab.Height(), 4800);
        EXPECT_FLOAT_EQ(w.cmdCloseVocab.Top(), 8160);
        EXPECT_FLOAT_EQ(w.cmdCloseVocab.Height(), 1230);
        EXPECT_FLOAT_EQ(w.tbrVocab.Width(), 18750);
        // The placement control keeps its size.
        EXPECT_EQ(w.flocVocab.Width(), 600);
        EXPECT_EQ(w.flocVocab.Height(), 600);
        UserInput::click(w.cmdCloseVocab);
    });
    EXPECT_EQ(placement("Left"), "600");
    EXPECT_EQ(placement("Top"), "450");
    EXPECT_EQ(placement("Width"), std::to_string(2 * 9390 + 120));
    EXPECT_EQ(placement("Height"), std::to_string(2 * 4845 + 510));
    EXPECT_EQ(placement("WindowState"), "0");
    rt::releaseUnloadedForms();

    // The next window opens where this one was left.
    open([&](frmVocab& w) {
        EXPECT_EQ(w.Left(), 600);
        EXPECT_EQ(w.Width(), 2 * 9390 + 120);
        EXPECT_EQ(w.strVocab.Width(), 2 * 9390);
    });
}

} // namespace
