#include "runtime/backends/x11/PosixShell.h"
#include "runtime/core/Error.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>
#include <sys/stat.h>
#include <thread>

using namespace rt;

namespace {

// A program in a folder whose name has blanks, that writes its arguments,
// one per line, next to itself.
class PosixShellTest : public testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("quibo shell " + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        program = dir / "echo args";
        std::ofstream(program) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n";
        chmod(program.c_str(), 0755);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string argsWritten() {
        for (int i = 0; i < 250; ++i) {
            std::ifstream in(dir / "args.txt");
            std::string text(std::istreambuf_iterator<char>(in), {});
            if (!text.empty())
                return text;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }
    std::filesystem::path dir, program;
    x11::PosixShell shell;
};

TEST_F(PosixShellTest, StartsAProgramFromAPathWithBlanksAndPassesHostileArgumentsWhole) {
    EXPECT_GT(shell.start({program.string(), "a;touch pwned", "$(touch pwned)", "`x`"}, 1), 0);
    EXPECT_EQ(argsWritten(), "a;touch pwned\n$(touch pwned)\n`x`\n");
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
}

TEST_F(PosixShellTest, OpeningReportsTheShellsErrorValues) {
    int32_t process = 0;
    EXPECT_EQ(shell.open("open", (dir / "none.txt").string(), std::nullopt, std::nullopt, 1, process), SE_ERR_FNF);
    EXPECT_EQ(shell.open("open", (dir / "no" / "x").string(), std::nullopt, std::nullopt, 1, process), SE_ERR_PNF);
    EXPECT_EQ(shell.open("explore", program.string(), std::nullopt, std::nullopt, 1, process), SE_ERR_NOASSOC);
    EXPECT_GT(shell.open("open", program.string(), std::string("one \"two three\""), std::nullopt, 1, process), 32);
    EXPECT_GT(process, 0);
    EXPECT_EQ(argsWritten(), "one\ntwo three\n");
    EXPECT_THROW(shell.start({(dir / "missing").string()}, 1), RuntimeError);
}

} // namespace
