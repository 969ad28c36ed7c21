// Starting and ending the program on what a program folder may hold: damaged
// record files, a second instance, a working folder that goes away.

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/quibo/QuiboProcess.h"
#include "tests/support/ProgramFolder.h"

namespace {

using quibo::test::ProgramCopy;
using quibo::test::QuiboRun;

const std::string kNotes = "Editor \xA6 notes*Notes~Edit$";

const std::string kGrammar =
    "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n<start>=Notes\r\n";

std::string record(const std::string& text) {
    return rt::test::recordFile({text}, 270);
}

struct DamagedFile {
    const char* name;
    std::string bytes;
};

void PrintTo(const DamagedFile& file, std::ostream* out) {
    *out << file.name;
}

class DamagedApplicationFile : public testing::TestWithParam<DamagedFile> {};

TEST_P(DamagedApplicationFile, StartsAndEndsNormallyAndLeavesTheFileAsItWas) {
    ProgramCopy copy;
    copy.write("vappcmd.txt", GetParam().bytes);
    copy.write("temp.txt", kGrammar);
    QuiboRun run(copy);
    run.say("Notes");
    std::string status = run.nextStatus();
    EXPECT_EQ(run.finish(), 0) << run.errors();
    EXPECT_EQ(copy.read("vappcmd.txt"), GetParam().bytes);
    // Whatever stands before the damage still answers.
    if (GetParam().bytes.rfind(record(kNotes), 0) == 0) {
        EXPECT_EQ(status, "Notes");
    }
}

std::string lengthBeyondRecord() {
    std::string bad(270, 'x');
    bad[0] = static_cast<char>(300 & 0xFF);
    bad[1] = static_cast<char>(300 >> 8);
    return record(kNotes) + bad + record("Term \xA6 shell*Shell~Edit$");
}

std::string lastRecordCutShort() {
    std::string cut = record("Term \xA6 shell*Shell~Edit$").substr(0, 12);
    cut[0] = 40;
    return record(kNotes) + cut;
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedApplicationFile,
                         testing::Values(DamagedFile{"LengthBeyondItsRecord", lengthBeyondRecord()},
                                         DamagedFile{"LastRecordCutShort", lastRecordCutShort()},
                                         DamagedFile{"EightBytesOfAVocabularyLine",
                                                     std::string("\x07\x00"
                                                                 "Copy:\r",
                                                                 8)}),
                         rt::test::RowName());

} // namespace

namespace {

TEST(WorkingFolder, GoneBeforeAProgramIsStartedByVoiceTheRunGoesOn) {
    ProgramCopy copy;
    copy.write("vappcmd.txt",
               record("Term \xA6 shell*Shell~Edit$" + (copy.folder() / "term.sh").string()) +
                   record(kNotes));
    copy.write("temp.txt", kGrammar + "<start>=Shell\r\n");
    std::filesystem::path working = rt::test::uniqueTempDir("quibo-working");
    QuiboRun run(copy, working);
    run.say("Notes");
    std::string notes = run.nextStatus();
    std::filesystem::remove_all(working);
    run.say("Shell"); // no such window: its path is started, in the working folder
    std::string shell = run.nextStatus();
    EXPECT_EQ(run.finish(), 0) << run.errors();
    EXPECT_EQ(shell, "Shell");
    EXPECT_EQ(notes, "Notes");
    // The run's grammar rewrite at its end was not lost.
    EXPECT_EQ(copy.read("temp.txt"),
              std::string(kGrammar).insert(kGrammar.find("<start>=Notes"), "<start>=Shell\r\n"));
}

} // namespace

