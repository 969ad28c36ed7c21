#include "runtime/speech/LoadingEngine.h"

#include <mutex>

#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"

namespace rt::speech {

// What the loading thread hands back; `owner` is cleared when the engine
// goes first, so a late result is dropped.
struct LoadingEngine::Shared {
    std::mutex mutex;
    LoadingEngine* owner = nullptr;
};

LoadingEngine::LoadingEngine(std::function<std::unique_ptr<RecogniserEngine>()> load)
    : m_shared(std::make_shared<Shared>()) {
    m_shared->owner = this;
    m_thread = std::thread([shared = m_shared, load = std::move(load)] {
        std::unique_ptr<RecogniserEngine> engine;
        std::string reason;
        try {
            engine = load();
        } catch (const RuntimeError& e) {
            reason = e.description();
        } catch (const std::exception& e) {
            reason = e.what();
        }
        if (!engine && reason.empty())
            reason = "The speech model cannot be loaded";
        // The result travels to the user-interface thread; an engine nobody
        // takes is freed there too.
        auto result = std::make_shared<std::unique_ptr<RecogniserEngine>>(std::move(engine));
        rt::uithread::post([shared, result, reason] {
            LoadingEngine* owner = nullptr;
            {
                std::lock_guard lock(shared->mutex);
                owner = shared->owner;
            }
            if (owner)
                owner->loadedNow(std::move(*result), reason);
        });
    });
}

LoadingEngine::~LoadingEngine() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->owner = nullptr;
    }
    if (m_engine)
        m_engine->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void LoadingEngine::loadedNow(std::unique_ptr<RecogniserEngine> engine, std::string reason) {
    if (m_thread.joinable())
        m_thread.join();
    m_engine = std::move(engine);
    m_failure = reason;
    if (m_engine) {
        if (m_watcher)
            m_engine->setStatusWatcher(m_watcher);
        // What the host asked for meanwhile, in its order: the grammar, then
        // listening. A problem now has nobody to tell it to but the status.
        try {
            if (m_rules)
                m_engine->setGrammar(*m_rules);
            if (m_sink)
                m_engine->start(*m_sink);
        } catch (const RuntimeError& e) {
            m_failure.clear();
            m_startFailure = e.description();
        }
    }
    m_rules.reset();
    m_sink.reset();
    tell();
}

void LoadingEngine::tell() {
    if (m_watcher)
        m_watcher();
}

EngineStatus LoadingEngine::status() const {
    if (m_engine) {
        if (!m_startFailure.empty())
            return {EngineState::SourceUnavailable, m_startFailure};
        return m_engine->status();
    }
    if (!m_failure.empty())
        return {EngineState::ModelUnavailable, m_failure};
    return {EngineState::Loading, "Loading the speech model"};
}

void LoadingEngine::setStatusWatcher(std::function<void()> watcher) {
    m_watcher = std::move(watcher);
    if (m_engine)
        m_engine->setStatusWatcher(m_watcher);
}

std::string LoadingEngine::setGrammar(const std::vector<std::string>& rules) {
    if (m_engine)
        return m_engine->setGrammar(rules);
    if (m_failure.empty())
        m_rules = rules;
    return {};
}

void LoadingEngine::start(EngineSink sink) {
    m_startFailure.clear();
    if (m_engine) {
        m_engine->start(std::move(sink));
        return;
    }
    if (!m_failure.empty())
        raiseError(kCannotCreateObject, "SpeechRecogniser", m_failure);
    m_sink = std::move(sink);
}

void LoadingEngine::stop() {
    m_startFailure.clear();
    if (m_engine)
        m_engine->stop();
    m_sink.reset();
}

} // namespace rt::speech
