#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/pocketsphinx/SynthesisedSpeech.h"
#include "tests/support/TestSupport.h"

#include "runtime/backends/pocketsphinx/WavFileSource.h"
#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"
#include "runtime/speech/SpeechRecogniser.h"

using namespace rt;
using namespace rt::speech;
namespace fs = std::filesystem;

namespace {

fs::path dir() {
    static const fs::path folder = rt::test::uniqueTempDir("pocketsphinx_engine");
    return folder;
}

bool synthesise(const std::string& text, const fs::path& out, const rt::test::Voice& voice = {}) {
    return rt::test::synthesise(text, out, dir(), voice);
}

using rt::test::concatenate;

class Listening : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_ready = false;
        if (std::system("command -v espeak-ng >/dev/null && command -v sox >/dev/null") != 0)
            return;
        fs::remove_all(dir());
        fs::create_directories(dir());
        std::vector<fs::path> parts;
        for (const char* text : {"notepad", "quibozilla", "press F5", "mail", "switch to",
                                 "the weather is nice today"}) {
            parts.push_back(dir() / (std::to_string(parts.size()) + ".wav"));
            if (!synthesise(text, parts.back()))
                return;
        }
        s_ready = concatenate(parts, dir() / "commands.wav");
        std::ofstream(dir() / "temp.txt", std::ios::binary)
            << "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n"
               "<start>=Notepad\r\n<start>=Quibozilla\r\n<start>=Press  F5\r\n<start>=Mail\r\n"
               "<start>=MAIL\r\n<start>=###\r\n";
    }

    // Each test runs in a process of its own, with its own folder.
    static void TearDownTestSuite() { fs::remove_all(dir()); }

    void SetUp() override {
        if (!s_ready)
            GTEST_SKIP() << "espeak-ng or sox not installed";
        m_sr = std::make_shared<SpeechRecogniser>(std::make_unique<PocketSphinxEngine>(
            [this] { return std::make_unique<WavFileSource>(m_wav); }));
        m_sr->advise([this](DispId id, std::span<const Variant> args) {
            if (id == kPhraseRecognizedEvent)
                m_phrases.push_back(args[5].toString());
            else if (id == kSoundLevelEvent)
                m_levels.push_back(args[2].toLong());
        });
        m_sr->GrammarFromFile((dir() / "temp.txt").string());
    }

    PocketSphinxEngine& engine() { return static_cast<PocketSphinxEngine&>(m_sr->engine()); }

    // Runs the user-interface thread's posted work until the file is heard.
    void runToEnd() {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < until) {
            bool done = engine().finished();
            uithread::runPosted();
            if (done)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        FAIL() << "audio not finished";
    }

    static inline bool s_ready = false;
    std::string m_wav = (dir() / "commands.wav").string();
    std::shared_ptr<SpeechRecogniser> m_sr;
    std::vector<std::string> m_phrases;
    std::vector<int32_t> m_levels;
};

using Phrases = std::vector<std::string>;

TEST_F(Listening, HearsTheGrammarsPhrasesAsWrittenAndRejectsOtherSpeech) {
    m_sr->Activate();
    runToEnd();
    // "Mail" before "MAIL": the first rule in the file wins; the sentence
    // outside the grammar raises nothing.
    EXPECT_EQ(m_phrases, (Phrases{"Notepad", "Quibozilla", "Press  F5", "Mail", "switch to"}));
}

// Each file is heard by a recogniser of its own, as at the program's start.
struct HeardRow {
    std::string name;
    std::string text;
    rt::test::Voice voice;
    Phrases heard;
    friend void PrintTo(const HeardRow& row, std::ostream* os) { *os << row.name; }
};

class HeardAs : public Listening, public testing::WithParamInterface<HeardRow> {};

TEST_P(HeardAs, OnlyConfidentCommandsAreHeard) {
    m_wav = (dir() / (GetParam().name + ".wav")).string();
    ASSERT_TRUE(synthesise(GetParam().text, m_wav, GetParam().voice));
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, GetParam().heard);
}

rt::test::Voice voice(const char* name, int speed = 160) {
    rt::test::Voice v;
    v.name = name;
    v.speed = speed;
    return v;
}

