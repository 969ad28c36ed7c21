// The hive files when rights are missing (a file or lock another user owns),
// through symbolic links, and written once per batch of changes.

#include "runtime/platform/registry/Registry.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/registry/HiveStoreFixture.h"

using namespace rt;
namespace fs = std::filesystem;

namespace {

using rt::test::HiveStoreTest;
using rt::test::readFile;
using rt::test::writeFile;

constexpr const char* kNoOtherUser = "runs as root and there is no user nobody to run the child as";
constexpr const char* kShared = "Software\\Shared";
constexpr int kEach = 300;
const fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

bool mentions(const std::vector<std::string>& problems, const std::string& part) {
    for (const std::string& problem : problems)
        if (problem.find(part) != std::string::npos)
            return true;
    return false;
}

class HiveAccessTest : public HiveStoreTest {
protected:
    // Two processes started together each write kEach values into one key,
    // `perBatch` of them to a batch (1: no batch). Each exits with 0 when every write
    // succeeded, 1 when every one failed, 2 for some of each.
    std::array<int, 2> writeTogether(int perBatch, bool asAnotherUser) const {
        int start[2];
        if (pipe(start) != 0)
            return {-1, -1};
        std::array<pid_t, 2> children{};
        for (int writer = 0; writer < 2; ++writer)
            children[writer] = startChild(
                [&, writer] {
                    close(start[1]);
                    char go;
                    if (read(start[0], &go, 1) != 0)
                        return 3;
                    int done = 0;
                    for (int i = 0; i < kEach; i += perBatch) {
                        std::optional<registry::Batch> batch;
                        if (perBatch > 1)
                            batch.emplace();
                        bool ok = true;
                        for (int j = i; j < i + perBatch && j < kEach; ++j)
                            ok = setText(HKEY_CURRENT_USER, kShared,
                                         "w" + std::to_string(writer) + "-" + std::to_string(j),
                                         std::to_string(j)) == ERROR_SUCCESS &&
                                 ok;
                        ok = (!batch || batch->end() == ERROR_SUCCESS) && ok;
                        done += ok;
                    }
                    int batches = (kEach + perBatch - 1) / perBatch;
                    return done == batches ? 0 : done == 0 ? 1 : 2;
                },
                asAnotherUser);
        close(start[0]);
        close(start[1]); // both writers start together
        return {exitStatus(children[0]), exitStatus(children[1])};
    }

