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

TEST_F(PhraseDispatch, ARecordNotNamedYetNeverMatches) {
    // Record 1 was dragged in and not named; saying the name of record 2
    // again must not reuse that name for record 1 and start its text.
    rt::HWND mail = addWindow("B", "b");
    writeApps({key("A", "a") + "*", key("B", "b") + "*Mail~V$/bin/true"});
    for (int time = 1; time <= 2; ++time) {
        SCOPED_TRACE(time);
        desktop->activate(other);
        EXPECT_EQ(app.AppCheck("Mail"), 1);
        EXPECT_EQ(rt::GetForegroundWindow(), mail);
    }
    EXPECT_TRUE(shell->calls().empty());
    EXPECT_TRUE(user->messageBoxes().empty());
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
    desktop->activate(editor);
    EXPECT_EQ(app.VocabCheck("Save"), 2);
    EXPECT_EQ(keyboard->transcript(editor), "<CTRLs>CTRL{ENTER}");
    EXPECT_FALSE(rt::FileSlots::isOpen(1));
}

TEST_F(VocabularyDispatch, RecordsThatCannotBeCutArePassedOver) {
    const std::string editorApp = key("Editor", "notes.txt") + "*Notes~Edit$";
    struct Row {
        const char* name;
        std::vector<std::string> apps, phrases;
    };
    const Row rows[] = {
        {"an application not named yet",
         {key("Other", "something else") + "*", editorApp},
         {"Copy:^c"}},
        {"a record without a window key", {"stray text", editorApp}, {"Copy:^c"}},
        {"a name without a path piece",
         {key("Editor", "notes.txt") + "*Half~Edit", editorApp},
         {"Copy:^c"}},
        {"a phrase record without a colon", {editorApp}, {"no colon here", "Copy:^c"}},
        {"an empty phrase record", {editorApp}, {"", "Copy:^c"}},
    };
    desktop->activate(editor);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeApps(row.apps);
        writeVocab("Edit", row.phrases);
        keyboard->clear();
        EXPECT_EQ(app.VocabCheck("Copy"), 2);
        EXPECT_EQ(keyboard->transcript(editor), "<CTRLc>CTRL");
        EXPECT_FALSE(rt::FileSlots::isOpen(1));
    }
}

TEST_F(VocabularyDispatch, APhraseHeardInAnotherCaseUsesTheExactOneFirst) {
    // The grammar keeps one spelling of phrases equal but for case, so the
    // recogniser may give another vocabulary's spelling.
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    struct Row {
        const char* name;
        std::vector<std::string> phrases;
        int16_t result;
        const char* typed;
    };
    const Row rows[] = {
        {"only another case", {"copy:b"}, 2, "b"},
        {"the exact one after another case", {"COPY:x", "Copy:y"}, 2, "y"},
        {"the first of other cases", {"COPY:x", "cOpY:z"}, 2, "x"},
        {"no such phrase", {"Paste:v", "Cop:w"}, 0, ""},
    };
    desktop->activate(editor);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeVocab("Edit", row.phrases);
        keyboard->clear();
        EXPECT_EQ(app.VocabCheck("Copy"), row.result);
        EXPECT_EQ(keyboard->transcript(editor), row.typed);
    }
}

TEST_F(VocabularyDispatch, NothingIsSentToTheProgramsOwnWindowOrForUnknownPhrases) {
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    desktop->activate(editor);
    EXPECT_EQ(app.VocabCheck("Paste"), 0);
    EXPECT_EQ(app.VocabCheck("Broken"), 0); // a malformed key string types nothing
    EXPECT_TRUE(keyboard->received(editor).empty());

    // Switched to the editor by voice, then the user clicks the program's own
    // window: its vocabulary is found through the window last switched to,
    // but the phrase is not typed into the program itself.
    ASSERT_EQ(app.AppCheck("Notes"), 1);
    rt::HWND own = addWindow("QuiboForm", "QUIBO! Voice Control");
    desktop->activate(own);
    EXPECT_EQ(app.VocabCheck("Copy"), 0);
    EXPECT_TRUE(keyboard->received(own).empty());
    EXPECT_TRUE(keyboard->received(editor).empty());
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