namespace {

TEST(OneQuiboPerFolder, ASecondRunOnTheSameFolderSaysSoAndEndsLeavingTheFirstUnharmed) {
    ProgramCopy copy;
    const std::string apps = record(kNotes);
    copy.write("vappcmd.txt", apps);
    copy.write("temp.txt", kGrammar);
    QuiboRun first(copy);
    first.say("Notes");
    ASSERT_EQ(first.nextStatus(), "Notes"); // up and running
    {
        QuiboRun second(copy);
        second.say("Notes");
        EXPECT_EQ(second.finish(), 1);
        EXPECT_NE(second.errors().find("already running"), std::string::npos) << second.errors();
    }
    EXPECT_EQ(copy.read("temp.txt"), kGrammar) << "the second run rewrote the grammar";
    first.say("Notes");
    EXPECT_EQ(first.nextStatus(), "Notes");
    EXPECT_EQ(first.finish(), 0) << first.errors();
    EXPECT_EQ(copy.read("vappcmd.txt"), apps);

    // Once the first has ended, the folder is free again.
    QuiboRun third(copy);
    EXPECT_EQ(third.finish(), 0) << third.errors();
}

// A .quibo.lock another user owns: one that may be read still locks, so a
// second run is refused as for any held lock; one that may not even be
// opened leaves no run able to tell, and none starts.
TEST(OneQuiboPerFolder, ALockFileOfAnotherUserStillAllowsOneRunAtMost) {
    using std::filesystem::perms;
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to give the lock file to another user than the runs'";
    ProgramCopy copy;
    const std::string apps = record(kNotes);
    copy.write("vappcmd.txt", apps);
    copy.write("temp.txt", kGrammar);
    copy.write(".quibo.lock", "");
    for (const char* name : {"", "vappcmd.txt", "temp.txt", "vocab"})
        std::filesystem::permissions(copy.folder() / name, perms::all);
    const std::filesystem::path lock = copy.folder() / ".quibo.lock";

    std::filesystem::permissions(lock, perms::owner_read | perms::group_read | perms::others_read);
    {
        QuiboRun first(copy, {}, true);
        first.say("Notes");
        ASSERT_EQ(first.nextStatus(), "Notes") << first.errors();
        QuiboRun second(copy, {}, true);
        EXPECT_EQ(second.finish(), 1);
        EXPECT_NE(second.errors().find("already running"), std::string::npos) << second.errors();
        EXPECT_EQ(first.finish(), 0) << first.errors();
    }

    std::filesystem::permissions(lock, perms::none);
    QuiboRun refused(copy, {}, true);
    refused.say("Notes");
    EXPECT_EQ(refused.finish(), 1);
    EXPECT_NE(refused.errors().find("its lock file \"" + lock.string() +
                                    "\" cannot be opened (Permission denied)"),
              std::string::npos)
        << refused.errors();
    EXPECT_EQ(copy.read("temp.txt"), kGrammar);
    EXPECT_EQ(copy.read("vappcmd.txt"), apps);
}

TEST(ReadOnlyProgramFolder, TheApplicationsAreStillHeardAndTheRunEndsNormally) {
    using std::filesystem::perms;
    ProgramCopy copy;
    const std::string apps = record(kNotes + "/bin/true");
    copy.write("vappcmd.txt", apps);
    copy.write("temp.txt", kGrammar);
    // Readable by everyone, writable by no one (root runs it as nobody).
    const perms read = perms::owner_read | perms::group_read | perms::others_read;
    const perms enter = perms::owner_exec | perms::group_exec | perms::others_exec;
    for (const char* file : {"vappcmd.txt", "temp.txt"})
        std::filesystem::permissions(copy.folder() / file, read);
    std::filesystem::permissions(copy.folder() / "vocab", read | enter);
    std::filesystem::permissions(copy.folder(), read | enter);
    QuiboRun run(copy, {}, true);
    run.say("Notes");
    EXPECT_EQ(run.nextStatus(), "Notes");
    run.say("Notes");
    EXPECT_EQ(run.nextStatus(), "Notes");
    // Its window is not there: its path was started, read from the file.
    EXPECT_NE(run.effects().find("/bin/true"), std::string::npos) << run.effects();
    EXPECT_EQ(run.finish(), 0) << run.errors();
    // The grammar could not be rewritten at the end: the user is told.
    EXPECT_NE(run.errors().find("could not be written"), std::string::npos) << run.errors();
    EXPECT_EQ(copy.read("vappcmd.txt"), apps);
    EXPECT_EQ(copy.read("temp.txt"), kGrammar);
}

} // namespace

