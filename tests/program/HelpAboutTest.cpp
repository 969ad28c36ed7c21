#include <optional>

#include "runtime/backends/sim/SimHelp.h"
#include "runtime/core/App.h"
#include "runtime/core/UiThread.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/help/HtmlHelp.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/CHelp.h"
#include "voicecommand/frmAbout.h"

namespace {

const std::string kNoSysInfo = "System Information Is Unavailable At This Time";

class HelpAbout : public ProgramFixture {
protected:
    HelpAbout() { rt::setHelp(help); }
    ~HelpAbout() override {
        rt::form<frmAbout>().unload();
        rt::setHelp(nullptr);
        rt::App().setVersion(savedVersion[0], savedVersion[1], savedVersion[2]);
    }
    frmAbout& about() {
        frmAbout& box = rt::form<frmAbout>().get();
        box.Show();
        return box;
    }
    static void setText(rt::HKEY root, const std::string& key, const std::string& name,
                        const std::string& text, uint32_t type = rt::REG_SZ) {
        rt::HKEY h = 0;
        ASSERT_EQ(rt::RegCreateKeyExA(root, key, "", 0, rt::KEY_ALL_ACCESS, nullptr, &h, nullptr),
                  rt::ERROR_SUCCESS);
        ASSERT_EQ(rt::RegSetValueExA(h, name, type, reinterpret_cast<const uint8_t*>(text.data()),
                                     static_cast<uint32_t>(text.size())),
                  rt::ERROR_SUCCESS);
        rt::RegCloseKey(h);
    }

