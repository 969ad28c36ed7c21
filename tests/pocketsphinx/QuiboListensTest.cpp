// Quibo hearing speech: the main window on the simulated desktop with the
// PocketSphinx engine reading a WAV file in place of the microphone.

#include <gtest/gtest.h>

#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#include "runtime/backends/pocketsphinx/WavFileSource.h"
#include "runtime/core/UiThread.h"
#include "runtime/platform/desktop/User32.h"
#include "tests/pocketsphinx/SynthesisedSpeech.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/TestSupport.h"
#include "voicecommand/frmQuibo.h"

namespace {

class QuiboListens : public ProgramFixture {
protected:
    void TearDown() override { rt::speech::setRecogniserEngineFactory(nullptr); }
};

TEST_F(QuiboListens, ASpokenNameSwitchesAndASpokenPhraseTypes) {
    auto scratch = rt::test::uniqueTempDir("quibo-listens");
    auto wav = scratch / "spoken.wav";
    if (!rt::test::synthesise("notes", scratch / "1.wav", scratch) ||
        !rt::test::synthesise("greet them", scratch / "2.wav", scratch) ||
        !rt::test::concatenate({scratch / "1.wav", scratch / "2.wav"}, wav))
        GTEST_SKIP() << "espeak-ng or sox not installed";
    folder.makeVocabFolder();
    rt::HWND other = addWindow("Other", "other");
    desktop->activate(other);
    rt::HWND editor = addWindow("Editor", "notes.txt");
    writeApps({key("Editor", "notes.txt") + "*Notes~Edit$"});
    writeVocab("Edit", {"Greet them:^g"});
    folder.write("temp.txt", "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n"
                             "<start>=Notes\r\n<start>=Greet them\r\n");
    rt::speech::PocketSphinxEngine* engine = nullptr;
    rt::speech::setRecogniserEngineFactory([&] {
        auto e = std::make_unique<rt::speech::PocketSphinxEngine>(
            [wav] { return std::make_unique<rt::speech::WavFileSource>(wav.string()); });
        engine = e.get();
        return e;
    });
    frmQuibo& main = rt::form<frmQuibo>().get();
    ASSERT_NE(engine, nullptr);
    for (int i = 0; i < 6000 && !(engine->finished() && !rt::uithread::hasPosted()); ++i) {
        rt::uithread::runPosted();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    rt::uithread::runPosted();
    EXPECT_EQ(rt::GetForegroundWindow(), editor);
    EXPECT_EQ(keyboard->transcript(editor), "<CTRLg>CTRL");
    EXPECT_EQ(main.stbVCmd.PanelText(1), "Greet them");
    std::filesystem::remove_all(scratch);
}

} // namespace

#include "runtime/backends/pocketsphinx/MicrophoneSource.h"

namespace {

// Without a sound server or a capture device the microphone says why, for
// both ways it tried; with one, it opens.
TEST(Microphone, OpensOrNamesBothReasons) {
    rt::speech::MicrophoneSource mic;
    try {
        mic.open();
        mic.close();
    } catch (const rt::RuntimeError& e) {
        EXPECT_NE(e.description().find("Sound server cannot be opened"), std::string::npos) << e.description();
        EXPECT_NE(e.description().find("ALSA"), std::string::npos) << e.description();
    }
}

} // namespace
