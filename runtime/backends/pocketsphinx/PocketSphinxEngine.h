#pragma once
// Recognition with the PocketSphinx decoder, fully offline. The grammar's
// rules become a graph of words; a second decoder runs a loop of single
// phones, free of any grammar, over the same frames. An utterance is taken
// for a rule only when it is confident: its lattice posterior (low when
// another rule fits about as well), how far it beats the phone loop per
// frame, and how many speech sounds the phone loop heard per phone of the
// rule: measures that compare across voices, rooms and gains. Decoding runs
// on a thread of its own; utterances are cut by voice activity detection;
// phrases and levels are posted to the user-interface thread.
//
// Sound level: the root mean square of the last 100 ms of 16-bit samples
// (0 silence, 32767 full scale), ten times a second. Quiet speech at a
// normal microphone gain gives about 500 to 3000.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/backends/pocketsphinx/AudioSource.h"
#include "runtime/backends/pocketsphinx/FrontEnd.h"
#include "runtime/speech/RecogniserEngine.h"

struct ps_decoder_s;

namespace rt::speech {

// When a decoded utterance counts as its best rule. The posterior and the
// margin over the runner-up are natural logarithms of the decoder's scaled
// scores; the margin over the phone loop is a difference of its raw scores
// (its log base) divided by the utterance's frames (10 ms each).
struct Acceptance {
    double minLogPosterior;  // of the rule: its share of the rules' paths in the lattice
    double minOverPhoneLoop; // best path's acoustic score over the phone loop's, per frame
    double maxPhoneRatio;    // phones the loop heard per phone of the rule
    double minMargin;        // ln of the rule's share over the runner-up rule's
};

// What was decided about one utterance.
struct Judgement {
    std::string rule; // the best rule, empty when the decoder found none
    int frames = 0;
    double logPosterior = 0;
    double overPhoneLoop = 0;
    double phoneRatio = 0;
    double margin = 0;
    bool accepted = false;
};

class PocketSphinxEngine : public RecogniserEngine {
public:
    using SourceFactory = std::function<std::unique_ptr<AudioSource>()>;
    // Loads the model; raises 429 when it cannot. Without a source factory
    // it listens to the microphone.
    explicit PocketSphinxEngine(SourceFactory sources = nullptr,
                                std::string modelDir = defaultModelDir());
    ~PocketSphinxEngine() override;

    std::string setGrammar(const std::vector<std::string>& rules) override;
    void start(EngineSink sink) override;
    void stop() override;
    // SourceUnavailable while a sound device that went away, or was not
    // there when listening started, is not back.
    EngineStatus status() const override;
    void setStatusWatcher(std::function<void()> watcher) override;
    // How long a device that went away is waited for between tries.
    static constexpr int kReopenEveryMs = 250;

    static Acceptance defaultAcceptance();
    void setAcceptance(const Acceptance& acceptance);
    // Called on the hearing thread for every utterance, accepted or not.
    void setJudgementObserver(std::function<void(const Judgement&)> observer);
    // How many 10 ms frames without speech end an utterance: the wait
    // between the end of speech and its phrase. Read when an engine is made.
    static void setEndSilenceFrames(int frames);
    static int endSilenceFrames();
    // Whether the hearing thread has come to the end of its source.
    bool finished() const { return m_finished; }
    static std::string defaultModelDir();

private:
    struct Shared;
    void hear(std::shared_ptr<Shared> shared, std::unique_ptr<AudioSource> source);
    bool reopen(AudioSource& source, const std::string& why = "The microphone is gone");
    void setStatus(EngineStatus status);
    void startUtterance();
    std::string utteranceEnded();
    std::string utteranceEnded(const std::vector<FrontEnd::Frame>& given);
    void endDecoding();
    void decode(const FrontEnd::Frame* frames, size_t count);
    static void decodeWith(ps_decoder_s* ps, const FrontEnd::Frame* frames, size_t count);
    Judgement judge();
    bool wholeRuleSoFar();
    std::vector<std::string> markRulesThatSoundAlike();

    SourceFactory m_sources;
    ps_decoder_s* m_ps = nullptr;         // the grammar
    ps_decoder_s* m_loop = nullptr;       // the phone loop, on the same audio
    std::unique_ptr<FrontEnd> m_frontEnd; // the features both decoders are given
    std::mutex m_decoderMutex;
    std::map<std::string, size_t> m_ruleOfTokens;       // hypothesis -> its rule
    std::vector<std::vector<std::string>> m_ruleTokens; // each rule's tokens, as in the grammar
    std::vector<std::string> m_ruleTexts;               // and its text
    std::vector<bool> m_soundsAlike;                    // and whether another sounds the same
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    bool m_inUtterance = false;
    long m_learntFrames = 0; // utterance frames the cepstral means came from
    int m_postFrames = 0;    // quiet frames that end speech
    int m_waitFrames = 0;    // quiet frames that end an utterance
    Acceptance m_acceptance; // under m_decoderMutex
    std::function<void(const Judgement&)> m_observer; // under m_decoderMutex
    mutable std::mutex m_statusMutex;
    EngineStatus m_status;           // under m_statusMutex
    std::function<void()> m_watcher; // user-interface thread
};

// Makes new recognisers use this engine with the microphone.
void installPocketSphinxEngine();

} // namespace rt::speech
