#include "runtime/speech/SpeechRecogniser.h"

#include <utility>

#include "runtime/core/Error.h"
#include "runtime/speech/GrammarFile.h"

namespace rt::speech {

namespace {

Member method(std::string name, DispId id, void (SpeechRecogniser::*fn)()) {
    return Member{std::move(name),
                  id,
                  MemberKind::Method,
                  "",
                  [fn](Dispatch& self, std::span<const Variant>) {
                      (static_cast<SpeechRecogniser&>(self).*fn)();
                      return Variant();
                  },
                  nullptr};
}

// Stands in for an engine that could not be made: it hears nothing and says
// why.
class UnavailableEngine : public RecogniserEngine {
public:
    explicit UnavailableEngine(std::string reason) : m_reason(std::move(reason)) {}
    EngineStatus status() const override { return {EngineState::ModelUnavailable, m_reason}; }
    std::string setGrammar(const std::vector<std::string>&) override { return {}; }
    void start(EngineSink) override {
        raiseError(kCannotCreateObject, "SpeechRecogniser", m_reason);
    }
    void stop() override {}

private:
    std::string m_reason;
};

std::unique_ptr<RecogniserEngine> makeEngine() {
    try {
        return makeRecogniserEngine();
    } catch (const RuntimeError& e) {
        return std::make_unique<UnavailableEngine>(e.description());
    }
}

} // namespace

SpeechRecogniser::SpeechRecogniser(std::unique_ptr<RecogniserEngine> engine)
    : m_engine(engine ? std::move(engine) : makeEngine()) {}

void SpeechRecogniser::setStatusWatcher(std::function<void()> watcher) {
    m_watcher = std::move(watcher);
    m_engine->setStatusWatcher([this] { changed(); });
}

void SpeechRecogniser::changed() {
    if (m_watcher)
        m_watcher();
}

SpeechRecogniser::~SpeechRecogniser() {
    if (m_active)
        m_engine->stop();
}

const MemberTable& SpeechRecogniser::memberTable() {
    static const MemberTable table({
        Member{"GrammarFromFile", kGrammarFromFileId, MemberKind::Method,
               "Loads the grammar file, replacing the grammar",
               [](Dispatch& self, std::span<const Variant> args) {
                   if (args.empty())
                       raiseError(kInvalidProcedureCall);
                   static_cast<SpeechRecogniser&>(self).GrammarFromFile(args[0].toString());
                   return Variant();
               },
               nullptr},
        method("Activate", kActivateId, &SpeechRecogniser::Activate),
        method("Deactivate", kDeactivateId, &SpeechRecogniser::Deactivate),
    });
    return table;
}

void SpeechRecogniser::GrammarFromFile(const std::string& path) {
    try {
        m_grammarProblem = m_engine->setGrammar(GrammarFile::read(path));
    } catch (const RuntimeError& e) {
        m_grammarProblem = e.description();
    }
    if (!m_grammarProblem.empty())
        m_problem = m_grammarProblem;
    changed();
}

void SpeechRecogniser::Activate() {
    if (m_active)
        return;
    // No microphone must not stop the program: it runs on without listening
    // and the host can show why.
    try {
        m_engine->start(EngineSink{[this](const std::string& p) { phraseHeard(p); },
                                   [this](int32_t n) { levelHeard(n); }});
    } catch (const RuntimeError& e) {
        m_problem = m_activateProblem = e.description();
        changed();
        return;
    }
    m_activateProblem.clear();
    m_active = true;
    changed();
}

void SpeechRecogniser::Deactivate() {
    m_activateProblem.clear();
    if (m_active) {
        m_active = false;
        m_engine->stop();
    }
    changed();
}

std::string SpeechRecogniser::takeProblem() {
    return std::exchange(m_problem, {});
}

void SpeechRecogniser::phraseHeard(const std::string& phrase) {
    // An engine may still deliver what it heard just before it stopped.
    if (!m_active)
        return;
    fireEvent(kPhraseRecognizedEvent,
              {Variant(int32_t{0}), Variant(int32_t{0}), Variant(int32_t{0}), Variant(int32_t{0}),
               Variant(int32_t{0}), Variant(phrase), Variant("<start>"), Variant(int32_t{0})});
}

void SpeechRecogniser::levelHeard(int32_t level) {
    if (!m_active)
        return;
    fireEvent(kSoundLevelEvent, {Variant(int32_t{0}), Variant(int32_t{0}), Variant(level)});
}

} // namespace rt::speech