    std::shared_ptr<rt::SimHelp> help = std::make_shared<rt::SimHelp>();
    int savedVersion[3] = {rt::App().Major(), rt::App().Minor(), rt::App().Revision()};
};

TEST_F(HelpAbout, HelpFromEitherConfigurationWindowOpensTheProgramsHelpAtItsDefaultTopic) {
    folder.write("quibohelp.chm", "help");
    struct {
        const char* window;
        std::function<void()> script;
    } rows[] = {
        {"frmApp",
         [&] {
             user->whileModal("frmApp", [](rt::Form& f) {
                 rt::UserInput::chooseMenu(dynamic_cast<frmApp&>(f).mnuQUIBOHelp);
                 f.Hide();
             });
         }},
        {"frmVocab",
         [&] {
             user->whileModal("frmApp", [](rt::Form& f) {
                 rt::UserInput::chooseMenu(dynamic_cast<frmApp&>(f).mnuAppSwitch);
             });
             user->whileModal("frmVocab", [](rt::Form& f) {
                 rt::UserInput::chooseMenu(dynamic_cast<frmVocab&>(f).mnuQUIBOHelp);
                 f.Hide();
             });
         }},
    };
    frmQuibo& main = start();
    for (const auto& row : rows) {
        size_t before = help->requests().size();
        row.script();
        rt::UserInput::click(main.cmdConfigure);
        EXPECT_EQ(user->pending(), 0u) << row.window;
        ASSERT_EQ(help->requests().size(), before + 1) << row.window;
        const rt::HelpRequest& shown = help->requests().back();
        EXPECT_EQ(shown.file, folder.path() / "quibohelp.chm") << row.window;
        EXPECT_EQ(shown.window, "");
        EXPECT_EQ(shown.command, rt::HH_DISPLAY_TOPIC);
    }
}

TEST_F(HelpAbout, TheHelpTargetNamesTheWindowAndTheTopicAsked) {
    struct {
        std::string file;
        std::string pane;
        std::optional<int32_t> context;
        std::string shownFile;
        std::string shownWindow;
        uint32_t command;
        int32_t shownContext;
    } rows[] = {
        {"/q/quibohelp.chm", "", {}, "/q/quibohelp.chm", "", rt::HH_DISPLAY_TOPIC, 0},
        {" /q/quibohelp.chm ", " main ", {}, "/q/quibohelp.chm", "main", rt::HH_DISPLAY_TOPIC, 0},
        {"/q/quibohelp.chm", "", 1002, "/q/quibohelp.chm", "", rt::HH_HELP_CONTEXT, 1002},
    };
    for (const auto& row : rows) {
        // No such file here: the user is told too.
        user->answerMsgBox(rt::vbOK, "Help cannot be opened");
        CHelp().Show(row.file, row.pane, row.context);
        ASSERT_FALSE(help->requests().empty());
        const rt::HelpRequest& shown = help->requests().back();
        EXPECT_EQ(shown.file, row.shownFile) << row.file << "|" << row.pane;
        EXPECT_EQ(shown.window, row.shownWindow) << row.file << "|" << row.pane;
        EXPECT_EQ(shown.command, row.command);
        EXPECT_EQ(shown.contextId, row.shownContext);
    }
}

// No desktop here shows compiled help: the page shipped beside the program
// opens instead.
TEST_F(HelpAbout, OnTheDesktopTheHelpPageBesideTheProgramOpens) {
    rt::setHelp(nullptr);
    folder.write("quibohelp.html", "<html></html>");
    CHelp().Show(rt::App().pathOf("quibohelp.chm"), "");
    ASSERT_EQ(shell->calls().size(), 1u);
    EXPECT_EQ(shell->calls()[0].verb, "open");
    EXPECT_EQ(shell->calls()[0].file, folder.path() / "quibohelp.html");
}

// Nothing on the desktop can open the page (or it is gone): the user is
// told, not left waiting.
TEST_F(HelpAbout, HelpThatCannotOpenSaysSo) {
    rt::setHelp(nullptr);
    user->answerMsgBox(rt::vbOK, "Help cannot be opened: " + rt::App().pathOf("quibohelp.chm"));
    CHelp().Show(rt::App().pathOf("quibohelp.chm"), "");
    EXPECT_EQ(user->pending(), 0u);
}

TEST_F(HelpAbout, TheBoxShowsTheProgramsVersionAndOKClosesIt) {
    struct {
        int major, minor, revision;
        const char* label;
    } rows[] = {{2, 0, 3, "Version 2.0.3"}, {10, 12, 1234, "Version 10.12.1234"}};
    start();
    for (const auto& row : rows) {
        rt::App().setVersion(row.major, row.minor, row.revision);
        std::string caption, label;
        user->whileModal("frmApp", [](rt::Form& f) {
            rt::UserInput::chooseMenu(dynamic_cast<frmApp&>(f).mnuAboutQuibo);
            f.Hide();
        });
        user->whileModal("frmAbout", [&](rt::Form& f) {
            auto& box = dynamic_cast<frmAbout&>(f);
            caption = box.Caption();
            label = box.lblVersion.Caption();
            rt::UserInput::click(box.cmdOK);
        });
        rt::UserInput::click(rt::form<frmQuibo>()->cmdConfigure);
        EXPECT_EQ(user->pending(), 0u);
        EXPECT_EQ(caption, "About QUIBO! Voice Command");
        EXPECT_EQ(label, row.label);
        EXPECT_FALSE(rt::form<frmAbout>().isLoaded());
    }
}

struct SysInfoRow {
    std::string name;
    std::optional<std::string> path;     // the "PATH" value; {dir} is the program folder
    std::optional<std::string> location; // the "MSINFO" value
    std::vector<std::string> files;      // created below the program folder
    std::string started;                 // empty: the message instead
};

void PrintTo(const SysInfoRow& row, std::ostream* os) {
    *os << row.name;
}

class SysInfo : public HelpAbout, public testing::WithParamInterface<SysInfoRow> {
protected:
    std::string expand(std::string text) const {
        for (size_t at; (at = text.find("{dir}")) != std::string::npos;)
            text.replace(at, 5, folder.path().string());
        return text;
    }
};

TEST_P(SysInfo, StartsTheProgramTheRegistryNamesOrSaysItIsUnavailable) {
    const SysInfoRow& row = GetParam();
    for (const std::string& f : row.files)
        folder.write(f, "#!/bin/true\n");
    // The first key exists in every row, holding "PATH" or only another value.
    setText(rt::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
            row.path ? "PATH" : "Other", expand(row.path.value_or("x")));
    if (row.location)
        setText(rt::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                expand(*row.location));
    if (row.started.empty())
        user->answerMsgBox(rt::vbOK, kNoSysInfo);
    rt::UserInput::click(about().cmdSysInfo);
    EXPECT_EQ(user->pending(), 0u);
    if (row.started.empty()) {
        EXPECT_TRUE(shell->started().empty());
        ASSERT_EQ(user->messageBoxes().size(), 1u);
        EXPECT_EQ(user->messageBoxes()[0].buttons, rt::vbOKOnly);
        EXPECT_EQ(user->messageBoxes()[0].title, rt::App().Title());
    } else {
        ASSERT_EQ(shell->started().size(), 1u);
        EXPECT_EQ(shell->started()[0].argv, std::vector<std::string>{expand(row.started)});
        EXPECT_EQ(shell->started()[0].showCmd, 1);
        EXPECT_TRUE(user->messageBoxes().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SysInfo,
    testing::Values(SysInfoRow{"PathValue", "{dir}/sysinfo", {}, {"sysinfo"}, "{dir}/sysinfo"},
                    SysInfoRow{"PathWithBlanks",
                               "{dir}/my tools/sysinfo",
                               {},
                               {"my tools/sysinfo"},
                               "{dir}/my tools/sysinfo"},
                    SysInfoRow{"PathBeforeLocation",
                               "{dir}/sysinfo",
                               "{dir}/shared",
                               {"sysinfo", "shared/MSINFO32.EXE"},
                               "{dir}/sysinfo"},
                    SysInfoRow{"LocationFolder",
                               {},
                               "{dir}/shared",
                               {"shared/MSINFO32.EXE"},
                               "{dir}/shared/MSINFO32.EXE"},
                    SysInfoRow{"LocationWithBlanks",
                               {},
                               "{dir}/shared tools",
                               {"shared tools/MSINFO32.EXE"},
                               "{dir}/shared tools/MSINFO32.EXE"},
                    SysInfoRow{
                        "LocationWithoutProgram", {}, "{dir}/shared", {"shared/other.exe"}, ""},
                    SysInfoRow{"PathToMissingProgram", "{dir}/gone", {}, {}, ""},
                    SysInfoRow{"EmptyPath", "", {}, {}, ""},
                    SysInfoRow{"NothingRegistered", {}, {}, {}, ""}),
    rt::test::RowName());

TEST_F(HelpAbout, GetKeyValueReadsTextAndNumbersAndNothingElse) {
    const std::string key = "SOFTWARE\\Quibo Test";
    struct {
        const char* name;
        uint32_t type;
        std::string bytes;
        std::string keyVal;
        bool result;
    } rows[] = {
        {"TextWithZero", rt::REG_SZ, std::string("abc\0", 4), "abc", true},
        {"TextWithoutZero", rt::REG_SZ, "abc", "abc", true},
        {"Number", rt::REG_DWORD, "\x78\x56\x34\x12", "&h12345678", true},
        // Each byte without its leading zero, and a last zero byte dropped.
        {"SmallNumber", rt::REG_DWORD, std::string("\x03\x0F\x01\x00", 4), "&h1F3", true},
        {"Binary", rt::REG_BINARY, "\x01\x02", "before", true},
        {"TooLong", rt::REG_SZ, std::string(2000, 'x'), "", false},
    };
    frmAbout& box = about();
    for (const auto& row : rows) {
        setText(rt::HKEY_LOCAL_MACHINE, key, row.name, row.bytes, row.type);
        std::string value = "before";
        EXPECT_EQ(box.GetKeyValue(rt::HKEY_LOCAL_MACHINE, key, row.name, value), row.result)
            << row.name;
        EXPECT_EQ(value, row.keyVal) << row.name;
    }
    std::string value = "before";
    EXPECT_FALSE(box.GetKeyValue(rt::HKEY_LOCAL_MACHINE, key, "Missing", value));
    EXPECT_EQ(value, "");
    value = "before";
    EXPECT_FALSE(box.GetKeyValue(rt::HKEY_LOCAL_MACHINE, key + "\\None", "Missing", value));
    EXPECT_EQ(value, "");
}

TEST_F(HelpAbout, WithoutTheBrowsersObjectTheSiteOpensInTheDesktopsBrowser) {
    rt::UserInput::click(about().cmdUlvarWebSvr);
    ASSERT_EQ(shell->calls().size(), 1u);
    EXPECT_EQ(shell->calls()[0].verb, "open");
    EXPECT_EQ(shell->calls()[0].file, frmAbout::kWebSite);
}

// The desktop took the page or the site but found nothing to show it with,
// which it tells only when its opener ends: the user hears it then.
TEST_F(HelpAbout, APageOrSiteNothingCanShowIsToldWhenTheOpenerEnds) {
    rt::setHelp(nullptr);
    folder.write("quibohelp.html", "<html></html>");
    shell->setOpenedFilesFail(true);
    struct {
        const char* name;
        std::function<void()> open;
        std::string told;
    } rows[] = {
        {"help", [] { CHelp().Show(rt::App().pathOf("quibohelp.chm"), ""); },
         "Help cannot be opened: " + rt::App().pathOf("quibohelp.chm")},
        {"web site", [&] { rt::UserInput::click(about().cmdUlvarWebSvr); },
         std::string("The web site cannot be opened: ") + frmAbout::kWebSite},
    };
    for (const auto& row : rows) {
        user->answerMsgBox(rt::vbOK, row.told);
        row.open();
        EXPECT_EQ(user->pending(), 1u) << row.name << ": told before the opener ended";
        rt::uithread::runPosted();
        EXPECT_EQ(user->pending(), 0u) << row.name;
    }
    // An opener that ends well tells nothing.
    shell->setOpenedFilesFail(false);
    CHelp().Show(rt::App().pathOf("quibohelp.chm"), "");
    rt::UserInput::click(about().cmdUlvarWebSvr);
    rt::uithread::runPosted();
}

} // namespace
