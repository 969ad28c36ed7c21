#include "runtime/speech/SpeechRecogniser.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "runtime/speech/ScriptedEngine.h"
#include "tests/support/TestSupport.h"

using namespace rt;
using namespace rt::speech;

namespace {

struct Event {
    DispId id;
    std::vector<Variant> args;
};

class Recogniser : public testing::Test {
protected:
    rt::test::TempDir m_temp{"speech_recogniser"};
    const std::filesystem::path& m_dir = m_temp.path();
    ScriptedEngine* m_engine = nullptr;
    std::shared_ptr<SpeechRecogniser> m_sr;
    std::vector<Event> m_events;

    void SetUp() override {
        auto engine = std::make_unique<ScriptedEngine>();
        m_engine = engine.get();
        m_sr = std::make_shared<SpeechRecogniser>(std::move(engine));
        m_sr->advise([this](DispId id, std::span<const Variant> args) {
            m_events.push_back({id, {args.begin(), args.end()}});
        });
    }

    std::string writeGrammar(const std::vector<std::string>& rules) {
        std::ofstream out(m_dir / "temp.txt", std::ios::binary | std::ios::trunc);
        out << "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n";
        for (const auto& r : rules)
            out << "<start>=" << r << "\r\n";
        return (m_dir / "temp.txt").string();
    }

    // The phrases of the PhraseRecognized events so far.
    std::vector<std::string> phrases() const {
        std::vector<std::string> out;
        for (const auto& e : m_events)
            if (e.id == kPhraseRecognizedEvent)
                out.push_back(e.args.at(5).toString());
        return out;
    }