rt::test::Voice afterNoise() {
    rt::test::Voice v; // two seconds of steady room noise first
    v.before = 2.0;
    v.noise = 0.02;
    return v;
}

// Pink room noise as loud as the speech bench's loudest, around a phrase.
rt::test::Voice inRoomNoise(double before, double after) {
    rt::test::Voice v;
    v.before = before;
    v.after = after;
    v.noise = 0.1;
    v.colour = "pinknoise";
    return v;
}

rt::test::Voice marked() {
    rt::test::Voice v;
    v.markup = true;
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HeardAs,
    testing::Values(
        // Sentences that are no command, forced onto the grammar, fit one
        // rule or another; none may be taken for it, in any voice.
        HeardRow{"SentenceAmerican", "my sister plays the piano on fridays", voice("en-us"), {}},
        HeardRow{"SentenceBritish",
                 "my sister plays the piano on fridays",
                 voice("en-gb-x-rp+f3", 150),
                 {}},
        HeardRow{"OtherSentenceAmerican",
                 "we should paint the kitchen next week",
                 voice("en-us", 180),
                 {}},
        HeardRow{"OtherSentenceBritish",
                 "we should paint the kitchen next week",
                 voice("en-gb-x-rp+f3"),
                 {}},
        // Noise before the phrase does not cut it off.
        HeardRow{"CommandAfterNoise", "quibozilla", afterNoise(), {"Quibozilla"}},
        // Seconds of loud steady noise are no speech; the phrase after them
        // is heard whole, and once.
        HeardRow{"CommandAfterLoudNoise", "notepad", inRoomNoise(3.0, 1.0), {"Notepad"}},
        HeardRow{"CommandInsideLoudNoise", "press F5", inRoomNoise(2.0, 2.5), {"Press  F5"}},
        // A pause inside the phrase keeps it one utterance.
        HeardRow{"PauseInside", "press <break time=\"450ms\"/> F5", marked(), {"Press  F5"}},
        // A whole phrase ends when its speech does: the next, said soon
        // after, is a phrase of its own.
        HeardRow{"TwoPhrasesInQuickSuccession",
                 "notepad <break time=\"350ms\"/> quibozilla",
                 marked(),
                 {"Notepad", "Quibozilla"}}),
    rt::test::RowName());

TEST_F(Listening, TheFirstPhraseOfASessionIsHeardAsWellAsALaterOne) {
    // A new recogniser (nothing heard yet) and the same phrase again after
    // others: both are heard.
    rt::test::Voice v = voice("en-gb-x-rp+m3", 150);
    std::vector<fs::path> parts;
    for (const char* text : {"mail", "notepad", "quibozilla", "mail"}) {
        parts.push_back(dir() / ("session" + std::to_string(parts.size()) + ".wav"));
        ASSERT_TRUE(synthesise(text, parts.back(), v));
    }
    m_wav = (dir() / "session.wav").string();
    ASSERT_TRUE(concatenate(parts, m_wav));
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, (Phrases{"Mail", "Notepad", "Quibozilla", "Mail"}));
}

TEST_F(Listening, OfTwoRulesThatSoundAlikeNeitherIsGuessed) {
    // "Mail" and "Male" are one sound: saying it names neither for sure,
    // and the rules that sound like no other are still heard.
    fs::path grammar = dir() / "alike.txt";
    std::ofstream(grammar, std::ios::binary)
        << "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=Notepad\r\n"
           "<start>=Quibozilla\r\n<start>=Press  F5\r\n<start>=Mail\r\n<start>=Male\r\n"
           "<start>=switch to\r\n";
    m_sr->takeProblem();
    m_sr->GrammarFromFile(grammar.string());
    EXPECT_NE(m_sr->takeProblem().find("Mail / Male"), std::string::npos);
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, (Phrases{"Notepad", "Quibozilla", "Press  F5", "switch to"}));
}

