#include "voicecommand/CApp.h"
#include "voicecommand/CVocab.h"

#include "runtime/core/FileSlots.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/TestSupport.h"

namespace {

class RecordEditing : public ProgramFixture {
protected:
    RecordEditing() { folder.makeVocabFolder(); }
    std::vector<std::string> lines(rt::ListBox& list) {
        std::vector<std::string> out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.List(i));
        return out;
    }
    std::string appFile(const std::vector<std::string>& records) { return rt::test::recordFile(records, 270); }
    CApp app;
};

TEST_F(RecordEditing, TheApplicationListShowsEachRecordsKey) {
    writeApps({"A \xA6 a*One~V$p", "B \xA6 b*", "C \xA6 c*Three~W$"});
    app.FillVACListBox();
    EXPECT_EQ(lines(rt::form<frmApp>()->lstVAppCmd),
              (std::vector<std::string>{"A \xA6 a", "B \xA6 b", "C \xA6 c"}));
}

TEST_F(RecordEditing, ANewWindowIsStoredAsKeyAndStarAfterTheLastRecord) {
    app.VAppAdd("A \xA6 a", 0, false);
    app.VAppAdd("B \xA6 b", 0, false);
    EXPECT_EQ(folder.read("vappcmd.txt"), appFile({"A \xA6 a*", "B \xA6 b*"}));
}

TEST_F(RecordEditing, NamingKeepsTheKeyAndReplacesTheRest) {
    writeApps({"A \xA6 a*", "B \xA6 b*Old~X$/old"});
    app.AddUserAppName("New", "", "", 0);
    app.AddUserAppName("Mail", "Mail", "/usr/bin/mail", 1);
    EXPECT_EQ(folder.read("vappcmd.txt"), appFile({"A \xA6 a*New~$", "B \xA6 b*Mail~Mail$/usr/bin/mail"}));
    rt::form<frmApp>()->lstVAppCmd.AddItem("A \xA6 a");
    rt::form<frmApp>()->lstVAppCmd.AddItem("B \xA6 b");
    rt::form<frmApp>()->lstVAppCmd.setListIndex(1);
    EXPECT_EQ(app.UserDefinedName(1), "Mail");
    EXPECT_EQ(app.VocabularyName(), "Mail");
    EXPECT_EQ(app.PathName(), "/usr/bin/mail");
}

TEST_F(RecordEditing, DeletingTheMiddleApplicationKeepsTheOthersInOrder) {
    writeApps({"A \xA6 a*One~V$", "A \xA6 ab*Two~V$", "C \xA6 c*Three~V$"});
    app.FillVACListBox();
    rt::form<frmApp>()->lstVAppCmd.setListIndex(0);
    app.DelRunApp();
    EXPECT_EQ(folder.read("vappcmd.txt"), appFile({"A \xA6 ab*Two~V$", "C \xA6 c*Three~V$"}));
    EXPECT_EQ(lines(rt::form<frmApp>()->lstVAppCmd), (std::vector<std::string>{"A \xA6 ab", "C \xA6 c"}));
}

TEST_F(RecordEditing, DeletingWithoutASelectionSaysSoAndChangesNothing) {
    writeApps({"A \xA6 a*One~V$"});
    user->answerMsgBox(rt::vbOK, "You must first select a voice-controlled application to delete.");
    app.DelRunApp();
    EXPECT_EQ(folder.read("vappcmd.txt"), appFile({"A \xA6 a*One~V$"}));
    EXPECT_EQ(user->messageBoxes().back().title, "No File Selected.");
}

TEST_F(RecordEditing, RecordCountStartsAtTheCursor) {
    writeApps({"a*", "b*", "c*", "d*"});
    EXPECT_EQ(app.AppRecordCount(), 5);
    app.File().setRecordNumber(7);
    EXPECT_EQ(app.AppRecordCount(), 7);
    EXPECT_EQ(rt::test::errorOf([&] { app.VAppTempRetrieve(1); }), rt::kSubscriptOutOfRange);
}

class VocabularyStore : public RecordEditing {
protected:
    CVocab vocab;
};

TEST_F(VocabularyStore, ThePhraseListEndsWithTheEmptyReadPastTheEnd) {
    writeVocab("Edit", {"Copy:^c", "Paste:^v", "Undo:^z"});
    vocab.FillDictionaryListBox(true, "Edit");
    EXPECT_EQ(lines(rt::form<frmVocab>()->lstDictionary),
              (std::vector<std::string>{"Copy:^c", "Paste:^v", "Undo:^z", ""}));
    EXPECT_EQ(vocab.File().RecordNumber(), 1);
}

TEST_F(VocabularyStore, VocabulariesAreTheTxtFilesNamedUpToTheirFirstDot) {
    writeVocab("Word", {});
    writeVocab("Mail.old", {});
    folder.write("vocab/notes.doc", "");
    rt::form<frmVocab>()->lstVocab.AddItem("Earlier");
    vocab.FillVocabFile(false);
    std::vector<std::string> listed = lines(rt::form<frmVocab>()->lstVocab);
    std::sort(listed.begin() + 1, listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"Earlier", "Mail", "Word"}));
    EXPECT_EQ(rt::form<frmApp>()->cmbVocabulary.ListCount(), 3);
}

TEST_F(VocabularyStore, RoutineTagsDecideWhichRecordIsWritten) {
    writeVocab("Edit", {});
    vocab.AddDictionaryWord(true, "Edit", "Ignored:x", "menucopy");
    EXPECT_EQ(folder.read("vocab/Edit.txt"), "");
    vocab.InitRecord();
    for (const char* w : {"One:1", "Two:2", "Three:3"})
        vocab.AddDictionaryWord(true, "Edit", w, "DictionaryDelete");
    EXPECT_EQ(vocab.File().RecordNumber(), 4);
    EXPECT_EQ(folder.read("vocab/Edit.txt"), rt::test::recordFile({"One:1", "Two:2", "Three:3"}, 128));
    vocab.InitRecord();
    EXPECT_EQ(rt::test::errorOf([&] { vocab.AddDictionaryWord(true, "Edit", "x", "MenuCopy"); }), 13012);
    EXPECT_FALSE(rt::FileSlots::isOpen(1));
}

TEST_F(VocabularyStore, TheCopyBufferRaises13021ForAMissingItem) {
    EXPECT_EQ(rt::test::errorOf([&] { vocab.RetrieveDictionary(1); }), 13021);
    EXPECT_EQ(vocab.File().RecordNumber(), 1);
    vocab.CopyDictionary("a:1");
    vocab.CopyDictionary("b:2");
    EXPECT_EQ(vocab.RetrieveDictionary(2), "b:2");
    EXPECT_EQ(vocab.File().RecordNumber(), 4);
}

TEST_F(VocabularyStore, SelectingFindsWholeRecordsAndTheEmptyText) {
    writeVocab("Edit", {"a:1", "b:2", "c:3", "d:4"});
    vocab.DictionarySelect("Edit", "zzz");
    EXPECT_EQ(vocab.TrackDictionary(), 0);
    EXPECT_EQ(vocab.File().RecordNumber(), 6);
    vocab.DictionarySelect("Edit", "");
    EXPECT_EQ(vocab.TrackDictionary(), 5);
    vocab.InitRecord();
    EXPECT_EQ(vocab.DictionaryRecordCount("Edit"), 5);
}

} // namespace
