#include "voicecommand/frmQuibo.h"

#include <filesystem>
#include <fstream>

#include "runtime/forms/UserInput.h"
#include "runtime/platform/desktop/User32.h"
#include "runtime/platform/registry/Registry.h"
#include "runtime/platform/registry/Settings.h"
#include "runtime/speech/ScriptedEngine.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/CApp.h"

namespace {

const std::string kHeader =
    "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n";

class MainWindow : public ProgramFixture {
protected:
    rt::speech::ScriptedEngine& engine(frmQuibo& main) {
        return dynamic_cast<rt::speech::ScriptedEngine&>(main.DirectSR1->engine());
    }
};

TEST_F(MainWindow, FirstStartCreatesTheVocabFolderAndUsesTheDefaultScale) {
    frmQuibo& main = start();
    EXPECT_TRUE(std::filesystem::is_directory(folder.vocab()));
    EXPECT_EQ(main.VUMeter.Max(), 3000);
    EXPECT_TRUE(main.DirectSR1->active());
    // No grammar file yet: one is built from nothing configured.
    EXPECT_EQ(folder.read("temp.txt"), kHeader);
    EXPECT_EQ(main.stbVCmd.PanelText(2).find("temp.txt"), std::string::npos);
    EXPECT_TRUE(engine(main).say("switch to"));
    EXPECT_TRUE(desktop->window(main.hWnd())->topmost);
}

TEST_F(MainWindow, StartUpBuildsOnlyAMissingGrammarFile) {
    rt::HWND editor = addWindow("Editor", "notes.txt");
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    folder.makeVocabFolder();
    writeVocab("Edit", {"Copy:^c"});
    frmQuibo& main = start();
    EXPECT_EQ(folder.read("temp.txt"), kHeader + "<start>=Notes\r\n<start>=Copy\r\n");
    EXPECT_TRUE(engine(main).say("Notes"));
    EXPECT_TRUE(engine(main).say("Copy"));
    EXPECT_EQ(keyboard->transcript(editor), "<CTRLc>CTRL");
    rt::form<frmQuibo>().unload();
    Program::DiscardForms();
    Program::reset();

    // A grammar file that is there is loaded as it stands.
    folder.write("temp.txt", kHeader + "<start>=Notes\r\n");
    frmQuibo& again = start();
    EXPECT_EQ(folder.read("temp.txt"), kHeader + "<start>=Notes\r\n");
    EXPECT_FALSE(engine(again).say("Copy"));
}

TEST_F(MainWindow, TheMeterScaleComesFromTheUsersSettingOrTheDefaultWhenItIsUnusable) {
    struct Row {
        const char* setting;
        float scale;
        bool told;
    };
    const Row rows[] = {{"5000", 5000, false}, {"12000.4", 12000.4f, false},
                        {"abc", 3000, true},   {"", 3000, true},
                        {"-5", 3000, true},    {"0", 3000, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.setting);
        rt::SaveSetting("RiriDozuzeze", "Startup", "VUMeter", row.setting);
        frmQuibo& main = start();
        EXPECT_FLOAT_EQ(main.VUMeter.Max(), row.scale);
        EXPECT_EQ(main.stbVCmd.PanelText(2).find("sound meter scale") != std::string::npos, row.told);
        // Telling it costs the setting nothing: it is left for the user.
        EXPECT_EQ(rt::GetSetting("RiriDozuzeze", "Startup", "VUMeter"), row.setting);
        rt::form<frmQuibo>().unload();
        Program::DiscardForms();
        Program::reset();
    }
}

// A damaged settings file met at start-up is shown in the status bar, as
// the other start-up problems are, and only by the run that met it.
TEST_F(MainWindow, ADamagedRegistryFileIsShownInTheStatusBarOnce) {
    const std::filesystem::path hive = registryDir / "HKEY_CURRENT_USER.reg";
    std::ofstream(hive, std::ios::binary) << "quibo-registry 1\nkey \"Software\"\nvalue";
    frmQuibo& main = start();
    const std::string status = main.stbVCmd.PanelText(2);
    EXPECT_NE(status.find(" - The registry file " + hive.string() + " is damaged"),
              std::string::npos)
        << status;
    EXPECT_NE(status.find("it was moved to "), std::string::npos) << status;
    rt::form<frmQuibo>().unload();
    Program::DiscardForms();
    Program::reset();

    frmQuibo& again = start();
    EXPECT_EQ(again.stbVCmd.PanelText(2).find("registry file"), std::string::npos);
}

TEST_F(MainWindow, APhraseIsDispatchedAndShownInTheStatusBar) {
    rt::HWND editor = addWindow("Editor", "notes.txt");
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    writeVocab("Edit", {"Notes:typed", "Copy:^c"});
    folder.write("temp.txt", kHeader + "<start>=Notes\r\n<start>=Copy\r\n");
    frmQuibo& main = start();
    engine(main).say("Notes");
    EXPECT_EQ(rt::GetForegroundWindow(), editor);
    // A name of an application is never looked up as a vocabulary phrase.
    EXPECT_TRUE(keyboard->received(editor).empty());
    EXPECT_EQ(main.stbVCmd.PanelText(1), "Notes");
    engine(main).say("Copy");
    EXPECT_EQ(keyboard->transcript(editor), "<CTRLc>CTRL");
    EXPECT_EQ(main.stbVCmd.PanelText(1), "Copy");
}

TEST_F(MainWindow, ALevelAboveTheMaximumLeavesTheMeter) {
    frmQuibo& main = start();
    engine(main).level(1200);
    EXPECT_EQ(main.VUMeter.Value(), 1200);
    engine(main).level(4000);
    EXPECT_EQ(main.VUMeter.Value(), 1200);
}

TEST_F(MainWindow, AltF1ActsAsAMeterClickAndF1AloneDoesNothing) {
    frmQuibo& main = start();
    struct {
        int shift;
        bool pausedAfter;
    } presses[] = {{0, false}, {rt::vbAltMask, true}, {rt::vbAltMask | rt::vbCtrlMask, false}};
    for (const auto& p : presses) {
        rt::UserInput::keyDown(main.cmdConfigure, 112, p.shift);
        EXPECT_EQ(main.paused(), p.pausedAfter) << "shift " << p.shift;
        EXPECT_EQ(main.DirectSR1->active(), !p.pausedAfter);
    }
}

TEST_F(MainWindow, TwoClicksPauseAndResumeEachReloadingTheGrammar) {
    frmQuibo& main = start();
    folder.write("temp.txt", kHeader + "<start>=Later\r\n");
    rt::UserInput::click(main.VUMeter);
    EXPECT_TRUE(main.paused());
    EXPECT_FALSE(main.DirectSR1->active());
    EXPECT_EQ(main.VUMeter.Value(), 0);
    rt::UserInput::click(main.VUMeter);
    EXPECT_FALSE(main.paused());
    EXPECT_TRUE(main.DirectSR1->active());
    EXPECT_TRUE(engine(main).say("Later"));
}

TEST_F(MainWindow, AfterConfigureListeningWaitsForOneClick) {
    frmQuibo& main = start();
    user->whileModal("frmApp", [](rt::Form& f) { f.Hide(); });
    rt::UserInput::click(main.cmdConfigure);
    EXPECT_EQ(user->pending(), 0u);
    EXPECT_FALSE(main.DirectSR1->active());
    EXPECT_TRUE(main.app().PBClickState());
    rt::UserInput::click(main.VUMeter);
    EXPECT_TRUE(main.DirectSR1->active());
    EXPECT_FALSE(main.paused());
    EXPECT_FALSE(main.app().PBClickState());
}

TEST_F(MainWindow, OnlyLaterConfiguresRefillTheApplicationList) {
    writeApps({key("A", "a") + "*One~V$"});
    frmQuibo& main = start();
    user->whileModal("frmApp", [](rt::Form& f) { f.Hide(); });
    rt::UserInput::click(main.cmdConfigure);
    EXPECT_EQ(rt::form<frmApp>()->lstVAppCmd.ListCount(), 1);
    user->whileModal("frmApp", [](rt::Form& f) { f.Hide(); });
    rt::UserInput::click(main.cmdConfigure);
    EXPECT_EQ(rt::form<frmApp>()->lstVAppCmd.ListCount(), 2);
}

TEST_F(MainWindow, ClosingTheMainWindowRewritesTheGrammarAndEnds) {
    writeApps({key("A", "a") + "*Mail~Edit$"});
    writeVocab("Edit", {"Copy:^c"});
    frmQuibo& main = start();
    user->whileModal("frmApp", [](rt::Form& f) { f.Hide(); });
    rt::UserInput::click(main.cmdConfigure);
    rt::form<frmQuibo>().unload();
    EXPECT_TRUE(Program::Ended());
    // The last rewrite, after frmApp emptied the vocabulary list, still
    // holds every vocabulary's phrases for the next start.
    EXPECT_EQ(folder.read("temp.txt"), kHeader + "<start>=Mail\r\n<start>=Copy\r\n");
}

} // namespace

