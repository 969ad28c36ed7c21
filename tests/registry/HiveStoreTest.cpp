// The hive files under damage, deep nesting and several processes at once.

#include "runtime/platform/registry/HiveFile.h"
#include "runtime/platform/registry/Registry.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/registry/HiveStoreFixture.h"
#include "tests/support/TestSupport.h"

using namespace rt;
namespace fs = std::filesystem;

namespace {

using rt::test::HiveStoreTest;
using rt::test::readFile;
using rt::test::writeFile;

std::string nested(size_t depth) {
    std::string path = "k";
    for (size_t i = 1; i < depth; ++i)
        path += "\\k";
    return path;
}

// The same path as a hive file writes it, inside quotes.
std::string quotedPath(const std::string& path) {
    std::string out;
    for (char c : path)
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out;
}

std::string randomBytes(unsigned seed, size_t size) {
    std::mt19937 gen(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(gen());
    return bytes;
}

// Every damaged file is moved aside whole and reported; the hive starts empty
// and takes new values.
TEST_F(HiveStoreTest, DamagedFilesAreMovedAsideReportedAndReplacedByAnEmptyHive) {
    const std::string head = "quibo-registry 1\nkey \"Software\"\n";
    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {
        {"type word not a number", head + "value \"A\" type-x \"1\"\nend\n"},
        {"type number above 32 bits", head + "value \"A\" type-4294967297 \"1\"\nend\n"},
        {"type number out of range", head + "value \"A\" type-99999999999999999999 \"1\"\nend\n"},
        {"type number with a sign", head + "value \"A\" type--1 \"1\"\nend\n"},
        {"type number with a blank", head + "value \"A\" type- 1 \"1\"\nend\n"},
        {"type number missing", head + "value \"A\" type- \"1\"\nend\n"},
        {"escape without hex digits", head + "value \"A\" sz \"\\x-1\"\nend\n"},
        {"key nested 20000 deep",
         "quibo-registry 1\nkey \"" + quotedPath(nested(20000)) + "\"\nend\n"},
        {"key one level too deep",
         "quibo-registry 1\nkey \"" + quotedPath(nested(registry::kMaxKeyDepth + 1)) + "\"\nend\n"},
        {"random bytes", randomBytes(1, 4096)},
        {"random bytes after the header", "quibo-registry 1\n" + randomBytes(2, 300)},
        {"empty", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const auto& entry : fs::directory_iterator(m_dir))
            fs::remove(entry.path());
        writeFile(hiveFile(), row.bytes);
        size_t before = registry::problems().size();
        registry::setFolder(m_dir.string());

        EXPECT_EQ(text(HKEY_CURRENT_USER, "Software", "A"), "<no key>");
        ASSERT_EQ(registry::problems().size(), before + 1);
        EXPECT_NE(registry::problems().back().find("damaged"), std::string::npos);
        auto aside = filesContaining(".corrupt-");
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFile(aside[0]), row.bytes);

        ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software", "A", "new"), ERROR_SUCCESS);
        registry::setFolder(m_dir.string());
        EXPECT_EQ(text(HKEY_CURRENT_USER, "Software", "A"), "new");
        EXPECT_EQ(registry::problems().size(), before + 1);
    }
}

// Something other than a file in a hive file's place neither stops the
// program (a pipe with no writer) nor is lost: it is moved aside too.
TEST_F(HiveStoreTest, APipeOrFolderInTheFilesPlaceIsMovedAside) {
    for (bool pipe : {true, false}) {
        SCOPED_TRACE(pipe ? "pipe" : "folder");
        if (pipe)
            ASSERT_EQ(mkfifo(hiveFile().c_str(), 0600), 0);
        else
            fs::create_directory(hiveFile());
        size_t before = registry::problems().size();
        registry::setFolder(m_dir.string());
        EXPECT_EQ(text(HKEY_CURRENT_USER, "Software", "A"), "<no key>");
        EXPECT_EQ(registry::problems().size(), before + 1);
        ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software", "A", "1"), ERROR_SUCCESS);
        EXPECT_TRUE(fs::is_regular_file(hiveFile()));
        for (const fs::path& aside : filesContaining(".corrupt-")) {
            EXPECT_EQ(fs::is_fifo(aside), pipe);
            fs::remove(aside);
        }
        fs::remove(hiveFile());
    }
}

TEST_F(HiveStoreTest, TwoDamagedFilesInOneSecondAreBothKept) {
    for (const char* bytes : {"first", "second"}) {
        writeFile(hiveFile(), bytes);
        registry::setFolder(m_dir.string());
        EXPECT_EQ(text(HKEY_CURRENT_USER, "Software", "A"), "<no key>");
    }
    std::set<std::string> kept;
    for (const fs::path& path : filesContaining(".corrupt-"))
        kept.insert(readFile(path));
    EXPECT_EQ(kept, (std::set<std::string>{"first", "second"}));
}

// The deepest key this store takes is written and read back; one level more
// is refused, whether named whole or from an open key.
TEST_F(HiveStoreTest, TheDeepestKeyAllowedIsWrittenAndReadBack) {
    const size_t deepest = registry::kMaxKeyDepth;
    ASSERT_EQ(setText(HKEY_CURRENT_USER, nested(deepest), "V", "deep"), ERROR_SUCCESS);
    HKEY h = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, nested(deepest + 1), "", 0, KEY_ALL_ACCESS,
                              nullptr, &h, nullptr),
              ERROR_INVALID_PARAMETER);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, nested(deepest - 1), 0, KEY_ALL_ACCESS, &h),
              ERROR_SUCCESS);
    HKEY deeper = 0;
    EXPECT_EQ(RegCreateKeyExA(h, "k\\k", "", 0, KEY_ALL_ACCESS, nullptr, &deeper, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExA(h, "k", "", 0, KEY_ALL_ACCESS, nullptr, &deeper, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(deeper);
    RegCloseKey(h);

    size_t problems = registry::problems().size();
    registry::setFolder(m_dir.string());
    EXPECT_EQ(text(HKEY_CURRENT_USER, nested(deepest), "V"), "deep");
    EXPECT_EQ(registry::problems().size(), problems);
}

// The text form is kept: a file in it reads, and writes back, byte for byte.
TEST(HiveFileTest, AFileInTheKnownFormatReadsAndWritesBackUnchanged) {
    const std::string file = "quibo-registry 1\n"
                             "key \"Software\"\n"
                             "key \"Software\\\\frmQuibo\"\n"
                             "key \"Software\\\\frmQuibo\\\\Position\"\n"
                             "value \"Top\" sz \"1200\"\n"
                             "value \"Count\" dword \"\\x0a\\x01\\x00\\x00\"\n"
                             "value \"\" expand-sz \"%HOME%\"\n"
                             "value \"Raw\" binary \"\\x00\\xff\\\"\\\\\"\n"
                             "value \"List\" multi-sz \"a\\x00b\\x00\\x00\"\n"
                             "value \"Odd\" type-4294967295 \"x\"\n"
                             "value \"Nothing\" none \"\"\n"
                             "key \"Software\\\\Locked\"\n"
                             "read-only\n"
                             "end\n";
    registry::Key root;
    std::string error;
    ASSERT_TRUE(registry::parseHive(file, root, error)) << error;
    registry::Key* position = root.child("SOFTWARE")->child("frmquibo")->child("position");
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(position->value("Odd")->type, 0xFFFFFFFFu);
    EXPECT_EQ(position->value("Count")->data, std::string("\x0a\x01\x00\x00", 4));
    EXPECT_TRUE(root.child("Software")->child("Locked")->readOnly);
    EXPECT_EQ(registry::serializeHive(root), file);
}

// Values written by two processes at once into one key: neither loses the
// other's, and this process, which had the hive loaded before, sees them all.
TEST_F(HiveStoreTest, TwoProcessesWritingOneHiveKeepEachOthersValues) {
    size_t problems = registry::problems().size();
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\Shared", "Before", "1"), ERROR_SUCCESS);
    constexpr int kEach = 300;
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(start[1]);
            char go;
            if (read(start[0], &go, 1) != 0)
                _exit(3);
            for (int i = 0; i < kEach; ++i)
                if (setText(HKEY_CURRENT_USER, "Software\\Shared",
                            "w" + std::to_string(writer) + "-" + std::to_string(i),
                            std::to_string(i)) != ERROR_SUCCESS)
                    _exit(1);
            _exit(0);
        }
        children.push_back(child);
    }
    close(start[0]);
    close(start[1]); // both writers start together
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    auto countAll = [&] {
        int found = text(HKEY_CURRENT_USER, "Software\\Shared", "Before") == "1";
        for (int writer = 0; writer < 2; ++writer)
            for (int i = 0; i < kEach; ++i)
                found += text(HKEY_CURRENT_USER, "Software\\Shared",
                              "w" + std::to_string(writer) + "-" + std::to_string(i)) ==
                         std::to_string(i);
        return found;
    };
    EXPECT_EQ(countAll(), 2 * kEach + 1);
    registry::setFolder(m_dir.string());
    EXPECT_EQ(countAll(), 2 * kEach + 1);
    EXPECT_TRUE(filesContaining(".tmp").empty());
    EXPECT_EQ(registry::problems().size(), problems);
}

