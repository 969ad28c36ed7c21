// Quibo on a real sound server that restarts while it listens: the main
// window on the simulated desktop with the recogniser the program installs,
// hearing what is played into the server.

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#include "runtime/core/UiThread.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/desktop/User32.h"
#include "tests/pocketsphinx/SoundServer.h"
#include "tests/pocketsphinx/SynthesisedSpeech.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/frmQuibo.h"

namespace {

template <class Done> bool pumpUntil(Done done, double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (true) {
        rt::uithread::runPosted();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

class QuiboSoundServer : public ProgramFixture {
protected:
    void TearDown() override {
        rt::form<frmQuibo>().unload();
        rt::uithread::runPosted();
        rt::speech::setRecogniserEngineFactory(nullptr);
        std::filesystem::remove_all(scratch);
    }
    std::filesystem::path scratch = rt::test::uniqueTempDir("quibo-sound-server-test");
};

TEST_F(QuiboSoundServer, ListeningResumesByItselfWhenTheServerIsBackAndOneClickPauses) {
    if (!rt::test::SoundServer::installed())
        GTEST_SKIP() << "pulseaudio or pulseaudio-utils not installed";
    if (!rt::test::synthesise("notes", scratch / "notes.wav", scratch) ||
        !rt::test::synthesise("greet them", scratch / "greet.wav", scratch))
        GTEST_SKIP() << "espeak-ng or sox not installed";
    // The machine has a sound card beside the server, as a desktop has.
    rt::test::SoundServer server(rt::test::SoundServer::Beside::ACaptureDevice);
    ASSERT_TRUE(server.start()) << server.log();
    folder.makeVocabFolder();
    rt::HWND other = addWindow("Other", "other");
    rt::HWND editor = addWindow("Editor", "notes.txt");
    desktop->activate(other);
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    writeVocab("Edit", {"Greet them:^g"});
    folder.write("temp.txt",
                 "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n"
                 "<start>=Notes\r\n<start>=Greet them\r\n");
    rt::speech::installPocketSphinxEngine();
    frmQuibo& main = start();
    // What the recogniser is doing, without the problems after it.
    auto state = [&] {
        std::string text = main.stbVCmd.PanelText(2);
        return text.substr(0, text.find(" - "));
    };
    ASSERT_TRUE(pumpUntil([&] { return state() == "Listening"; }, 20)) << state();
    ASSERT_TRUE(server.play(scratch / "notes.wav"));
    ASSERT_TRUE(pumpUntil([&] { return rt::GetForegroundWindow() == editor; }, 10))
        << main.stbVCmd.PanelText(1);

    server.kill();
    // Said at once, and why after the first try to open it again.
    ASSERT_TRUE(pumpUntil(
        [&] {
            return state().rfind("Microphone unavailable: ", 0) == 0 &&
                   state().find("cannot be opened") != std::string::npos;
        },
        5))
        << state();
    EXPECT_NE(state().find("trying again"), std::string::npos) << state();

    ASSERT_TRUE(server.start()) << server.log();
    ASSERT_TRUE(pumpUntil([&] { return state() == "Listening"; }, 10)) << state();
    EXPECT_FALSE(main.paused());
    // The meter moves again: levels of the server's silence arrive.
    main.VUMeter.setValue(0);
    EXPECT_TRUE(pumpUntil([&] { return main.VUMeter.Value() > 0; }, 5));
    ASSERT_TRUE(server.play(scratch / "greet.wav"));
    EXPECT_TRUE(pumpUntil([&] { return keyboard->transcript(editor) == "<CTRLg>CTRL"; }, 10))
        << keyboard->transcript(editor) << " / " << main.stbVCmd.PanelText(1);

    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Paused");
    EXPECT_TRUE(main.paused());
    EXPECT_FALSE(main.DirectSR1->active());
    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Listening");
    EXPECT_TRUE(main.DirectSR1->active());
}

} // namespace
