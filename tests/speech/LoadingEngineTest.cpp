#include "runtime/speech/LoadingEngine.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"
#include "runtime/speech/ScriptedEngine.h"
#include "runtime/speech/SpeechRecogniser.h"
#include "tests/support/TestSupport.h"

using namespace rt;
using namespace rt::speech;

namespace {

// Runs what the loading thread posted until `done` holds (bounded).
template <class Pred> bool pump(Pred done) {
    for (int i = 0; i < 500 && !done(); ++i) {
        uithread::runPosted();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

// A model that loads when the test lets it: the host neither waits for it
// nor loses the grammar or the start it asked for meanwhile.
TEST(LoadingEngine, TheGrammarAndTheStartAskedForWhileLoadingTakeEffectWhenLoaded) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    rt::test::TempDir dir("loading_engine");
    auto path = dir.path() / "temp.txt";
    std::ofstream(path) << "[<start>]\r\n<start>=Notes\r\n";

    SpeechRecogniser sr(std::make_unique<LoadingEngine>([released] {
        released.wait();
        return std::make_unique<ScriptedEngine>();
    }));
    int told = 0;
    sr.setStatusWatcher([&] { ++told; });
    std::vector<std::string> heard;
    sr.advise([&](DispId id, std::span<const Variant> args) {
        if (id == kPhraseRecognizedEvent)
            heard.push_back(args[5].toString());
    });
    sr.GrammarFromFile(path.string());
    sr.Activate();
    EXPECT_TRUE(sr.active());
    EXPECT_EQ(sr.engineStatus().state, EngineState::Loading);
    auto& loading = dynamic_cast<LoadingEngine&>(sr.engine());
    EXPECT_EQ(loading.loaded(), nullptr);

    told = 0;
    release.set_value();
    ASSERT_TRUE(pump([&] { return loading.loaded() != nullptr; }));
    EXPECT_EQ(sr.engineStatus().state, EngineState::Ready);
    EXPECT_GE(told, 1);
    auto* engine = dynamic_cast<ScriptedEngine*>(loading.loaded());
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(engine->listening());
    EXPECT_TRUE(engine->say("Notes"));
    EXPECT_EQ(heard, std::vector<std::string>{"Notes"});
}

// No model: the recogniser stays, hears nothing and says why; asking it to
// listen is refused with that reason.
TEST(LoadingEngine, AModelThatCannotLoadLeavesAnEngineThatSaysWhy) {
    SpeechRecogniser sr(std::make_unique<LoadingEngine>([]() -> std::unique_ptr<RecogniserEngine> {
        raiseError(kCannotCreateObject, "SpeechRecogniser",
                   "Speech model cannot be loaded from /x");
    }));
    ASSERT_TRUE(pump([&] { return sr.engineStatus().state != EngineState::Loading; }));
    EXPECT_EQ(sr.engineStatus().state, EngineState::ModelUnavailable);
    EXPECT_EQ(sr.engineStatus().reason, "Speech model cannot be loaded from /x");
    sr.Activate();
    EXPECT_FALSE(sr.active());
    EXPECT_EQ(sr.activateProblem(), "Speech model cannot be loaded from /x");
}

// An engine factory that fails outright (no model installed) leaves a
// recogniser all the same.
TEST(LoadingEngine, AnEngineThatCannotBeMadeLeavesARecogniserThatSaysWhy) {
    setRecogniserEngineFactory([]() -> std::unique_ptr<RecogniserEngine> {
        raiseError(kCannotCreateObject, "SpeechRecogniser", "no model");
    });
    std::unique_ptr<SpeechRecogniser> sr;
    EXPECT_NO_THROW(sr = std::make_unique<SpeechRecogniser>());
    setRecogniserEngineFactory(nullptr);
    EXPECT_EQ(sr->engineStatus().state, EngineState::ModelUnavailable);
    EXPECT_NO_THROW(sr->Activate());
    EXPECT_FALSE(sr->active());
    EXPECT_EQ(sr->activateProblem(), "no model");
}

// The engine may go before its model is loaded (the window closed at once).
TEST(LoadingEngine, GoingWhileLoadingWaitsForNothingToBeDelivered) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::thread letGo([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        release.set_value();
    });
    {
        LoadingEngine engine([released] {
            released.wait();
            return std::make_unique<ScriptedEngine>();
        });
    }
    letGo.join();
    EXPECT_NO_THROW(uithread::runPosted());
}

} // namespace