namespace {

// The status bar's second panel says what the recogniser does, and shows a
// problem only while it holds.
TEST_F(MainWindow, TheStatusBarTellsWhatTheRecogniserIsDoing) {
    frmQuibo& main = start();
    // What it does, then " - " and each problem that holds.
    auto state = [&] {
        std::string text = main.stbVCmd.PanelText(2);
        return text.substr(0, text.find(" - "));
    };
    auto grammarProblem = [&] {
        return main.stbVCmd.PanelText(2).find("Grammar file not found: ") != std::string::npos;
    };
    EXPECT_EQ(state(), "Listening");
    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Paused");
    std::filesystem::remove(folder.path() / "temp.txt");
    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Listening");
    EXPECT_TRUE(grammarProblem()) << main.stbVCmd.PanelText(2);
    // Written again and loaded: the problem is gone with the next load.
    folder.write("temp.txt", kHeader);
    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Paused");
    EXPECT_FALSE(grammarProblem()) << main.stbVCmd.PanelText(2);
    user->whileModal("frmApp", [&](rt::Form& f) {
        EXPECT_EQ(state(), "Off until the next click");
        rt::UserInput::closeForm(f);
    });
    rt::UserInput::click(main.cmdConfigure);
    EXPECT_EQ(state(), "Off until the next click");
    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Listening");
}

} // namespace
