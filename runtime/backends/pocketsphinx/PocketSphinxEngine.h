#pragma once
// Recognition with the PocketSphinx decoder, fully offline. The grammar's
// rules become a JSGF grammar together with a loop of single phones that
// soaks up speech that is no rule: an utterance decoded through that loop
// is rejected. Decoding runs on a thread of its own; utterances are cut by
// the decoder's voice activity detection; phrases and levels are posted to
// the user-interface thread.
//
// Sound level: the root mean square of the last 100 ms of 16-bit samples
// (0 silence, 32767 full scale), ten times a second. Quiet speech at a
// normal microphone gain gives about 500 to 3000.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "runtime/backends/pocketsphinx/AudioSource.h"
#include "runtime/speech/RecogniserEngine.h"

struct ps_decoder_s;

namespace rt::speech {

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

    // The average score per frame under which an utterance is rejected.
    void setRejectBelow(int32_t score) { m_rejectBelow = score; }
    // How many 10 ms frames of silence end an utterance: the wait between
    // the end of speech and its phrase. Read when an engine is made.
    static void setEndSilenceFrames(int frames);
    static int endSilenceFrames();
    // Whether the hearing thread has come to the end of its source.
    bool finished() const { return m_finished; }
    static std::string defaultModelDir();

private:
    struct Shared;
    void hear(std::shared_ptr<Shared> shared, std::unique_ptr<AudioSource> source);
    std::string utteranceEnded();

    SourceFactory m_sources;
    ps_decoder_s* m_ps = nullptr;
    std::mutex m_decoderMutex;
    std::map<std::string, std::string> m_ruleOfTokens; // hypothesis -> rule text
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    bool m_inUtterance = false;
    std::atomic<int32_t> m_rejectBelow;
};

// Makes new recognisers use this engine with the microphone.
void installPocketSphinxEngine();

} // namespace rt::speech