// A change by another process shows at this process's next access, through
// keys it holds open too, in every hive.
TEST_F(HiveStoreTest, AnotherProcesssChangeIsSeenAtTheNextAccess) {
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_CLASSES_ROOT}) {
        SCOPED_TRACE(hive);
        ASSERT_EQ(setText(hive, "Live", "Old", "1"), ERROR_SUCCESS);
        ASSERT_EQ(setText(hive, "Live\\Gone", "X", "1"), ERROR_SUCCESS);
        HKEY held = 0;
        ASSERT_EQ(RegOpenKeyExA(hive, "Live", 0, KEY_ALL_ACCESS, &held), ERROR_SUCCESS);
        pid_t child = fork();
        if (child == 0) {
            bool ok = setText(hive, "Live", "Old", "2") == ERROR_SUCCESS &&
                      setText(hive, "Live", "New", "3") == ERROR_SUCCESS &&
                      RegDeleteKeyA(hive, "Live\\Gone") == ERROR_SUCCESS;
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_EQ(WEXITSTATUS(status), 0);

        EXPECT_EQ(text(hive, "Live", "Old"), "2");
        EXPECT_EQ(text(hive, "Live", "New"), "3");
        EXPECT_EQ(text(hive, "Live\\Gone", "X"), "<no key>");
        uint32_t size = 0;
        EXPECT_EQ(RegQueryValueExA(held, "New", nullptr, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(size, 1u);
        // This process's next change keeps the other's.
        std::string four = "4";
        ASSERT_EQ(
            RegSetValueExA(held, "Mine", REG_SZ, reinterpret_cast<const uint8_t*>(four.data()), 1),
            ERROR_SUCCESS);
        RegCloseKey(held);
        registry::setFolder(m_dir.string());
        EXPECT_EQ(text(hive, "Live", "New"), "3");
        EXPECT_EQ(text(hive, "Live", "Mine"), "4");
    }
}

TEST_F(HiveStoreTest, AFileDamagedWhileRunningIsMovedAsideAtTheNextAccess) {
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software", "A", "1"), ERROR_SUCCESS);
    EXPECT_EQ(text(HKEY_CURRENT_USER, "Software", "A"), "1");
    writeFile(hiveFile(), "quibo-registry 1\nvalue \"A\" type-1x \"1\"\nend\n");
    size_t before = registry::problems().size();
    EXPECT_EQ(text(HKEY_CURRENT_USER, "Software", "A"), "<no key>");
    EXPECT_EQ(registry::problems().size(), before + 1);
    EXPECT_EQ(filesContaining(".corrupt-").size(), 1u);
}

// A writer killed between writing its temporary file and renaming it leaves
// the file behind; the next change removes it, whatever process wrote it.
TEST_F(HiveStoreTest, LeftoverTemporaryFilesAreRemovedByTheNextChange) {
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software", "A", "1"), ERROR_SUCCESS);
    writeFile(m_dir / "HKEY_CURRENT_USER.reg.tmp99999", "quibo-registry 1\n");
    writeFile(m_dir / "HKEY_CLASSES_ROOT.reg.tmp99999", "quibo-registry 1\n");
    writeFile(m_dir / "notes.tmp", "kept");
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software", "B", "2"), ERROR_SUCCESS);
    EXPECT_FALSE(fs::exists(m_dir / "HKEY_CURRENT_USER.reg.tmp99999"));
    EXPECT_TRUE(fs::exists(m_dir / "HKEY_CLASSES_ROOT.reg.tmp99999"));
    ASSERT_EQ(setText(HKEY_CLASSES_ROOT, "Software", "B", "2"), ERROR_SUCCESS);
    EXPECT_FALSE(fs::exists(m_dir / "HKEY_CLASSES_ROOT.reg.tmp99999"));
    EXPECT_TRUE(fs::exists(m_dir / "notes.tmp"));
    EXPECT_EQ(text(HKEY_CURRENT_USER, "Software", "A"), "1");
}

} // namespace
