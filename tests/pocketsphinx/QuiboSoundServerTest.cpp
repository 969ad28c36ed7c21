// Quibo on a real sound server that restarts while it listens: the main
// window on the simulated desktop with the recogniser the program installs,
// hearing what is played into the server.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <optional>
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
        server.reset();
        std::filesystem::remove_all(scratch);
    }

    // Speech, a server (not yet started), Quibo's files with "Notes" for the
    // editor and "Greet them" typing Ctrl+G into it, and the recogniser the
    // program installs. False when a tool is missing.
    bool prepare(rt::test::SoundServer::Beside beside) {
        if (!rt::test::SoundServer::installed()) {
            missing = "pulseaudio or pulseaudio-utils not installed";
            return false;
        }
        if (!rt::test::synthesise("notes", scratch / "notes.wav", scratch) ||
            !rt::test::synthesise("greet them", scratch / "greet.wav", scratch)) {
            missing = "espeak-ng or sox not installed";
            return false;
        }
        server.emplace(beside);
        folder.makeVocabFolder();
        rt::HWND other = addWindow("Other", "other");
        editor = addWindow("Editor", "notes.txt");
        desktop->activate(other);
        writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
        writeVocab("Edit", {"Greet them:^g"});
        folder.write("temp.txt",
                     "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n"
                     "<start>=Notes\r\n<start>=Greet them\r\n");
        rt::speech::installPocketSphinxEngine();
        return true;
    }

    // What the recogniser is doing, without the problems after it.
    std::string state() const {
        std::string text = rt::form<frmQuibo>()->stbVCmd.PanelText(2);
        return text.substr(0, text.find(" - "));
    }
    bool becomes(const std::string& wanted, double seconds = 10) {
        return pumpUntil([&] { return state() == wanted; }, seconds);
    }
    // Said at once, and why after the first try to open the microphone; the
    // reason the device gives follows without naming the microphone again.
    bool saysTheMicrophoneIsAway() {
        return pumpUntil(
            [&] {
                std::string text = state();
                return text.rfind("Microphone unavailable: ", 0) == 0 &&
                       text.find("cannot be opened") != std::string::npos &&
                       text.find("trying again") != std::string::npos &&
                       text.find("icrophone", std::strlen("Microphone")) == std::string::npos;
            },
            20);
    }
    bool switchesOnNotes() {
        return server->play(scratch / "notes.wav") &&
               pumpUntil([&] { return rt::GetForegroundWindow() == editor; }, 10);
    }
    // Plays while the window runs, so the meter can be seen to move.
    bool typesOnGreetThem() {
        auto played =
            std::async(std::launch::async, [&] { return server->play(scratch / "greet.wav"); });
        bool typed = pumpUntil(
            [&] {
                loudest = std::max(loudest, rt::form<frmQuibo>()->VUMeter.Value());
                return keyboard->transcript(editor) == "<CTRLg>CTRL" &&
                       played.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            },
            15);
        return played.get() && typed;
    }

    std::filesystem::path scratch = rt::test::uniqueTempDir("quibo-sound-server-test");
    std::optional<rt::test::SoundServer> server;
    rt::HWND editor = 0;
    std::string missing;
    float loudest = 0; // the meter's highest value while speech played
};

TEST_F(QuiboSoundServer, ListeningResumesByItselfWhenTheServerIsBackAndOneClickPauses) {
    // The machine has a sound card beside the server, as a desktop has.
    if (!prepare(rt::test::SoundServer::Beside::ACaptureDevice))
        GTEST_SKIP() << missing;
    ASSERT_TRUE(server->start()) << server->log();
    frmQuibo& main = start();
    ASSERT_TRUE(becomes("Listening", 20)) << state();
    ASSERT_TRUE(switchesOnNotes()) << main.stbVCmd.PanelText(1);

    server->kill();
    ASSERT_TRUE(saysTheMicrophoneIsAway()) << state();

    ASSERT_TRUE(server->start()) << server->log();
    ASSERT_TRUE(becomes("Listening")) << state();
    EXPECT_FALSE(main.paused());
    EXPECT_TRUE(typesOnGreetThem())
        << keyboard->transcript(editor) << " / " << main.stbVCmd.PanelText(1);

    // The meter moved with the speech.
    EXPECT_GT(loudest, 100);

    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Paused");
    EXPECT_TRUE(main.paused());
    EXPECT_FALSE(main.DirectSR1->active());
    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Listening");
    EXPECT_TRUE(main.DirectSR1->active());
}

// Pausing and resuming while the server is away resumes waiting for it:
// once it is back, Quibo listens and the next click pauses.
TEST_F(QuiboSoundServer, ClicksWhileTheServerIsAwayLeaveItWaitingForTheServer) {
    if (!prepare(rt::test::SoundServer::Beside::NoCaptureDevice))
        GTEST_SKIP() << missing;
    ASSERT_TRUE(server->start()) << server->log();
    frmQuibo& main = start();
    ASSERT_TRUE(becomes("Listening", 20)) << state();
    server->kill();
    ASSERT_TRUE(saysTheMicrophoneIsAway()) << state();
    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Paused");
    rt::UserInput::click(main.VUMeter);
    EXPECT_TRUE(saysTheMicrophoneIsAway()) << state();
    EXPECT_FALSE(main.paused());

    ASSERT_TRUE(server->start()) << server->log();
    ASSERT_TRUE(becomes("Listening")) << state();
    EXPECT_TRUE(switchesOnNotes()) << main.stbVCmd.PanelText(1);
    rt::UserInput::click(main.VUMeter);
    EXPECT_EQ(state(), "Paused");
    EXPECT_FALSE(main.DirectSR1->active());
}

// Quibo started before the sound server (a session still starting) waits
// for it while its model loads and after.
TEST_F(QuiboSoundServer, StartedBeforeTheServerItListensOnceTheServerIsUp) {
    if (!prepare(rt::test::SoundServer::Beside::NoCaptureDevice))
        GTEST_SKIP() << missing;
    frmQuibo& main = start();
    ASSERT_TRUE(saysTheMicrophoneIsAway()) << state();
    EXPECT_TRUE(main.DirectSR1->active());
    ASSERT_TRUE(server->start()) << server->log();
    ASSERT_TRUE(becomes("Listening")) << state();
    EXPECT_TRUE(switchesOnNotes()) << main.stbVCmd.PanelText(1);
}

} // namespace
