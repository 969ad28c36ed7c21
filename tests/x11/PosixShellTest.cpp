#include "runtime/backends/x11/PosixShell.h"
#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
        std::ofstream(program) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$(dirname "
                                  "\"$0\")/args.txt\"\n";
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
    EXPECT_EQ(
        shell.open("open", (dir / "none.txt").string(), std::nullopt, std::nullopt, 1, process),
        SE_ERR_FNF);
    EXPECT_EQ(
        shell.open("open", (dir / "no" / "x").string(), std::nullopt, std::nullopt, 1, process),
        SE_ERR_PNF);
    EXPECT_EQ(shell.open("explore", program.string(), std::nullopt, std::nullopt, 1, process),
              SE_ERR_NOASSOC);
    EXPECT_GT(shell.open("open", program.string(), std::string("one \"two three\""), std::nullopt,
                         1, process),
              32);
    EXPECT_GT(process, 0);
    EXPECT_EQ(argsWritten(), "one\ntwo three\n");
    EXPECT_THROW(shell.start({(dir / "missing").string()}, 1), RuntimeError);
}

// A program whose own path holds what a command interpreter would act on is
// still one file to start, from a command line and from an open.
TEST_F(PosixShellTest, AProgramPathWithInterpreterSyntaxIsOneArgument) {
    const char* names[] = {"a;touch pwned", "$(touch pwned)", "`touch pwned`", "x && touch pwned",
                           "it's"};
    rt::setShell(std::make_shared<x11::PosixShell>());
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::filesystem::path hostile = dir / name;
        std::filesystem::copy_file(program, hostile);
        std::filesystem::remove(dir / "args.txt");
        EXPECT_GT(rt::Shell("\"" + hostile.string() + "\" one"), 0);
        EXPECT_EQ(argsWritten(), "one\n");
        std::filesystem::remove(dir / "args.txt");
        int32_t process = 0;
        EXPECT_GT(
            shell.open("open", hostile.string(), std::string("two"), std::nullopt, 1, process), 32);
        EXPECT_EQ(argsWritten(), "two\n");
        std::filesystem::remove(hostile);
    }
    rt::setShell(nullptr);
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
}

TEST_F(PosixShellTest, OpeningABareNameStartsTheProgramOfTheCurrentFolder) {
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    int32_t process = 0;
    int32_t result = shell.open("open", "echo args", std::string("here"), std::nullopt, 1, process);
    std::filesystem::current_path(previous);
    EXPECT_GT(result, 32);
    EXPECT_EQ(argsWritten(), "here\n");
}

// As a command line does: "xterm" starts the xterm found on PATH.
TEST_F(PosixShellTest, OpeningABareNameThatIsNoFileHereStartsTheProgramOnThePath) {
    std::filesystem::path elsewhere = dir / "elsewhere";
    std::filesystem::create_directories(elsewhere);
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere);
    const char* path = std::getenv("PATH");
    std::string saved = path ? path : "";
    setenv("PATH", (dir.string() + ":" + saved).c_str(), 1);
    int32_t process = 0;
    int32_t found = shell.open("open", "echo args", std::string("found"), std::nullopt, 1, process);
    int32_t missing =
        shell.open("open", "no such program here", std::nullopt, std::nullopt, 1, process);
    setenv("PATH", saved.c_str(), 1);
    std::filesystem::current_path(previous);
    EXPECT_GT(found, 32);
    EXPECT_EQ(argsWritten(), "found\n");
    EXPECT_EQ(missing, SE_ERR_FNF);
}

// The desktop's opener takes a link at once and ends with a failure when
// no program can show it: its watch runs from the event loop then.
TEST_F(PosixShellTest, AnOpenerThatEndsInFailureRunsItsWatch) {
    struct {
        const char* name;
        int exitCode;
        bool failed;
    } rows[] = {{"no browser", 3, true}, {"shown", 0, false}};
    const char* path = std::getenv("PATH");
    std::string saved = path ? path : "";
    setenv("PATH", (dir.string() + ":" + saved).c_str(), 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::ofstream(dir / "xdg-open") << "#!/bin/sh\nsleep 0.2\nexit " << row.exitCode << "\n";
        chmod((dir / "xdg-open").c_str(), 0755);
        int32_t process = 0;
        EXPECT_GT(
            shell.open("open", "https://quibo.example.org", std::nullopt, std::nullopt, 1, process),
            32);
        ASSERT_GT(process, 0);
        bool called = false;
        shell.whenFails(process, [&] { called = true; });
        // Not before the opener ends.
        rt::uithread::runPosted();
        EXPECT_FALSE(called);
        for (int i = 0; i < 250 && kill(process, 0) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (int i = 0; i < 10 && !called; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            rt::uithread::runPosted();
        }
        EXPECT_EQ(called, row.failed);
    }
    setenv("PATH", saved.c_str(), 1);
}

TEST_F(PosixShellTest, ADocumentNothingCanOpenReportsNoAssociation) {
    std::ofstream(dir / "notes.txt") << "text";
    const char* path = std::getenv("PATH");
    std::string saved = path ? path : "";
    setenv("PATH", dir.c_str(), 1); // no opener on it
    int32_t process = 0;
    int32_t result =
        shell.open("open", (dir / "notes.txt").string(), std::nullopt, std::nullopt, 1, process);
    setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(result, SE_ERR_NOASSOC);
    EXPECT_EQ(process, 0);
}

} // namespace
