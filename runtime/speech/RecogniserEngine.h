#pragma once
// What listens for the recogniser component: a scripted engine for tests and
// headless runs, or a real one. The component keeps the late-bound surface
// and the active/inactive rules; an engine only hears.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rt::speech {

// Called on the user-interface thread only, one call at a time; an engine
// that hears on a thread of its own posts with rt::uithread::post.
struct EngineSink {
    std::function<void(const std::string& phrase)> phrase; // a rule's exact text
    std::function<void(int32_t level)> level;
};

// What an engine can do now, for the host to show.
enum class EngineState {
    Ready,             // hears when started
    Loading,           // still loading its model: starts hearing when done
    ModelUnavailable,  // its model cannot be loaded: never hears
    SourceUnavailable, // the sound device went away: tries again until it is back
};

struct EngineStatus {
    EngineState state = EngineState::Ready;
    std::string reason; // why, when not Ready
};

class RecogniserEngine {
public:
    virtual ~RecogniserEngine() = default;

    virtual EngineStatus status() const { return {}; }
    // Called on the user-interface thread after the status changed.
    virtual void setStatusWatcher(std::function<void()> /*watcher*/) {}

    // Replaces the grammar with these rule texts. Returns a problem to report
    // (words it cannot pronounce, ...), empty when none; raises a
    // RuntimeError and keeps the previous grammar when it cannot use them.
    virtual std::string setGrammar(const std::vector<std::string>& rules) = 0;
    // Starts hearing; phrases of the grammar and levels go to the sink until
    // stop(). Both are only called in turn (never start twice).
    virtual void start(EngineSink sink) = 0;
    virtual void stop() = 0;
};

using EngineFactory = std::function<std::unique_ptr<RecogniserEngine>()>;

// The engine a recogniser gets when it is created without one: the scripted
// engine until a real backend installs its factory.
std::unique_ptr<RecogniserEngine> makeRecogniserEngine();
void setRecogniserEngineFactory(EngineFactory factory);

} // namespace rt::speech
