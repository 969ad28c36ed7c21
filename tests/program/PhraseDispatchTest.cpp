#include "voicecommand/CApp.h"

#include "runtime/core/FileSlots.h"
#include "runtime/platform/desktop/User32.h"
#include "tests/program/ProgramFixture.h"

namespace {

class PhraseDispatch : public ProgramFixture {
protected:
    PhraseDispatch() {
        folder.makeVocabFolder();
        other = addWindow("Other", "something else");
        desktop->activate(other);
    }
    rt::HWND other = 0;
    CApp app;
};

TEST_F(PhraseDispatch, ANameSwitchesToItsRunningWindowAndRestoresIt) {
    rt::HWND editor = addWindow("Editor", "notes.txt", true);
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$/nowhere/editor"});
    EXPECT_EQ(app.AppCheck("Notes"), 1);
    EXPECT_EQ(rt::GetForegroundWindow(), editor);
    EXPECT_FALSE(rt::IsIconic(editor));
    EXPECT_EQ(app.LastActivatedWindow(), editor);
    EXPECT_EQ(app.ClassName(), "Editor");
    EXPECT_EQ(app.WindowText(), "notes.txt");
    EXPECT_TRUE(shell->calls().empty());
    EXPECT_FALSE(rt::FileSlots::isOpen(1));
}

TEST_F(PhraseDispatch, ANameWhoseWindowIsGoneStartsItsPath) {
    folder.write("tool.sh", "#!/bin/sh\n");
    std::string path = (folder.path() / "tool.sh").string();
    writeApps({key("Gone", "closed") + "*Tool~Edit$" + path});
    EXPECT_EQ(app.AppCheck("Tool"), 1);
    ASSERT_EQ(shell->started().size(), 1u);
    EXPECT_EQ(shell->started()[0].verb, "open");
    EXPECT_EQ(shell->started()[0].file, path);
}

TEST_F(PhraseDispatch, ExploreNamesOpenAFolderAndOthersOpenWithOpen) {
    std::string dir = folder.path().string();
    writeApps({key("X", "x") + "*EXPLORE docs~V$" + dir, key("Y", "y") + "*exploredocs~V$" + dir});
    EXPECT_EQ(app.AppCheck("EXPLORE docs"), 1);
    EXPECT_EQ(app.AppCheck("exploredocs"), 1);
    ASSERT_EQ(shell->calls().size(), 2u);
    EXPECT_EQ(shell->calls()[0].verb, "explore");
    EXPECT_EQ(shell->calls()[1].verb, "open");
}

TEST_F(PhraseDispatch, AMissingPathShowsTheShellsErrorAndAnEmptyPathNothing) {
    writeApps({key("A", "a") + "*Lost~V$" + (folder.path() / "missing.exe").string(),
               key("B", "b") + "*Empty~V$"});
    user->answerMsgBox(rt::vbOK, "Error on LaunchDocument: 2");
    EXPECT_EQ(app.AppCheck("Lost"), 1);
    EXPECT_EQ(app.AppCheck("Empty"), 1);
    EXPECT_EQ(user->messageBoxes().size(), 1u);
    EXPECT_EQ(user->pending(), 0u);
}

TEST_F(PhraseDispatch, NamesMatchExactlyAndTheFirstRecordWins) {
    rt::HWND first = addWindow("First", "one");
    addWindow("Second", "two");
    writeApps({key("First", "one") + "*Mail~V$", key("Second", "two") + "*Mail~V$"});
    EXPECT_EQ(app.AppCheck("mail"), 0);
    EXPECT_EQ(app.AppCheck(""), 0);
    EXPECT_EQ(app.AppCheck("Mail"), 1);
    EXPECT_EQ(rt::GetForegroundWindow(), first);
}

class VocabularyDispatch : public PhraseDispatch {
protected:
    VocabularyDispatch() {
        editor = addWindow("Editor", "notes.txt");
        writeApps({key("Other", "something else") + "*", key("Editor", "notes.txt") + "*Notes~Edit$"});
        writeVocab("Edit", {"Copy:^c", "Save:^s{ENTER}", "Broken:{NOPE}"});
        refreshRunningApps();
    }
    rt::HWND editor = 0;
};

TEST_F(VocabularyDispatch, APhraseTypesItsKeysIntoTheForegroundApplication) {
    // The unnamed record before it would end the search for a vocabulary.
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    desktop->activate(editor);
    EXPECT_EQ(app.VocabCheck("Save"), 2);
    EXPECT_EQ(keyboard->transcript(editor), "<CTRLs>CTRL{ENTER}");
    EXPECT_FALSE(rt::FileSlots::isOpen(1));
}

TEST_F(VocabularyDispatch, AnUnnamedRecordBeforeTheApplicationEndsTheSearch) {
    desktop->activate(editor);
    EXPECT_EQ(app.VocabCheck("Copy"), 0);
    EXPECT_TRUE(keyboard->received(editor).empty());
}

TEST_F(VocabularyDispatch, NothingIsSentToTheProgramsOwnWindowOrForUnknownPhrases) {
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    rt::HWND own = addWindow("QuiboForm", "QUIBO! Voice Control");
    desktop->activate(editor);
    EXPECT_EQ(app.VocabCheck("Paste"), 0);
    EXPECT_EQ(app.VocabCheck("copy"), 0);
    EXPECT_EQ(app.VocabCheck("Broken"), 0); // a malformed key string types nothing
    EXPECT_TRUE(keyboard->received(editor).empty());
    (void)own;
    EXPECT_FALSE(rt::FileSlots::isOpen(1));
}

TEST_F(VocabularyDispatch, AnUnregisteredForegroundUsesTheWindowLastSwitchedTo) {
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    ASSERT_EQ(app.AppCheck("Notes"), 1);
    rt::HWND stranger = addWindow("Stranger", "unregistered");
    desktop->activate(stranger);
    EXPECT_EQ(app.VocabCheck("Copy"), 2);
    EXPECT_EQ(keyboard->transcript(stranger), "<CTRLc>CTRL");
}

TEST_F(PhraseDispatch, SetForegroundWithoutASelectionSaysSo) {
    user->answerMsgBox(rt::vbOK, "No application selected to activate.");
    EXPECT_EQ(app.SetForeground(""), 0);
    ASSERT_EQ(user->messageBoxes().size(), 1u);
    EXPECT_EQ(user->messageBoxes()[0].title, "No Application Selected");
    EXPECT_EQ(app.SetForeground(key("Not", "running")), 0);
    EXPECT_EQ(rt::GetForegroundWindow(), other);
}

} // namespace