    // Late bound, by dispatch identifier, as the main window calls it.
    void invoke(DispId id, std::vector<Variant> args = {}) {
        m_sr->Invoke(id, InvokeKind::Method, args);
    }
};

using Phrases = std::vector<std::string>;

TEST_F(Recogniser, ByDispatchIdentifierLoadsActivatesAndRaisesTheRuleText) {
    invoke(kGrammarFromFileId, {Variant(writeGrammar({"Notepad", "Copy That"}))});
    invoke(kActivateId);
    EXPECT_TRUE(m_engine->say("copy   that"));
    EXPECT_TRUE(m_engine->say("Switch To"));
    ASSERT_EQ(phrases(), (Phrases{"Copy That", "switch to"}));

    const Event& e = m_events.front();
    ASSERT_EQ(e.args.size(), 8u);
    for (int i : {0, 1, 2, 3, 4, 7})
        EXPECT_EQ(e.args[i].toLong(), 0) << i;
    EXPECT_EQ(e.args[6].toString(), "<start>");
    EXPECT_EQ(m_sr->GetIDOfName("grammarfromfile"), 8);
    EXPECT_EQ(m_sr->GetIDOfName("Activate"), 5);
    EXPECT_EQ(m_sr->GetIDOfName("Deactivate"), 4);
}

TEST_F(Recogniser, PhrasesOutsideTheGrammarAreNotRecognised) {
    m_sr->GrammarFromFile(writeGrammar({"Notepad"}));
    m_sr->Activate();
    for (const char* p : {"Notepads", "note pad", "", "   ", "switch", "switch to notepad"})
        EXPECT_FALSE(m_engine->say(p)) << p;
    EXPECT_TRUE(m_events.empty());
}

TEST_F(Recogniser, RulesDifferingOnlyInCaseGiveTheFirstInTheFile) {
    m_sr->GrammarFromFile(writeGrammar({"Mail", "MAIL", "mail"}));
    m_sr->Activate();
    m_engine->say("mail");
    EXPECT_EQ(phrases(), Phrases{"Mail"});
}

TEST_F(Recogniser, NoEventsWhileInactiveAndRepeatedCallsAreHarmless) {
    m_sr->GrammarFromFile(writeGrammar({"Notepad"}));
    EXPECT_FALSE(m_engine->say("Notepad"));
    m_sr->Deactivate(); // while inactive
    m_sr->Activate();
    m_sr->Activate(); // while active
    m_engine->say("Notepad");
    m_engine->level(1200);
    m_sr->Deactivate();
    EXPECT_FALSE(m_engine->listening());
    m_engine->say("Notepad");
    m_engine->level(900);
    ASSERT_EQ(m_events.size(), 2u);
    EXPECT_EQ(phrases(), Phrases{"Notepad"});
    EXPECT_EQ(m_events[1].id, kSoundLevelEvent);
    ASSERT_EQ(m_events[1].args.size(), 3u);
    EXPECT_EQ(m_events[1].args[2].toLong(), 1200);
    m_sr->Activate(); // listening again after a pause
    EXPECT_TRUE(m_engine->say("Notepad"));
}

TEST_F(Recogniser, LoadingReplacesTheGrammar) {
    m_sr->GrammarFromFile(writeGrammar({"Notepad"}));
    m_sr->Activate();
    m_sr->GrammarFromFile(writeGrammar({"Calculator"}));
    EXPECT_FALSE(m_engine->say("Notepad"));
    EXPECT_TRUE(m_engine->say("Calculator"));
}

TEST_F(Recogniser, MissingOrUnreadableFileKeepsThePreviousGrammarAndIsReportedOnce) {
    m_sr->GrammarFromFile(writeGrammar({"Notepad"}));
    EXPECT_EQ(m_sr->takeProblem(), "");
    EXPECT_NO_THROW(m_sr->GrammarFromFile((m_dir / "missing.txt").string()));
    std::string problem = m_sr->takeProblem();
    EXPECT_NE(problem.find("missing.txt"), std::string::npos) << problem;
    EXPECT_EQ(m_sr->takeProblem(), "");
    EXPECT_NO_THROW(invoke(kGrammarFromFileId, {Variant(m_dir.string())}));
    EXPECT_NE(m_sr->takeProblem(), "");
    m_sr->Activate();
    EXPECT_TRUE(m_engine->say("Notepad"));
}

TEST_F(Recogniser, FirstStartWithoutAGrammarFileHearsNothing) {
    m_sr->GrammarFromFile((m_dir / "temp.txt").string());
    m_sr->Activate();
    EXPECT_FALSE(m_engine->say("switch to"));
    EXPECT_NE(m_sr->takeProblem(), "");
}

// An engine whose hearing thread delivers what it heard just before stopping.
class LateEngine : public RecogniserEngine {
public:
    EngineSink sink;
    std::string setGrammar(const std::vector<std::string>&) override { return "cannot say Xq"; }
    void start(EngineSink s) override { sink = std::move(s); }
    void stop() override {}
};

TEST(RecogniserEngineContract, EventsDeliveredAfterDeactivateAreDropped) {
    auto engine = std::make_unique<LateEngine>();
    LateEngine* late = engine.get();
    SpeechRecogniser sr(std::move(engine));
    int events = 0;
    sr.advise([&](DispId, std::span<const Variant>) { ++events; });
    sr.Activate();
    sr.Deactivate();
    late->sink.phrase("Notepad");
    late->sink.level(5);
    EXPECT_EQ(events, 0);
}

// An engine without an audio device.
class DeafEngine : public LateEngine {
public:
    void start(EngineSink) override { raiseError(kDeviceIOError, "", "No microphone"); }
};

TEST(RecogniserEngineContract, ActivateWithoutADeviceStaysInactiveAndReportsIt) {
    SpeechRecogniser sr(std::make_unique<DeafEngine>());
    EXPECT_NO_THROW(sr.Activate());
    EXPECT_FALSE(sr.active());
    EXPECT_EQ(sr.takeProblem(), "No microphone");
    EXPECT_NO_THROW(sr.Deactivate());
}

TEST(RecogniserEngineContract, EngineProblemsOnLoadAreReported) {
    rt::test::TempDir dir("engine_problem");
    auto path = dir.path() / "grammar.txt";
    std::ofstream(path) << "<start>=Xq\r\n";
    SpeechRecogniser sr(std::make_unique<LateEngine>());
    sr.GrammarFromFile(path.string());
    EXPECT_EQ(sr.takeProblem(), "cannot say Xq");
}

TEST(RecogniserEngineContract, DefaultEngineIsScriptedUntilAFactoryIsInstalled) {
    EXPECT_NE(dynamic_cast<ScriptedEngine*>(&SpeechRecogniser().engine()), nullptr);
    setRecogniserEngineFactory([] { return std::make_unique<LateEngine>(); });
    EXPECT_NE(dynamic_cast<LateEngine*>(&SpeechRecogniser().engine()), nullptr);
    setRecogniserEngineFactory(nullptr);
    EXPECT_NE(dynamic_cast<ScriptedEngine*>(&SpeechRecogniser().engine()), nullptr);
}

} // namespace
