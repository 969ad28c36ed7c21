#include "runtime/platform/help/HtmlHelp.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "runtime/backends/sim/SimHelp.h"
#include "runtime/backends/sim/SimShell.h"
#include "runtime/platform/help/ShellHelp.h"
#include "runtime/platform/shell/Shell32.h"
#include "tests/support/TestSupport.h"

using namespace rt;

namespace {

class HelpFiles : public testing::Test {
protected:
    HelpFiles() {
        setShell(shell);
        setHelp(nullptr);
    }
    ~HelpFiles() override {
        setHelp(nullptr);
        setShell(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string file(const std::string& name, bool create) {
        std::filesystem::path p = dir / name;
        if (create)
            std::ofstream(p) << "<html></html>";
        return p.string();
    }

    std::filesystem::path dir = test::uniqueTempDir("quibo-help");
    std::shared_ptr<SimShell> shell = std::make_shared<SimShell>();
};

TEST_F(HelpFiles, TargetIsSplitIntoFileAndWindow) {
    auto sim = std::make_shared<SimHelp>();
    setHelp(sim);
    std::string odd = file("odd>name.chm", true);
    struct {
        std::string target;
        std::string file;
        std::string window;
    } cases[] = {
        {"/opt/q/help.chm", "/opt/q/help.chm", ""},
        {"/opt/q/help.chm>main", "/opt/q/help.chm", "main"},
        {"/opt/q/help.chm>", "/opt/q/help.chm", ""},
        {odd, odd, ""},
        {odd + ">pane", odd, "pane"},
    };
    for (const auto& c : cases) {
        HtmlHelpA(0, c.target, HH_DISPLAY_TOPIC, 0);
        ASSERT_FALSE(sim->requests().empty()) << c.target;
        EXPECT_EQ(sim->requests().back().file, c.file) << c.target;
        EXPECT_EQ(sim->requests().back().window, c.window) << c.target;
    }
}

TEST_F(HelpFiles, OnlyTheTwoCommandsReachTheBackendAndOnlyAContextCarriesItsNumber) {
    auto sim = std::make_shared<SimHelp>();
    setHelp(sim);
    std::string page = file("help.chm", true);
    EXPECT_TRUE(HtmlHelpA(0, page, HH_DISPLAY_TOPIC, 99));
    EXPECT_TRUE(HtmlHelpA(0, page, HH_HELP_CONTEXT, 1040));
    EXPECT_FALSE(HtmlHelpA(0, page, 0x0D, 5));
    EXPECT_FALSE(HtmlHelpA(0, "", HH_DISPLAY_TOPIC, 0));
    EXPECT_FALSE(HtmlHelpA(0, ">main", HH_DISPLAY_TOPIC, 0));
    ASSERT_EQ(sim->requests().size(), 2u);
    EXPECT_EQ(sim->requests()[0].command, HH_DISPLAY_TOPIC);
    EXPECT_EQ(sim->requests()[0].contextId, 0);
    EXPECT_EQ(sim->requests()[1].command, HH_HELP_CONTEXT);
    EXPECT_EQ(sim->requests()[1].contextId, 1040);
}

TEST_F(HelpFiles, AMissingHelpFileIsReportedAsNotShown) {
    auto sim = std::make_shared<SimHelp>();
    setHelp(sim);
    EXPECT_FALSE(HtmlHelpA(0, file("none.chm", false), HH_DISPLAY_TOPIC, 0));
}

// The default backend opens through the shell; a compiled file that is not
// there gives way to the page of the same name.
TEST_F(HelpFiles, TheDefaultBackendOpensTheFileOrItsPageThroughTheShell) {
    struct {
        const char* name;
        bool chmThere;
        bool htmlThere;
        const char* opened;
        bool shown;
    } cases[] = {
        {"both", true, true, "both.chm", true},
        {"pageonly", false, true, "pageonly.html", true},
        {"neither", false, false, "neither.chm", false},
    };
    for (const auto& c : cases) {
        std::string chm = file(std::string(c.name) + ".chm", c.chmThere);
        file(std::string(c.name) + ".html", c.htmlThere);
        EXPECT_EQ(HtmlHelpA(0, chm, HH_DISPLAY_TOPIC, 0), c.shown) << c.name;
        ASSERT_FALSE(shell->calls().empty());
        EXPECT_EQ(shell->calls().back().verb, "open");
        EXPECT_EQ(shell->calls().back().file, (dir / c.opened).string()) << c.name;
    }
}

TEST_F(HelpFiles, OnlyACompiledFileGivesWayToAPage) {
    file("UPPER.html", true);
    file("notes.html", true);
    file("notes.txt.html", true);
    struct {
        std::string given;
        std::string opened;
    } cases[] = {
        {"UPPER.CHM", "UPPER.html"},
        {"notes.txt", "notes.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShellHelp::fileToOpen((dir / c.given).string()), (dir / c.opened).string())
            << c.given;
}

TEST_F(HelpFiles, AContextNumberOrWindowStillOpensTheWholePage) {
    std::string chm = file("ctx.chm", false);
    file("ctx.html", true);
    EXPECT_TRUE(HtmlHelpA(0, chm + ">main", HH_HELP_CONTEXT, 20));
    ASSERT_EQ(shell->calls().size(), 1u);
    EXPECT_EQ(shell->calls()[0].file, (dir / "ctx.html").string());
}

} // namespace
