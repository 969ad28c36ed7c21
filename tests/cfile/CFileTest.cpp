#include "voicecommand/CFile.h"

#include <gtest/gtest.h>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/core/FileSlots.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/RunningApps.h"

using rt::test::errorOf;
using rt::test::recordFile;

namespace {

class CFileTest : public testing::Test {
protected:
    rt::test::ProgramFolder folder;
    CFile file;

    void writeApps(const std::vector<std::string>& texts) {
        folder.write("vappcmd.txt", recordFile(texts, 270));
    }
    void writeVocab(const std::string& name, const std::vector<std::string>& texts) {
        folder.write("vocab/" + name + ".txt", recordFile(texts, 128));
    }
};

TEST_F(CFileTest, ReadPastEndGivesEmptyTextAndSetsEof) {
    file.FileOpen(false, "");
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "vappcmd.txt"));
    EXPECT_FALSE(CFile::Eof());
    EXPECT_EQ(file.FileRead(1), "");
    EXPECT_TRUE(CFile::Eof());
    file.FileClose();
}

TEST_F(CFileTest, ReadingLoopMeetsOneEmptyReadAfterTheLastRecord) {
    writeVocab("Word", {"Copy:^c", "Paste:^v", "Undo:^z"});
    file.FileOpen(true, "Word");
    std::vector<std::string> reads;
    while (!CFile::Eof()) {
        reads.push_back(file.FileRead(file.RecordNumber()));
        file.IncrementRecord();
    }
    file.FileClose();
    EXPECT_EQ(reads, (std::vector<std::string>{"Copy:^c", "Paste:^v", "Undo:^z", ""}));
}

struct CountCase {
    const char* name;
    std::vector<std::string> records;
    int16_t start;
    int16_t expected;
};

class RecordCount : public CFileTest, public testing::WithParamInterface<CountCase> {};

TEST_P(RecordCount, LeavesTheFirstEmptyOrPastEndRecordInTheCursor) {
    const CountCase& c = GetParam();
    writeApps(c.records);
    file.setRecordNumber(c.start);
    file.RecordCount(false, "");
    EXPECT_EQ(file.RecordNumber(), c.expected);
    EXPECT_FALSE(rt::FileSlots::isOpen(CFile::kRecordSlot));
}

const std::vector<std::string> kFive = {"a*", "b*", "c*", "d*", "e*"};

INSTANTIATE_TEST_SUITE_P(
    Table, RecordCount,
    testing::Values(CountCase{"FiveFromOne", kFive, 1, 6}, CountCase{"EmptyFile", {}, 1, 1},
                    CountCase{"FiveFromThree", kFive, 3, 6},
                    CountCase{"EmptyThirdRecord", {"a*", "b*", "", "d*", "e*"}, 1, 3},
                    CountCase{"PastTheEnd", kFive, 9, 9}),
    rt::test::RowName());

struct StoreCase {
    const char* name;
    bool vocab;
    size_t length;
    bool fits;
};

class FileStoreLimit : public CFileTest, public testing::WithParamInterface<StoreCase> {};

