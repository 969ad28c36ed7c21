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