TEST_F(Listening, AGrammarSetAgainHearsItsOwnRulesInAnyOrder) {
    // The same rules again, in another order and with others among them:
    // each phrase is heard as its own rule, not the one at its old place.
    fs::path grammar = dir() / "again.txt";
    std::ofstream(grammar, std::ios::binary)
        << "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=Text Editor\r\n"
           "<start>=switch to\r\n<start>=Mail\r\n<start>=Press  F5\r\n<start>=Quibozilla\r\n"
           "<start>=Notepad\r\n<start>=Press F7\r\n";
    m_sr->GrammarFromFile(grammar.string());
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, (Phrases{"Notepad", "Quibozilla", "Press  F5", "Mail", "switch to"}));
}

// The fixture's rules among 120 more of two common words each: a grammar
// large enough that each rule is one word of the decoder.
class InALargeGrammar : public Listening {
protected:
    void SetUp() override {
        Listening::SetUp();
        if (IsSkipped())
            return;
        const char* words[] = {"garden", "yellow", "window", "basket", "river",  "pencil",
                               "summer", "orange", "candle", "rabbit", "silver", "monkey"};
        std::ofstream grammar(dir() / "large.txt", std::ios::binary);
        grammar << "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n"
                   "<start>=Notepad\r\n<start>=Quibozilla\r\n<start>=Press  F5\r\n<start>=Mail\r\n";
        for (const char* a : words)
            for (const char* b : words)
                if (a != b && std::string(a) < b)
                    grammar << "<start>=" << a << " " << b << "\r\n"
                            << "<start>=" << b << " " << a << " up\r\n";
        grammar.close();
        m_sr->GrammarFromFile((dir() / "large.txt").string());
    }
};

TEST_F(InALargeGrammar, TheCommandsAreHeardAndOtherSpeechIsNot) {
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, (Phrases{"Notepad", "Quibozilla", "Press  F5", "Mail", "switch to"}));
}

TEST_F(InALargeGrammar, APauseInsideAPhraseKeepsItOnePhrase) {
    m_wav = (dir() / "pause-large.wav").string();
    ASSERT_TRUE(synthesise("press <break time=\"450ms\"/> F5", m_wav, marked()));
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, Phrases{"Press  F5"});
}

TEST_F(Listening, AnUnpronounceableWordIsReportedOnceAndTheRestWorks) {
    std::string problem = m_sr->takeProblem();
    EXPECT_NE(problem.find("###"), std::string::npos) << problem;
    EXPECT_EQ(m_sr->takeProblem(), "");
    m_wav = (dir() / "0.wav").string();
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, Phrases{"Notepad"});
}

TEST_F(Listening, LevelsArriveTenTimesASecondWhileActive) {
    m_wav = (dir() / "0.wav").string();
    m_sr->Activate();
    runToEnd();
    auto seconds = double(fs::file_size(m_wav) - 44) / 2 / kSampleRate;
    EXPECT_NEAR(double(m_levels.size()), seconds * 10, 2);
    int32_t loudest = *std::max_element(m_levels.begin(), m_levels.end());
    int32_t quietest = *std::min_element(m_levels.begin(), m_levels.end());
    EXPECT_GT(loudest, 300);  // speech
    EXPECT_LT(quietest, 200); // the pauses
}

TEST_F(Listening, NothingIsHeardWhileInactive) {
    // Not yet activated: the source is not even read.
    uithread::runPosted();
    EXPECT_TRUE(m_phrases.empty());
    m_sr->Activate();
    m_sr->Deactivate();
    uithread::runPosted();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    uithread::runPosted();
    EXPECT_TRUE(m_phrases.empty());
    EXPECT_TRUE(m_levels.empty());
    // Listening again after the pause hears from the start of the source.
    m_wav = (dir() / "0.wav").string();
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, Phrases{"Notepad"});
}

TEST_F(Listening, AMissingAudioSourceLeavesItInactiveWithAProblemToShow) {
    m_sr->takeProblem();
    m_wav = (dir() / "none.wav").string();
    EXPECT_NO_THROW(m_sr->Activate());
    EXPECT_FALSE(m_sr->active());
    EXPECT_NE(m_sr->takeProblem().find("none.wav"), std::string::npos);
    m_wav = (dir() / "0.wav").string();
    m_sr->Activate();
    runToEnd();
    EXPECT_EQ(m_phrases, Phrases{"Notepad"});
}

} // namespace