TEST_P(FileStoreLimit, LongestTextFitsOneMoreFailsWith13012AndClosesTheSlot) {
    const StoreCase& c = GetParam();
    folder.makeVocabFolder();
    file.FileOpen(c.vocab, "Word");
    std::string text(c.length, 'x');
    int err = errorOf([&] { file.FileStore(text, 1); });
    if (c.fits) {
        EXPECT_EQ(err, 0);
        EXPECT_EQ(file.FileRead(1), text);
        file.FileClose();
    } else {
        EXPECT_EQ(err, 13012);
        EXPECT_FALSE(rt::FileSlots::isOpen(CFile::kRecordSlot));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FileStoreLimit,
                         testing::Values(StoreCase{"Application268", false, 268, true},
                                         StoreCase{"Application269", false, 269, false},
                                         StoreCase{"Vocabulary126", true, 126, true},
                                         StoreCase{"Vocabulary127", true, 127, false}),
                         rt::test::RowName());

TEST_F(CFileTest, StoreBelowRecordOneFailsWith13012) {
    file.FileOpen(false, "");
    EXPECT_EQ(errorOf([&] { file.FileStore("x", 0); }), 13012);
    EXPECT_FALSE(rt::FileSlots::isOpen(CFile::kRecordSlot));
}

TEST_F(CFileTest, StoreOnClosedSlotFailsWith13012) {
    EXPECT_EQ(errorOf([&] { file.FileStore("x", 1); }), 13012);
}

TEST_F(CFileTest, StoringBeyondTheEndLengthensTheFileWithEmptyRecords) {
    writeApps({"one*", "two*"});
    file.FileOpen(false, "");
    file.FileStore("four*", 4);
    EXPECT_EQ(file.FileRead(3), "");
    EXPECT_FALSE(CFile::Eof());
    file.FileClose();
    std::string expected = recordFile({"one*", "two*", "", "four*"}, 270);
    EXPECT_EQ(folder.read("vappcmd.txt"), expected);
}

TEST_F(CFileTest, RecordBytesAreLengthPrefixedAnsiWithFiller) {
    file.FileOpen(false, "");
    file.FileStore("Notepad \xA6 Untitled*", 1);
    file.FileClose();
    std::string bytes = folder.read("vappcmd.txt");
    ASSERT_EQ(bytes.size(), 270u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x13\x00", 2));
    EXPECT_EQ(bytes.substr(2, 19), "Notepad \xA6 Untitled*");
}

TEST_F(CFileTest, OpeningAnOccupiedSlotKeepsTheFileThatIsThere) {
    folder.makeVocabFolder();
    writeApps({"app*"});
    file.FileOpen(false, "");
    file.FileOpen(true, "Word");
    EXPECT_EQ(file.FileRead(1), "app*");
    EXPECT_FALSE(std::filesystem::exists(folder.vocab() / "Word.txt"));
}

TEST_F(CFileTest, FileNewWithoutVocabFolderRaises13013) {
    EXPECT_EQ(errorOf([&] { file.FileNew(true, "Word"); }), 13013);
}

TEST_F(CFileTest, FileNewTruncatesAnExistingFile) {
    writeVocab("Word", {"Copy:^c"});
    file.FileNew(true, "Word");
    file.FileClose();
    EXPECT_EQ(folder.read("vocab/Word.txt"), "");
}

TEST_F(CFileTest, FileDeleteOfAMissingFileRaises53) {
    folder.makeVocabFolder();
    EXPECT_EQ(errorOf([&] { file.FileDelete(true, "Nothing"); }), rt::kFileNotFound);
}

TEST_F(CFileTest, CursorOverflowLeavesTheCursor) {
    file.setRecordNumber(INT16_MAX);
    EXPECT_EQ(errorOf([&] { file.IncrementRecord(); }), rt::kOverflow);
    EXPECT_EQ(file.RecordNumber(), INT16_MAX);
    file.setRecordNumber(INT16_MIN);
    EXPECT_EQ(errorOf([&] { file.DecrementRecord(); }), rt::kOverflow);
    EXPECT_EQ(file.RecordNumber(), INT16_MIN);
}

TEST_F(CFileTest, GrammarLinesEndWithCarriageReturnLineFeed) {
    file.TempFileOpen();
    file.TempFileStore(rt::Variant("[Grammar]"));
    file.TempFileStore(rt::Variant(int32_t{1033}));
    file.TempFileClose();
    file.TempFileOpen();
    file.TempFileStore(rt::Variant("more"));
    file.TempFileClose();
    EXPECT_EQ(folder.read("temp.txt"), "[Grammar]\r\n1033\r\nmore\r\n");
}

// Damaged files: the read fails with 13011 and never reaches past the record.
struct CorruptCase {
    const char* name;
    std::string bytes;
    int16_t record;
};

class CorruptRecordFile : public CFileTest, public testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptRecordFile, ReadsAsFileCorrupt) {
    folder.write("vappcmd.txt", GetParam().bytes);
    file.FileOpen(false, "");
    EXPECT_EQ(errorOf([&] { file.FileRead(GetParam().record); }), 13011);
    EXPECT_TRUE(rt::FileSlots::isOpen(CFile::kRecordSlot));
}

std::string withLength(uint16_t length, size_t size) {
    std::string record(size, 'x');
    record[0] = static_cast<char>(length & 0xFF);
    record[1] = static_cast<char>(length >> 8);
    return record;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CorruptRecordFile,
    testing::Values(CorruptCase{"LengthLargerThanRecord", withLength(269, 270), 1},
                    CorruptCase{"LengthMaxValue", withLength(0xFFFF, 270), 1},
                    CorruptCase{"LastRecordCutShort", recordFile({"a*"}, 270) + withLength(20, 10), 2},
                    CorruptCase{"OneByteRecord", recordFile({"a*"}, 270) + "\x05", 2}),
    rt::test::RowName());

// Names that would leave their folder are refused as the file system refuses a name.
class HostileName : public CFileTest, public testing::WithParamInterface<std::string> {};

TEST_P(HostileName, NeverLeavesItsFolder) {
    folder.makeVocabFolder();
    const std::string name = GetParam();
    EXPECT_EQ(errorOf([&] { file.FileNew(true, name); }), 13013);
    EXPECT_EQ(errorOf([&] { file.FileDelete(true, name); }), rt::kBadFileNameOrNumber);
    file.FileOpen(true, name);
    EXPECT_FALSE(rt::FileSlots::isOpen(CFile::kRecordSlot));
    EXPECT_EQ(errorOf([&] { file.FileRead(1); }), 13011);
    EXPECT_TRUE(std::filesystem::is_empty(folder.vocab()));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "escape.txt"));
}

