// The microphone on a real sound server that goes away while the
// recogniser listens and comes back on the same socket.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#include "runtime/core/UiThread.h"
#include "runtime/speech/SpeechRecogniser.h"
#include "tests/pocketsphinx/SoundServer.h"
#include "tests/pocketsphinx/SynthesisedSpeech.h"
#include "tests/support/TestSupport.h"

using namespace rt;
using namespace rt::speech;
namespace fs = std::filesystem;

namespace {

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Runs the user-interface thread's posted work until `done` holds or the
// seconds pass; whether it held.
template <class Done> bool pumpUntil(Done done, double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (true) {
        uithread::runPosted();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

class SoundServerRestart : public testing::Test {
protected:
    void SetUp() override {
        if (!test::SoundServer::installed())
            GTEST_SKIP() << "pulseaudio or pulseaudio-utils not installed";
        if (!test::synthesise("notepad", m_dir / "notepad.wav", m_dir) ||
            !test::synthesise("press F5", m_dir / "f5.wav", m_dir))
            GTEST_SKIP() << "espeak-ng or sox not installed";
        std::ofstream(m_dir / "temp.txt", std::ios::binary)
            << "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=Notepad\r\n"
               "<start>=Press  F5\r\n<start>=Mail\r\n";
    }
    // A server, then a recogniser on the engine's own microphone, as the
    // program has it, listening to it.
    void listen(test::SoundServer::Beside beside = test::SoundServer::Beside::NoCaptureDevice) {
        m_server.emplace(beside);
        ASSERT_TRUE(m_server->start()) << m_server->log();
        m_sr = std::make_shared<SpeechRecogniser>(std::make_unique<PocketSphinxEngine>());
        m_sr->advise([this](DispId id, std::span<const Variant> args) {
            if (id == kPhraseRecognizedEvent)
                m_phrases.push_back(args[5].toString());
        });
        m_sr->setStatusWatcher([this] { m_statuses.push_back(m_sr->engineStatus()); });
        m_sr->GrammarFromFile((m_dir / "temp.txt").string());
        m_sr->Activate();
        ASSERT_TRUE(m_sr->active()) << m_sr->takeProblem();
    }
    void TearDown() override {
        m_sr.reset();
        uithread::runPosted();
        m_server.reset();
        fs::remove_all(m_dir);
    }

    EngineState state() const { return m_sr->engineStatus().state; }
    bool heard(const std::vector<std::string>& phrases, double seconds = 10) {
        return pumpUntil([&] { return m_phrases == phrases; }, seconds);
    }

    fs::path m_dir = test::uniqueTempDir("sound-server-restart");
    std::optional<test::SoundServer> m_server;
    std::shared_ptr<SpeechRecogniser> m_sr;
    std::vector<std::string> m_phrases;
    std::vector<EngineStatus> m_statuses;
};

struct MachineRow {
    std::string name;
    test::SoundServer::Beside beside;
    friend void PrintTo(const MachineRow& row, std::ostream* os) { *os << row.name; }
};

class SoundServerRestartOn : public SoundServerRestart,
                             public testing::WithParamInterface<MachineRow> {};

// A capture device of its own beside the server (the sound card it let go
// of) is no stand-in for it: the server is waited for.
TEST_P(SoundServerRestartOn, ListeningGoesOnByItselfWhenTheServerIsBackAndSaysSoMeanwhile) {
    ASSERT_NO_FATAL_FAILURE(listen(GetParam().beside));
    ASSERT_TRUE(m_server->play(m_dir / "notepad.wav"));
    ASSERT_TRUE(heard({"Notepad"})) << testing::PrintToString(m_phrases);

    m_server->kill();
    // The status says so at once, and why after the first try to open it.
    auto reason = [&] { return m_sr->engineStatus().reason; };
    ASSERT_TRUE(pumpUntil(
        [&] {
            return state() == EngineState::SourceUnavailable &&
                   reason().find("Sound server cannot be opened") != std::string::npos;
        },
        5))
        << reason();
    EXPECT_NE(reason().find("trying again"), std::string::npos) << reason();
    EXPECT_TRUE(m_sr->active());
    // Waiting for the server costs next to no processor time.
    double cpu = cpuSeconds();
    pumpUntil([] { return false; }, 1.0);
    EXPECT_LT(cpuSeconds() - cpu, 0.5) << "the wait for the server spins";
    EXPECT_EQ(state(), EngineState::SourceUnavailable);
    EXPECT_TRUE(std::any_of(m_statuses.begin(), m_statuses.end(), [](const EngineStatus& s) {
        return s.state == EngineState::SourceUnavailable;
    })) << "the watcher was not told";

    ASSERT_TRUE(m_server->start()) << m_server->log();
    ASSERT_TRUE(pumpUntil([&] { return state() == EngineState::Ready; }, 10))
        << m_sr->engineStatus().reason;
    ASSERT_FALSE(m_statuses.empty());
    EXPECT_EQ(m_statuses.back().state, EngineState::Ready) << "the watcher was not told";
    EXPECT_TRUE(m_sr->active());
    ASSERT_TRUE(m_server->play(m_dir / "f5.wav"));
    EXPECT_TRUE(heard({"Notepad", "Press  F5"})) << testing::PrintToString(m_phrases);
}

INSTANTIATE_TEST_SUITE_P(Machines, SoundServerRestartOn,
                         testing::Values(MachineRow{"ServerOnly",
                                                    test::SoundServer::Beside::NoCaptureDevice},
                                         MachineRow{"ServerAndACaptureDevice",
                                                    test::SoundServer::Beside::ACaptureDevice}),
                         test::RowName{});

// A start that finds the server away is no failure: it waits the same way.
TEST_F(SoundServerRestart, StoppingWhileTheServerIsAwayEndsTheWaitAndTheNextStartWaitsAgain) {
    ASSERT_NO_FATAL_FAILURE(listen());
    m_server->kill();
    ASSERT_TRUE(pumpUntil([&] { return state() == EngineState::SourceUnavailable; }, 5));
    m_sr->Deactivate();
    EXPECT_EQ(state(), EngineState::Ready) << "a stale word after listening stopped";
    m_sr->takeProblem();
    m_sr->Activate();
    EXPECT_TRUE(m_sr->active()) << m_sr->activateProblem();
    EXPECT_EQ(m_sr->takeProblem(), "");
    EXPECT_EQ(state(), EngineState::SourceUnavailable);
    EXPECT_NE(m_sr->engineStatus().reason.find("Sound server cannot be opened"), std::string::npos)
        << m_sr->engineStatus().reason;
    EXPECT_NE(m_sr->engineStatus().reason.find("trying again"), std::string::npos)
        << m_sr->engineStatus().reason;

    ASSERT_TRUE(m_server->start()) << m_server->log();
    ASSERT_TRUE(pumpUntil([&] { return state() == EngineState::Ready; }, 10))
        << m_sr->engineStatus().reason;
    ASSERT_TRUE(m_server->play(m_dir / "notepad.wav"));
    EXPECT_TRUE(heard({"Notepad"})) << testing::PrintToString(m_phrases);
}

} // namespace