namespace {

// One spoken command after another, handled as the main window handles a
// recognised phrase: the application check first, the vocabulary when no
// application answered.
class SpokenCommands : public ProgramFixture {
protected:
    SpokenCommands() {
        folder.makeVocabFolder();
        own = desktop->addWindow({.className = "QuiboForm", .title = "QUIBO! Voice Control"});
        desktop->activate(own);
        editor = addWindow("Editor", "notes.txt", true);
        folder.write("term.sh", "#!/bin/sh\n");
        writeApps({key("Editor", "notes.txt") + "*Notes~Edit$",
                   key("Term", "shell") + "*Terminal~Edit$" + (folder.path() / "term.sh").string()});
        writeVocab("Edit", {"Copy:^c", "Save:^s"});
        refreshRunningApps();
    }
    void say(const std::string& phrase) {
        if (app.AppCheck(phrase) != 1)
            app.VocabCheck(phrase);
        refreshRunningApps();
    }
    CApp app;
    rt::HWND own = 0, editor = 0;
};

TEST_F(SpokenCommands, SwitchTypeAndStart) {
    say("Save"); // the program's own window is in front: nothing is typed
    EXPECT_TRUE(keyboard->received(own).empty());

    say("Notes");
    EXPECT_EQ(rt::GetForegroundWindow(), editor);
    EXPECT_FALSE(rt::IsIconic(editor));

    say("Save");
    EXPECT_EQ(keyboard->transcript(editor), "<CTRLs>CTRL");

    say("Terminal"); // not running: its path is started
    ASSERT_EQ(shell->started().size(), 1u);
    EXPECT_EQ(shell->started()[0].file, (folder.path() / "term.sh").string());
    EXPECT_TRUE(keyboard->received(own).empty());
}

} // namespace
