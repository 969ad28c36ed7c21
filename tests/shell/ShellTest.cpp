#include "runtime/platform/shell/Shell32.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "runtime/backends/sim/SimShell.h"
#include "tests/support/TestSupport.h"

using namespace rt;

namespace {

TEST(CommandLine, SplitsOnBlanksAndKeepsQuotedTextWhole) {
    struct {
        const char* line;
        std::vector<std::string> args;
    } cases[] = {
        {"prog a b", {"prog", "a", "b"}},
        {"\"/opt/my app/run\" --x", {"/opt/my app/run", "--x"}},
        {"echo a;rm -rf x", {"echo", "a;rm", "-rf", "x"}},
        {"\"$(reboot)\"", {"$(reboot)"}},
        {"say \"a \"\"quoted\"\" word\"", {"say", "a \"quoted\" word"}},
        {"  spaced   out  ", {"spaced", "out"}},
        {"\"\"", {""}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitCommandLine(c.line), c.args) << c.line;
}

TEST(Environment, ExpandsKnownNamesAndKeepsUnknownOnes) {
    setenv("QUIBO_TEST_DIR", "/data", 1);
    setenv("HOME", "/home/u", 1);
    unsetenv("QUIBO_NOT_SET");
    struct {
        const char* in;
        const char* out;
    } cases[] = {{"%QUIBO_TEST_DIR%/x", "/data/x"},
                 {"%QUIBO_TEST_DIR%%QUIBO_TEST_DIR%", "/data/data"},
                 {"%QUIBO_NOT_SET%", "%QUIBO_NOT_SET%"},
                 {"100%", "100%"},
                 {"%%", "%%"},
                 // Only the percent form: the others are characters of a name.
                 {"$QUIBO_TEST_DIR/x", "$QUIBO_TEST_DIR/x"},
                 {"${QUIBO_TEST_DIR}x", "${QUIBO_TEST_DIR}x"},
                 {"price $5.txt", "price $5.txt"},
                 {"~/docs", "~/docs"},
                 {"$", "$"}};
    for (const auto& c : cases)
        EXPECT_EQ(expandEnvironment(c.in), c.out) << c.in;
}

class ShellTest : public testing::Test {
protected:
    ShellTest() {
        sim = std::make_shared<SimShell>();
        setShell(sim);
        dir = rt::test::uniqueTempDir("shell");
        std::ofstream(dir / "doc.txt") << "x";
    }
    ~ShellTest() override {
        setShell(nullptr);
        std::filesystem::remove_all(dir);
    }
    std::shared_ptr<SimShell> sim;
    std::filesystem::path dir;
};

TEST_F(ShellTest, OpenReportsSuccessAboveThirtyTwoAndErrorsBelow) {
    struct {
        const char* verb;
        std::string file;
        int32_t expected;
    } cases[] = {
        {"Open", (dir / "doc.txt").string(), 42},
        {"Open", (dir / "none.txt").string(), SE_ERR_FNF},
        {"Open", (dir / "no/x.txt").string(), SE_ERR_PNF},
        {"explore", dir.string(), 42},
        {"explore", (dir / "doc.txt").string(), SE_ERR_NOASSOC},
        {"Open", "", SE_ERR_FNF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShellExecuteA(0, std::string(c.verb), c.file, std::nullopt, std::nullopt, 1),
                  c.expected)
            << c.verb << " " << c.file;
}

TEST_F(ShellTest, ExecuteExExpandsOnlyWhenAsked) {
    setenv("QUIBO_TEST_DOCS", dir.string().c_str(), 1);
    SHELLEXECUTEINFO info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST;
    info.lpVerb = "Open";
    info.lpFile = "%QUIBO_TEST_DOCS%/doc.txt";
    EXPECT_TRUE(ShellExecuteExA(info));
    EXPECT_GT(info.hInstApp, 32);
    EXPECT_NE(info.hProcess, 0);
    info.fMask = 0;
    EXPECT_FALSE(ShellExecuteExA(info));
    EXPECT_EQ(info.hInstApp, SE_ERR_PNF); // "%QUIBO_TEST_DOCS%" is no folder
    EXPECT_EQ(info.hProcess, 0);
}

TEST_F(ShellTest, ADocumentWhoseNameHoldsADollarSignOpensWithExpansionAsked) {
    setenv("HOME", "/home/u", 1);
    for (const char* name : {"$HOME.txt", "${HOME}.txt", "costs $5.txt"}) {
        std::ofstream(dir / name) << "x";
        SHELLEXECUTEINFO info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST;
        info.lpVerb = "Open";
        info.lpFile = (dir / name).string();
        EXPECT_TRUE(ShellExecuteExA(info)) << name;
        EXPECT_EQ(sim->calls().back().file, (dir / name).string());
    }
}

TEST_F(ShellTest, ShellStartsAProgramOrRaises53) {
    EXPECT_EQ(rt::test::errorOf([] { Shell("   "); }), kInvalidProcedureCall);
    EXPECT_EQ(rt::test::errorOf([&] { Shell((dir / "missing").string() + " arg"); }),
              kFileNotFound);
    EXPECT_GT(Shell("\"" + (dir / "doc.txt").string() + "\" a;b $(x)"), 0);
    ASSERT_FALSE(sim->started().empty());
    EXPECT_EQ(sim->started().back().argv,
              (std::vector<std::string>{(dir / "doc.txt").string(), "a;b", "$(x)"}));
}

} // namespace
