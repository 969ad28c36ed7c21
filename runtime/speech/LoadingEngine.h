#pragma once
// An engine whose own engine loads on a thread of its own, so that the
// window that hosts it shows at once. Until it is loaded the grammar and a
// start are kept and handed on when it is ready, on the user-interface
// thread; an engine that cannot be loaded leaves this one unable to hear,
// saying why. Its status tells which.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "runtime/speech/RecogniserEngine.h"

namespace rt::speech {

class LoadingEngine : public RecogniserEngine {
public:
    // `load` runs on the loading thread; a RuntimeError it raises is the
    // reason shown.
    explicit LoadingEngine(std::function<std::unique_ptr<RecogniserEngine>()> load);
    ~LoadingEngine() override;

    EngineStatus status() const override;
    void setStatusWatcher(std::function<void()> watcher) override;
    std::string setGrammar(const std::vector<std::string>& rules) override;
    void start(EngineSink sink) override;
    void stop() override;

    // The loaded engine; nullptr until then.
    RecogniserEngine* loaded() const { return m_engine.get(); }

private:
    struct Shared;
    void loadedNow(std::unique_ptr<RecogniserEngine> engine, std::string reason);
    void tell();

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
    std::unique_ptr<RecogniserEngine> m_engine;
    std::string m_failure;      // why it could not be loaded
    std::string m_startFailure; // why the start kept for it failed
    std::optional<std::vector<std::string>> m_rules;
    std::optional<EngineSink> m_sink;
    std::function<void()> m_watcher;
};

} // namespace rt::speech
