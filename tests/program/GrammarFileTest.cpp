#include "voicecommand/CFile.h"

#include "tests/program/ProgramFixture.h"
#include "voicecommand/CVocab.h"

namespace {

const std::string kHeader =
    "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n";

class GrammarFile : public ProgramFixture {
protected:
    GrammarFile() { folder.makeVocabFolder(); }
    std::string build(const std::vector<std::string>& listed) {
        for (const auto& v : listed)
            rt::form<frmVocab>()->lstVocab.AddItem(v);
        CFile file;
        file.TempLoad();
        EXPECT_EQ(file.RecordNumber(), 1);
        return folder.read("temp.txt");
    }
};

TEST_F(GrammarFile, NothingConfiguredGivesTheHeaderAlone) { EXPECT_EQ(build({}), kHeader); }

TEST_F(GrammarFile, ApplicationNamesInRecordOrderRepeatsKeptUnnamedSkipped) {
    writeApps({"A \xA6 a*Mail~V$", "B \xA6 b*", "C \xA6 c*Mail~V$", "D \xA6 d*Caf\xE9~V$"});
    EXPECT_EQ(build({}), kHeader + "<start>=Mail\r\n<start>=Mail\r\n<start>=Caf\xE9\r\n");
}

TEST_F(GrammarFile, PhrasesAreDistinctWithoutRegardToCaseFirstFormWins) {
    writeApps({"A \xA6 a*Mail~V$"});
    writeVocab("First", {"Copy:^c"});
    writeVocab("Second", {"copy:^c", "Paste:^v", "Mail:%m", "Whole text", ":starts with colon"});
    EXPECT_EQ(build({"First", "Second"}),
              kHeader + "<start>=Mail\r\n<start>=Copy\r\n<start>=Paste\r\n<start>=Mail\r\n<start>=Whole text\r\n");
}

TEST_F(GrammarFile, AListedVocabularyWithoutFileAddsNothingAndLeavesAnEmptyFile) {
    EXPECT_EQ(build({"Ghost"}), kHeader);
    EXPECT_TRUE(std::filesystem::exists(folder.vocab() / "Ghost.txt"));
    EXPECT_EQ(folder.read("vocab/Ghost.txt"), "");
}

TEST_F(GrammarFile, ACorruptRecordIsPassedOverAndTheRestWritten) {
    std::string bytes = rt::test::recordFile({"A \xA6 a*One~V$"}, 270);
    std::string bad(270, 'x'); // length field far beyond the record
    bytes += bad + rt::test::recordFile({"B \xA6 b*Two~V$"}, 270);
    folder.write("vappcmd.txt", bytes);
    EXPECT_EQ(build({}), kHeader + "<start>=One\r\n<start>=Two\r\n");
}

TEST_F(GrammarFile, EveryVocabularyOfTheFolderIsHeardAlsoWithAnEmptyList) {
    writeApps({"A \xA6 a*Mail~V$"});
    writeVocab("First", {"Copy:^c"});
    writeVocab("Second", {"copy:^c", "Paste:^v"});
    writeVocab("Third", {"Print:^p"});
    // The list as the configuration fills it, then emptied as at its close.
    CVocab().FillVocabFile(true);
    const std::string filled = build({});
    rt::form<frmVocab>()->lstVocab.Clear();
    EXPECT_EQ(build({}), filled);
    rt::form<frmVocab>().unload();
    EXPECT_EQ(build({}), filled);
    EXPECT_FALSE(rt::form<frmVocab>().isLoaded());
    for (const char* rule : {"<start>=Mail\r\n", "<start>=Paste\r\n", "<start>=Print\r\n"})
        EXPECT_NE(filled.find(rule), std::string::npos) << rule;
}

TEST_F(GrammarFile, ListedVocabulariesComeFirstThenTheRestOfTheFolder) {
    writeVocab("First", {"Copy:^c", "Print:^p"});
    writeVocab("Second", {"copy:^c", "Paste:^v"});
    EXPECT_EQ(build({"Second"}), kHeader + "<start>=copy\r\n<start>=Paste\r\n<start>=Print\r\n");
}

TEST_F(GrammarFile, AFileTheStoreCannotOpenByItsNameIsLeftAlone) {
    // "Notes" would open Notes.txt: no rule comes from Notes.TXT, and no
    // empty twin is made beside it.
    folder.write("vocab/Notes.TXT", rt::test::recordFile({"Hello:h"}, 128));
    EXPECT_EQ(build({}), kHeader);
    EXPECT_FALSE(std::filesystem::exists(folder.vocab() / "Notes.txt"));
}

TEST_F(GrammarFile, ReplacesTheOldFileWhole) {
    folder.write("temp.txt", "old contents that are longer than the new ones\r\n");
    EXPECT_EQ(build({}), kHeader);
}

// Hundreds of phrases, half of them repeated in another case by the second
// vocabulary: each is written once, in its first form, and a rewrite right
// after gives the same file.
TEST_F(GrammarFile, ManyPhrasesStayDistinctWithoutRegardToCaseAcrossRewrites) {
    std::vector<std::string> first, second;
    std::string rules;
    for (int i = 0; i < 600; ++i) {
        first.push_back("Phrase " + std::to_string(i) + ":x");
        rules += "<start>=Phrase " + std::to_string(i) + "\r\n";
    }
    for (int i = 300; i < 900; ++i)
        second.push_back("PHRASE " + std::to_string(i) + ":y");
    for (int i = 600; i < 900; ++i)
        rules += "<start>=PHRASE " + std::to_string(i) + "\r\n";
    writeVocab("First", first);
    writeVocab("Second", second);
    EXPECT_EQ(build({"First", "Second"}), kHeader + rules);
    EXPECT_EQ(build({}), kHeader + rules);
}

} // namespace
