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
// does an Activate that finds no audio device (the recogniser stays inactive).

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

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    void phraseHeard(const std::string& phrase);
    void levelHeard(int32_t level);

    std::unique_ptr<RecogniserEngine> m_engine;
    bool m_active = false;
    std::string m_problem;
};

} // namespace rt::speech