INSTANTIATE_TEST_SUITE_P(Table, HostileName,
                         testing::Values(std::string("../escape"), std::string("..\\escape"),
                                         std::string("a/b"), std::string(), std::string("."),
                                         std::string(".."), std::string("a\0b", 3)));

TEST(AppError, RaisesWithSourceOfClassAndDescriptionOfEntry) {
    rt::App().setEXEName("quibo");
    try {
        RunningApps::RaiseAppError(13021);
        FAIL();
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number(), 13021);
        EXPECT_EQ(e.source(), "quibo.CVocab");
        EXPECT_EQ(e.description(),
                  "No Valid Dictionary Selection:  You Must Select A Dictionary Word!!");
    }
    try {
        RunningApps::RaiseAppError(53);
        FAIL();
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.source(), "quibo.VBError");
    }
    EXPECT_EQ(RunningApps::LoWord(0x12345), 0x2345);
    EXPECT_EQ(RunningApps::LoWord(-1), 0xFFFF);
}

} // namespace

namespace {

// A vocabulary file of three readable records with damage in the middle or
// at the end, as a crash or a foreign program may leave it.
struct DamageCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> readable;
};

std::string vocabRecord(const std::string& text) { return recordFile({text}, 128); }

std::string lengthField(uint16_t length) {
    std::string record(128, 'x');
    record[0] = static_cast<char>(length & 0xFF);
    record[1] = static_cast<char>(length >> 8);
    return record;
}

class DamagedRecords : public CFileTest, public testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedRecords, TheRecordLoopPassesOverThemAndEnds) {
    folder.write("vocab/Word.txt", GetParam().bytes);
    file.FileOpen(true, "Word");
    std::vector<std::string> texts;
    int damaged = 0;
    file.ForEachRecord(
        [&](std::string_view text) {
            texts.emplace_back(text);
            return true;
        },
        [&] {
            EXPECT_EQ(rt::Err().number, 13011);
            ++damaged;
            return true;
        });
    file.FileClose();
    std::vector<std::string> expected = GetParam().readable;
    expected.push_back(""); // the read past the end
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(damaged, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedRecords,
    testing::Values(
        DamageCase{"LengthBeyondTheRecord", vocabRecord("Copy:^c") + lengthField(200) + vocabRecord("Undo:^z"),
                   {"Copy:^c", "Undo:^z"}},
        DamageCase{"LastRecordCutShort", vocabRecord("Copy:^c") + vocabRecord("Undo:^z") + lengthField(60).substr(0, 30),
                   {"Copy:^c", "Undo:^z"}},
        DamageCase{"OneByteAtTheEnd", vocabRecord("Copy:^c") + "\x05", {"Copy:^c"}}),
    rt::test::RowName());

TEST_F(CFileTest, TheRecordLoopEndsAtOnceWhenNoFileIsOpen) {
    int reads = 0;
    file.ForEachRecord([&](std::string_view) { return ++reads, true; });
    EXPECT_EQ(reads, 0);
}

} // namespace