namespace {

// A program folder whose "vocab" folder is missing and cannot be made: the
// user is told, and the applications are still heard.
struct NoVocabFolderRow {
    const char* name;
    bool vocabIsAFile;
    const char* told;
};

void PrintTo(const NoVocabFolderRow& row, std::ostream* out) {
    *out << row.name;
}

class NoVocabFolder : public testing::TestWithParam<NoVocabFolderRow> {};

TEST_P(NoVocabFolder, TheUserIsToldAndTheApplicationsAreStillHeard) {
    using std::filesystem::perms;
    ProgramCopy copy;
    const std::string apps = record(kNotes + "/bin/true");
    copy.write("vappcmd.txt", apps);
    copy.write("temp.txt", kGrammar);
    std::filesystem::remove(copy.folder() / "vocab");
    if (GetParam().vocabIsAFile)
        copy.write("vocab", "not a folder");
    const perms read = perms::owner_read | perms::group_read | perms::others_read;
    const perms enter = perms::owner_exec | perms::group_exec | perms::others_exec;
    std::filesystem::permissions(copy.folder(), read | enter);
    QuiboRun run(copy, {}, true);
    run.say("Notes");
    EXPECT_EQ(run.nextStatus(), "Notes");
    EXPECT_EQ(run.finish(), 0) << run.errors();
    EXPECT_NE(run.errors().find(GetParam().told), std::string::npos) << run.errors();
    EXPECT_EQ(run.errors().find("run-time error"), std::string::npos) << run.errors();
    EXPECT_EQ(copy.read("vappcmd.txt"), apps);
}

INSTANTIATE_TEST_SUITE_P(
    ReadOnlyProgramFolder, NoVocabFolder,
    testing::Values(
        NoVocabFolderRow{"WithoutVocab", false,
                         "\"vocab\" could not be made because the program folder may only be read"},
        NoVocabFolderRow{"WithVocabAPlainFile", true,
                         "\"vocab\" could not be made because a file named \"vocab\" stands in its "
                         "place"}),
    rt::test::RowName());

TEST(ApplicationFile, AFolderInItsPlaceIsToldAtStart) {
    ProgramCopy copy;
    std::filesystem::create_directory(copy.folder() / "vappcmd.txt");
    copy.write("temp.txt", kGrammar);
    QuiboRun run(copy);
    EXPECT_EQ(run.finish(), 0) << run.errors();
    EXPECT_NE(
        run.errors().find("\"vappcmd.txt\" cannot be read because a folder stands in its place"),
        std::string::npos)
        << run.errors();
}

// New files that a killed rewrite left hidden beside the data files go at
// the next start; never while another run, which may be writing them, holds
// the folder.
TEST(LeftRewrites, AreRemovedByTheRunThatHoldsTheFolderOnly) {
    ProgramCopy copy;
    copy.write("vappcmd.txt", record(kNotes));
    copy.write("temp.txt", kGrammar);
    copy.write("vocab/Edit.txt", rt::test::recordFile({"Copy:^c"}, 128));
    const std::vector<std::string> left{".vappcmd.txt.new", ".temp.txt.new", "vocab/.Edit.txt.new",
                                        "vocab/.Gone.txt.new"};
    auto leaveThem = [&] {
        for (const std::string& name : left)
            copy.write(name, "half a rewrite");
    };
    auto present = [&] {
        std::vector<std::string> out;
        for (const std::string& name : left)
            if (std::filesystem::exists(copy.folder() / name))
                out.push_back(name);
        return out;
    };
    {
        QuiboRun first(copy);
        first.say("Notes");
        ASSERT_EQ(first.nextStatus(), "Notes");
        leaveThem();
        QuiboRun second(copy);
        EXPECT_EQ(second.finish(), 1);
        EXPECT_EQ(present(), left) << "a run that does not hold the folder removed them";
        first.say("Notes");
        EXPECT_EQ(first.nextStatus(), "Notes");
        EXPECT_EQ(first.finish(), 0) << first.errors();
    }
    leaveThem();
    QuiboRun third(copy);
    third.say("Notes");
    EXPECT_EQ(third.nextStatus(), "Notes");
    EXPECT_TRUE(present().empty()) << present().front();
    EXPECT_EQ(third.finish(), 0) << third.errors();
    EXPECT_EQ(copy.read("vappcmd.txt"), record(kNotes));
}

} // namespace
