#pragma once
// The speech recogniser component that the main window hosts and calls late
// bound. Methods (dispatch identifiers):
//   GrammarFromFile(path) 8: replaces the grammar with the file's rules;
//   Activate()            5: starts listening (harmless when listening);
//   Deactivate()          4: stops listening (harmless when not).
// Events, raised only while active, on the user-interface thread:
//   PhraseRecognized (kPhraseRecognizedEvent): eight arguments, five Longs
//     (0), two Strings, one Long (0); the sixth is the recognised rule's text
//     exactly as the grammar file writes it, the seventh the rule "<start>".
//   SoundLevel (kSoundLevelEvent): three Longs; the third is the input level
//     (0 silence; see the engine for its scale), the first two are 0.
// A grammar file that is missing or unreadable raises nothing: the previous
// grammar stays, and the problem waits in takeProblem() for the host to show
// it once. Problems an engine reports while loading wait there too, and so
// does an Activate that the engine refuses (an audio file that is missing; the
// recogniser stays inactive). A microphone not there yet is waited for: the
// engine's status says so.
// An engine that cannot be made (no speech model) leaves a recogniser that
// never hears and says why in its engine status.

#include <memory>
#include <string>

#include "runtime/com/Dispatch.h"
#include "runtime/com/EventSource.h"
#include "runtime/speech/RecogniserEngine.h"

namespace rt::speech {

constexpr DispId kGrammarFromFileId = 8;
constexpr DispId kActivateId = 5;
constexpr DispId kDeactivateId = 4;
constexpr DispId kPhraseRecognizedEvent = 1;
constexpr DispId kSoundLevelEvent = 2;

class SpeechRecogniser : public TableDispatch, public EventSource {
public:
    // Without an engine it takes makeRecogniserEngine()'s.
    explicit SpeechRecogniser(std::unique_ptr<RecogniserEngine> engine = nullptr);
    ~SpeechRecogniser() override;

    void GrammarFromFile(const std::string& path);
    void Activate();
    void Deactivate();

    bool active() const { return m_active; }
    RecogniserEngine& engine() { return *m_engine; }
    // The problem not yet reported, then empty: each is given out once.
    std::string takeProblem();
    // What holds now: the last grammar load's problem (empty once a grammar
    // loaded cleanly) and why the last Activate could not start.
    const std::string& grammarProblem() const { return m_grammarProblem; }
    const std::string& activateProblem() const { return m_activateProblem; }
    EngineStatus engineStatus() const { return m_engine->status(); }
    // Called on the user-interface thread after the engine's status changed,
    // and after every load, Activate and Deactivate.
    void setStatusWatcher(std::function<void()> watcher);

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    void phraseHeard(const std::string& phrase);
    void levelHeard(int32_t level);
    void changed();

    std::unique_ptr<RecogniserEngine> m_engine;
    bool m_active = false;
    std::string m_problem;
    std::string m_grammarProblem;
    std::string m_activateProblem;
    std::function<void()> m_watcher;
};

} // namespace rt::speech