    int valuesKept() {
        registry::setFolder(m_dir.string());
        int found = text(HKEY_CURRENT_USER, kShared, "Before") == "1";
        for (int writer = 0; writer < 2; ++writer)
            for (int i = 0; i < kEach; ++i)
                found += text(HKEY_CURRENT_USER, kShared,
                              "w" + std::to_string(writer) + "-" + std::to_string(i)) ==
                         std::to_string(i);
        return found;
    }
};

// A hive file that is there but may not be read is not an empty hive: its
// values read as missing, every change fails, the file is kept byte for byte
// and the user is told once.
TEST_F(HiveAccessTest, AnUnreadableFileGivesDefaultsRefusesEveryChangeAndIsKept) {
    if (!canRunAsAnotherUser())
        GTEST_SKIP() << kNoOtherUser;
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\Kept", "A", "1"), ERROR_SUCCESS);
    const std::string bytes = readFile(hiveFile());
    openFolderToAll();
    fs::permissions(m_dir / "HKEY_CURRENT_USER.reg.lock", fs::perms::all);
    fs::permissions(hiveFile(), fs::perms::none);

    int faults = inChildAsAnotherUser([] {
        size_t before = registry::problems().size();
        int wrong = 0;
        wrong += text(HKEY_CURRENT_USER, "Software\\Kept", "A") != "<no key>";
        wrong += setText(HKEY_CURRENT_USER, "Software\\Kept", "B", "2") != ERROR_ACCESS_DENIED;
        wrong += setText(HKEY_CURRENT_USER, "New", "C", "3") != ERROR_ACCESS_DENIED;
        wrong += registry::markReadOnly(HKEY_CURRENT_USER, "Software") != ERROR_ACCESS_DENIED;
        wrong += RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Kept") != ERROR_ACCESS_DENIED;
        {
            registry::Batch batch;
            wrong += setText(HKEY_CURRENT_USER, "New", "D", "4") != ERROR_ACCESS_DENIED;
        }
        // Other hives are not touched by it.
        wrong += setText(HKEY_CLASSES_ROOT, "Other", "E", "5") != ERROR_SUCCESS;
        std::vector<std::string> problems = registry::problems();
        wrong += problems.size() != before + 1 ||
                 problems.back().find("HKEY_CURRENT_USER.reg cannot be read") == std::string::npos;
        return wrong;
    });
    EXPECT_EQ(faults, 0);
    fs::permissions(hiveFile(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readFile(hiveFile()), bytes);
    EXPECT_TRUE(filesContaining(".tmp").empty());
    EXPECT_TRUE(filesContaining(".corrupt-").empty());
    registry::setFolder(m_dir.string());
    EXPECT_EQ(text(HKEY_CURRENT_USER, "Software\\Kept", "A"), "1");
    EXPECT_EQ(text(HKEY_CLASSES_ROOT, "Other", "E"), "5");
}

// A hive's lock file another user owns: readable, it still locks, and two
// writers keep each other's values; unreadable, no change is made and none
// is reported as made.
struct LockFileRow {
    const char* name;
    fs::perms mode;
    int perBatch;
    bool locks;
};

void PrintTo(const LockFileRow& row, std::ostream* out) {
    *out << row.name;
}

class ForeignLockFile : public HiveAccessTest, public testing::WithParamInterface<LockFileRow> {};

TEST_P(ForeignLockFile, TwoWritersKeepEveryValueOrEveryWriteFails) {
    if (!canRunAsAnotherUser())
        GTEST_SKIP() << kNoOtherUser;
    const LockFileRow& row = GetParam();
    ASSERT_EQ(setText(HKEY_CURRENT_USER, kShared, "Before", "1"), ERROR_SUCCESS);
    const std::string bytes = readFile(hiveFile());
    openFolderToAll();
    fs::permissions(hiveFile(), kReadOnly | fs::perms::owner_write);
    fs::permissions(m_dir / "HKEY_CURRENT_USER.reg.lock", row.mode);

    std::array<int, 2> status = writeTogether(row.perBatch, true);
    if (row.locks) {
        EXPECT_EQ(status, (std::array<int, 2>{0, 0}));
        EXPECT_EQ(valuesKept(), 2 * kEach + 1);
    } else {
        EXPECT_EQ(status, (std::array<int, 2>{1, 1}));
        EXPECT_EQ(readFile(hiveFile()), bytes);
    }
    EXPECT_TRUE(filesContaining(".tmp").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ForeignLockFile,
    testing::Values(LockFileRow{"ReadOnly", kReadOnly, 1, true},
                    LockFileRow{"ReadOnlyInBatches", kReadOnly, 5, true},
                    LockFileRow{"NoRights", fs::perms::none, 1, false},
                    LockFileRow{"NoRightsInBatches", fs::perms::none, 5, false}),
    [](const testing::TestParamInfo<LockFileRow>& info) { return info.param.name; });

// A lock file that cannot be taken is told, once, naming the file.
TEST_F(HiveAccessTest, ALockThatCannotBeTakenIsReported) {
    if (!canRunAsAnotherUser())
        GTEST_SKIP() << kNoOtherUser;
    ASSERT_EQ(setText(HKEY_CURRENT_USER, kShared, "Before", "1"), ERROR_SUCCESS);
    openFolderToAll();
    fs::permissions(hiveFile(), kReadOnly);
    fs::permissions(m_dir / "HKEY_CURRENT_USER.reg.lock", fs::perms::none);
    int faults = inChildAsAnotherUser([] {
        size_t before = registry::problems().size();
        int wrong = setText(HKEY_CURRENT_USER, kShared, "A", "1") != ERROR_ACCESS_DENIED;
        wrong += setText(HKEY_CURRENT_USER, kShared, "B", "1") != ERROR_ACCESS_DENIED;
        wrong += text(HKEY_CURRENT_USER, kShared, "Before") != "1"; // reading needs no lock
        std::vector<std::string> problems = registry::problems();
        wrong += problems.size() != before + 1 ||
                 !mentions(problems, "HKEY_CURRENT_USER.reg.lock cannot be taken");
        return wrong;
    });
    EXPECT_EQ(faults, 0);
}

// Values written in batches by two processes at once: neither loses the
// other's.
TEST_F(HiveAccessTest, TwoProcessesWritingInBatchesKeepEachOthersValues) {
    ASSERT_EQ(setText(HKEY_CURRENT_USER, kShared, "Before", "1"), ERROR_SUCCESS);
    EXPECT_EQ(writeTogether(7, false), (std::array<int, 2>{0, 0}));
    EXPECT_EQ(valuesKept(), 2 * kEach + 1);
    EXPECT_TRUE(filesContaining(".tmp").empty());
}

// The values of one batch, in two hives and a nested batch, reach each
// hive's file in one write at the outermost end; until then this process
// reads them from memory.
TEST_F(HiveAccessTest, ABatchWritesEachHiveItChangedOnceAtItsEnd) {
    const std::string position = "Software\\frmQuibo\\Position";
    size_t before = registry::filesWritten();
    {
        registry::Batch batch;
        for (const char* name : {"Top", "Left", "Height", "Width", "WindowState"})
            ASSERT_EQ(setText(HKEY_CURRENT_USER, position, name, name), ERROR_SUCCESS);
        ASSERT_EQ(setText(HKEY_CLASSES_ROOT, "Classes", "A", "1"), ERROR_SUCCESS);
        {
            registry::Batch inner;
            ASSERT_EQ(setText(HKEY_CURRENT_USER, position, "Inner", "2"), ERROR_SUCCESS);
            EXPECT_EQ(inner.end(), ERROR_SUCCESS);
        }
        EXPECT_EQ(registry::filesWritten(), before);
        EXPECT_FALSE(fs::exists(hiveFile()));
        EXPECT_EQ(text(HKEY_CURRENT_USER, position, "Width"), "Width");
        EXPECT_EQ(batch.end(), ERROR_SUCCESS);
        EXPECT_EQ(batch.end(), ERROR_SUCCESS); // once ended, it stays ended
    }
    EXPECT_EQ(registry::filesWritten(), before + 2);
    registry::setFolder(m_dir.string());
    for (const char* name : {"Top", "Left", "Height", "Width", "WindowState"})
        EXPECT_EQ(text(HKEY_CURRENT_USER, position, name), name);
    EXPECT_EQ(text(HKEY_CURRENT_USER, position, "Inner"), "2");
    EXPECT_EQ(text(HKEY_CLASSES_ROOT, "Classes", "A"), "1");
}

// A batch whose hive cannot be written in the end says so, and the values
// are not taken for stored.
TEST_F(HiveAccessTest, ABatchThatCannotBeWrittenFailsAtItsEndAndIsReported) {
    if (!canRunAsAnotherUser())
        GTEST_SKIP() << kNoOtherUser;
    ASSERT_EQ(setText(HKEY_CURRENT_USER, kShared, "Before", "1"), ERROR_SUCCESS);
    const std::string bytes = readFile(hiveFile());
    // The folder is the owner's alone; the hive and its lock may be read.
    fs::permissions(m_dir, kReadOnly | fs::perms::owner_all | fs::perms::group_exec |
                               fs::perms::others_exec);
    fs::permissions(hiveFile(), kReadOnly);
    fs::permissions(m_dir / "HKEY_CURRENT_USER.reg.lock", kReadOnly);
    int faults = inChildAsAnotherUser([] {
        size_t before = registry::problems().size();
        registry::Batch batch;
        int wrong = setText(HKEY_CURRENT_USER, kShared, "A", "1") != ERROR_SUCCESS;
        wrong += batch.end() != ERROR_CANTWRITE;
        wrong += text(HKEY_CURRENT_USER, kShared, "A") != "<no value>";
        std::vector<std::string> problems = registry::problems();
        wrong += problems.size() != before + 1 || !mentions(problems, "could not be written");
        return wrong;
    });
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(readFile(hiveFile()), bytes);
}

// A hive file that is a symbolic link stays one: the file it names is
// replaced, in its own folder.
struct LinkRow {
    const char* name;
    bool absolute;
    bool targetExists;
};

void PrintTo(const LinkRow& row, std::ostream* out) {
    *out << row.name;
}

class LinkedHive : public HiveStoreTest, public testing::WithParamInterface<LinkRow> {};

TEST_P(LinkedHive, ASaveReplacesTheFileTheLinkNamesAndKeepsTheLink) {
    const LinkRow& row = GetParam();
    const fs::path elsewhere = m_dir / "elsewhere";
    fs::create_directory(elsewhere);
    const fs::path target = elsewhere / "settings.reg";
    if (row.targetExists)
        writeFile(target, "quibo-registry 1\nkey \"Software\"\nvalue \"Old\" sz \"1\"\nend\n");
    const fs::path link = row.absolute ? target : fs::path("elsewhere") / "settings.reg";
    fs::create_symlink(link, hiveFile());
    registry::setFolder(m_dir.string());

    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software", "New", "2"), ERROR_SUCCESS);
    ASSERT_TRUE(fs::is_symlink(hiveFile()));
    EXPECT_EQ(fs::read_symlink(hiveFile()), link);
    EXPECT_NE(readFile(target).find("value \"New\" sz \"2\""), std::string::npos);
    EXPECT_EQ(readFile(target).find("value \"Old\"") != std::string::npos, row.targetExists);
    for (const fs::path& folder : {m_dir, elsewhere})
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
                << entry.path();
    registry::setFolder(m_dir.string());
    EXPECT_EQ(text(HKEY_CURRENT_USER, "Software", "New"), "2");
}

INSTANTIATE_TEST_SUITE_P(Links, LinkedHive,
                         testing::Values(LinkRow{"Relative", false, true},
                                         LinkRow{"Absolute", true, true},
                                         LinkRow{"ToAFileNotYetThere", false, false}),
                         [](const testing::TestParamInfo<LinkRow>& info) {
                             return info.param.name;
                         });

} // namespace
