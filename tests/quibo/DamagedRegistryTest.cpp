// Quibo started on a damaged registry file: it starts and ends normally, the
// file is kept aside and reported, and its window's placement is saved anew.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "tests/quibo/QuiboProcess.h"
#include "tests/support/ProgramFolder.h"

namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string deepKeyFile(int depth) {
    std::string path = "k";
    for (int i = 1; i < depth; ++i)
        path += "\\\\k";
    return "quibo-registry 1\nkey \"" + path + "\"\nend\n";
}

std::string randomBytes(size_t size) {
    std::mt19937 gen(7);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(gen());
    return bytes;
}

TEST(DamagedRegistry, QuiboStartsSetsTheFileAsideAndSavesItsPlacementAnew) {
    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {
        {"bad type line", "quibo-registry 1\nkey \"Software\"\nvalue \"A\" type-x \"1\"\nend\n"},
        {"key nested 20000 deep", deepKeyFile(20000)},
        {"random bytes", randomBytes(2000)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        quibo::test::ProgramCopy copy;
        const fs::path& dir = copy.folder();
        fs::create_directories(dir / "registry");
        std::ofstream(dir / "windows.txt");
        std::ofstream(dir / "input.txt");
        std::string env = "cd '" + dir.string() + "' && env -u DISPLAY QUIBO_BACKENDS=sim " +
                          "QUIBO_SIM_WINDOWS=windows.txt QUIBO_REGISTRY_DIR=registry ";
        ASSERT_EQ(std::system((env + COMPREG + " " + TLV_FORM_CONTROLS + " >/dev/null").c_str()),
                  0);
        const fs::path hive = dir / "registry" / "HKEY_CURRENT_USER.reg";
        std::ofstream(hive, std::ios::binary) << row.bytes;

        int status = std::system((env + "./quibo <input.txt >output.txt 2>errors.txt").c_str());
        std::string errors = read(dir / "errors.txt");
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << errors;
        EXPECT_NE(errors.find("is damaged"), std::string::npos) << errors;
        int aside = 0;
        for (const auto& entry : fs::directory_iterator(dir / "registry"))
            if (entry.path().filename().string().rfind("HKEY_CURRENT_USER.reg.corrupt-", 0) == 0) {
                ++aside;
                EXPECT_EQ(read(entry.path()), row.bytes);
            }
        EXPECT_EQ(aside, 1);
        EXPECT_NE(read(hive).find("key \"Software\\\\frmQuibo\\\\Position\""), std::string::npos)
            << read(hive);

        // The next start finds nothing wrong.
        status = std::system((env + "./quibo <input.txt >output.txt 2>errors.txt").c_str());
        EXPECT_EQ(read(dir / "errors.txt").find("is damaged"), std::string::npos);
    }
}

} // namespace

namespace {

// Quibo started on a settings file it may not read (another user's): the
// window comes up at its design place, the user is told in the status bar,
// and the file is not written over at the end.
TEST(UnreadableRegistry, QuiboTellsTheUserAndLeavesTheFileAsItWas) {
    using fs::perms;
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to run Quibo as a user the file's mode binds";
    quibo::test::ProgramCopy copy;
    const fs::path& dir = copy.folder();
    const std::string apps = rt::test::recordFile({"Editor \xA6 notes*Notes~Edit$"}, 270);
    copy.write("vappcmd.txt", apps);
    const std::string registry = "QUIBO_REGISTRY_DIR='" + (dir / "registry").string() + "' ";
    ASSERT_EQ(std::system((registry + COMPREG + " " + TLV_FORM_CONTROLS + " >/dev/null").c_str()),
              0);
    {
        quibo::test::QuiboRun first(copy);
        ASSERT_EQ(first.finish(), 0) << first.errors();
    }
    const fs::path hive = dir / "registry" / "HKEY_CURRENT_USER.reg";
    const std::string bytes = read(hive);
    ASSERT_NE(bytes.find("frmQuibo\\\\Position"), std::string::npos) << bytes;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        fs::permissions(entry.path(), perms::all);
    fs::permissions(dir, perms::all);
    fs::permissions(hive, perms::none);

    quibo::test::QuiboRun run(copy, {}, true);
    run.say("Notes");
    EXPECT_EQ(run.nextStatus(), "Notes") << run.errors();
    EXPECT_NE(run.problems().find("The registry file " + hive.string() +
                                  " cannot be read (Permission denied)"),
              std::string::npos)
        << run.problems();
    EXPECT_EQ(run.finish(), 0) << run.errors();
    EXPECT_EQ(fs::status(hive).permissions(), perms::none);
    fs::permissions(hive, perms::owner_read);
    EXPECT_EQ(read(hive), bytes);
    for (const auto& entry : fs::directory_iterator(dir / "registry"))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
}

} // namespace
