#include "runtime/core/FileSystem.h"
#include "runtime/core/Error.h"
#include "runtime/core/FileSlots.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "tests/support/ProgramFolder.h"
#include "tests/support/TestSupport.h"

using namespace rt;
using rt::test::errorOf;

// Case counts, as it does when the name is opened.
TEST(FileSystem, PatternMatchesWholeNamesCaseCounting) {
    struct {
        const char* name;
        const char* pattern;
        bool match;
    } cases[] = {{"Word.txt", "*.txt", true},   {"Mail.old.txt", "*.txt", true},
                 {"notes.doc", "*.txt", false}, {"WORD.TXT", "*.txt", false},
                 {"a.txt.bak", "*.txt", false}, {"ab.txt", "?b.txt", true},
                 {"b.txt", "?b.txt", false},    {"", "*", true},
                 {"Word.Txt", "*.txt", false},  {"Word.txt", "word.txt", false}};
    for (const auto& c : cases)
        EXPECT_EQ(matchesPattern(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
}

TEST(FileSystem, ListsOnlyOrdinaryMatchingFiles) {
    test::ProgramFolder folder;
    folder.write("vocab/Word.txt", "");
    folder.write("vocab/Mail.old.txt", "");
    folder.write("vocab/notes.doc", "");
    folder.write("vocab/Notes.TXT", "");
    folder.write("vocab/.hidden.txt", "");
    std::filesystem::create_directories(folder.vocab() / "dir.txt");
    auto names = listFiles(folder.vocab(), "*.txt");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Mail.old.txt", "Word.txt"}));
    EXPECT_TRUE(listFiles(folder.path() / "missing", "*.txt").empty());
}

TEST(FileSystem, FoldersAndDeletionReportTheFileSystemsErrors) {
    test::ProgramFolder folder;
    EXPECT_FALSE(FolderExists(folder.vocab()));
    CreateFolder(folder.vocab());
    EXPECT_TRUE(FolderExists(folder.vocab()));
    EXPECT_EQ(errorOf([&] { CreateFolder(folder.vocab()); }), kFileAlreadyExists);
    EXPECT_EQ(errorOf([&] { CreateFolder(folder.path() / "a" / "b"); }), kPathNotFound);
    EXPECT_EQ(errorOf([&] { Kill(folder.path() / "none.txt"); }), kFileNotFound);
    folder.write("x.txt", "1");
    Kill(folder.path() / "x.txt");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "x.txt"));
}

TEST(FileSlots, SlotRulesFollowTheRuntime) {
    test::ProgramFolder folder;
    auto path = folder.path() / "r.txt";
    FileSlots::Open(3, path, FileMode::Random, 10);
    EXPECT_EQ(errorOf([&] { FileSlots::Open(3, path, FileMode::Random, 10); }), kFileAlreadyOpen);
    EXPECT_EQ(errorOf([&] { FileSlots::PutString(3, 1, "123456789"); }), kBadRecordLength);
    EXPECT_EQ(errorOf([&] { FileSlots::PrintLine(3, "x"); }), kBadFileMode);
    FileSlots::Close(3);
    FileSlots::Close(3);
    EXPECT_EQ(errorOf([&] { FileSlots::GetString(3, 1); }), kBadFileNameOrNumber);
    EXPECT_EQ(errorOf([&] { FileSlots::Open(0, path, FileMode::Output); }), kBadFileNameOrNumber);
    EXPECT_EQ(errorOf([&] { FileSlots::Open(4, folder.path() / "no" / "f", FileMode::Output); }),
              kPathNotFound);
}

TEST(FileSlots, AFolderCannotBeOpenedInAnyMode) {
    test::ProgramFolder folder;
    folder.makeVocabFolder();
    for (FileMode mode : {FileMode::Random, FileMode::Output, FileMode::Append}) {
        EXPECT_EQ(errorOf([&] { FileSlots::Open(3, folder.vocab(), mode, 10); }),
                  kPathFileAccessError);
        EXPECT_FALSE(FileSlots::isOpen(3));
    }
}

// Lines reach the file in batches: every line once, in order, also when the
// slot is opened again for appending and the batches fill up anew.
TEST(FileSlots, LinesOfManyBatchesArriveWholeAndInOrder) {
    test::ProgramFolder folder;
    auto path = folder.path() / "lines.txt";
    std::string expected;
    for (FileMode mode : {FileMode::Output, FileMode::Append}) {
        FileSlots::Open(3, path, mode);
        for (int i = 0; i < 20000; ++i) {
            std::string line = "line " + std::to_string(i) + (mode == FileMode::Output ? "" : "+");
            FileSlots::PrintLine(3, line);
            expected += line + "\r\n";
        }
        FileSlots::Close(3);
    }
    EXPECT_EQ(folder.read("lines.txt"), expected);
}
