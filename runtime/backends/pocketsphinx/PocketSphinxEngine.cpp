#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>
#include <sstream>

#include <pocketsphinx.h>

#include "runtime/backends/pocketsphinx/Pronouncer.h"
#include "runtime/backends/pocketsphinx/MicrophoneSource.h"
#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"

namespace rt::speech {

namespace {

constexpr const char* kSearch = "quibo";
// Average score per frame (log-likelihood in decoder units) below which an
// utterance is taken for speech that is no command: what the grammar forces
// onto other speech fits far worse than a real command does.
constexpr int32_t kDefaultRejectBelow = -36;
// Voice activity detection: the decoder's own default waits 50 frames.
constexpr int kDefaultEndSilenceFrames = 50;
std::atomic<int> g_endSilenceFrames{kDefaultEndSilenceFrames};
constexpr size_t kChunk = kSampleRate / 100; // 10 ms
constexpr size_t kLevelEvery = kSampleRate / 10;

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool plainToken(const std::string& w) {
    for (unsigned char c : w)
        if (!std::islower(c) && !std::isdigit(c) && c != '\'')
            return false;
    return !w.empty();
}

// The decoder's name for a word: itself when plain, else a stable name made
// from its bytes (the grammar syntax and the dictionary take no others).
std::string tokenName(const std::string& word) {
    if (plainToken(word))
        return word;
    std::string name = "qword_";
    for (unsigned char c : word) {
        const char* hex = "0123456789abcdef";
        name += hex[c >> 4];
        name += hex[c & 15];
    }
    return name;
}

} // namespace

// What the hearing thread shares with posted work and the user-interface
// thread: the sink, and whether this listening session still runs.
struct PocketSphinxEngine::Shared {
    EngineSink sink;
    bool live = true; // user-interface thread only
};

void PocketSphinxEngine::setEndSilenceFrames(int frames) {
    g_endSilenceFrames = std::max(1, frames);
}

int PocketSphinxEngine::endSilenceFrames() {
    return g_endSilenceFrames;
}

std::string PocketSphinxEngine::defaultModelDir() {
    return QUIBO_PS_MODELDIR;
}

PocketSphinxEngine::PocketSphinxEngine(SourceFactory sources, std::string modelDir)
    : m_sources(std::move(sources)), m_rejectBelow(kDefaultRejectBelow) {
    std::string hmm = modelDir + "/en-us";
    std::string dict = modelDir + "/cmudict-en-us.dict";
    std::string endSilence = std::to_string(g_endSilenceFrames.load());
    cmd_ln_t* config =
        cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-dict", dict.c_str(), "-logfn",
                    "/dev/null", "-vad_postspeech", endSilence.c_str(), nullptr);
    if (config)
        m_ps = ps_init(config);
    if (config)
        cmd_ln_free_r(config);
    if (!m_ps)
        raiseError(kCannotCreateObject, "SpeechRecogniser",
                   "Speech model cannot be loaded from " + modelDir);
}

PocketSphinxEngine::~PocketSphinxEngine() {
    stop();
    ps_free(m_ps);
}

std::string PocketSphinxEngine::setGrammar(const std::vector<std::string>& rules) {
    std::lock_guard lock(m_decoderMutex);
    Pronouncer pronouncer([this](const std::string& w) -> std::optional<std::string> {
        char* p = ps_lookup_word(m_ps, w.c_str());
        if (!p)
            return std::nullopt;
        std::string phones = p;
        ckd_free(p);
        return phones;
    });
    std::map<std::string, std::string> tokenOfWord;
    std::set<std::string> unspeakable;
    std::map<std::string, std::string> ruleOfTokens;
    std::vector<std::string> alternatives;
    for (const auto& rule : rules) {
        std::istringstream words(rule);
        std::string word, tokens;
        bool speakable = true;
        while (words >> word) {
            word = lower(word);
            auto found = tokenOfWord.find(word);
            if (found == tokenOfWord.end()) {
                std::string token = tokenName(word);
                char* known = ps_lookup_word(m_ps, token.c_str());
                if (known) {
                    ckd_free(known);
                } else if (auto phones = pronouncer.phones(word)) {
                    ps_add_word(m_ps, token.c_str(), phones->c_str(), FALSE);
                } else {
                    token.clear();
                    unspeakable.insert(word);
                }
                found = tokenOfWord.emplace(word, token).first;
            }
            if (found->second.empty())
                speakable = false;
            tokens += tokens.empty() ? found->second : " " + found->second;
        }
        // The first of several rules that sound alike is the one heard.
        if (speakable && !tokens.empty() && ruleOfTokens.emplace(tokens, rule).second)
            alternatives.push_back(tokens);
    }
    std::ostringstream jsgf;
    jsgf << "#JSGF V1.0;\ngrammar quibo;\npublic <command> = ";
    for (size_t i = 0; i < alternatives.size(); ++i)
        jsgf << (i ? "\n  | " : "") << alternatives[i];
    if (alternatives.empty())
        jsgf << "<VOID>";
    jsgf << ";\n";
    if (m_inUtterance) {
        ps_end_utt(m_ps);
        m_inUtterance = false;
    }
    // ps_add_word(update=FALSE) leaves the search to be rebuilt here.
    if (ps_set_jsgf_string(m_ps, kSearch, jsgf.str().c_str()) != 0 ||
        ps_set_search(m_ps, kSearch) != 0)
        raiseError(kInvalidProcedureCall, "SpeechRecogniser", "Grammar cannot be used");
    m_ruleOfTokens = std::move(ruleOfTokens);
    if (unspeakable.empty())
        return {};
    std::string problem = "Cannot pronounce:";
    for (const auto& w : unspeakable)
        problem += " " + w;
    return problem;
}

void PocketSphinxEngine::start(EngineSink sink) {
    stop();
    std::unique_ptr<AudioSource> source =
        m_sources ? m_sources() : std::make_unique<MicrophoneSource>();
    source->open();
    m_shared = std::make_shared<Shared>();
    m_shared->sink = std::move(sink);
    m_stop = false;
    m_finished = false;
    m_thread = std::thread([this, shared = m_shared, src = std::move(source)]() mutable {
        hear(shared, std::move(src));
    });
}

void PocketSphinxEngine::stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_shared)
        m_shared->live = false;
    m_shared.reset();
    std::lock_guard lock(m_decoderMutex);
    if (m_inUtterance) {
        ps_end_utt(m_ps);
    }
    m_inUtterance = false;
}

// The rule heard in the utterance just ended, empty when none.
std::string PocketSphinxEngine::utteranceEnded() {
    ps_end_utt(m_ps);
    m_inUtterance = false;
    int32 score = 0;
    const char* hyp = ps_get_hyp(m_ps, &score);
    int frames = ps_get_n_frames(m_ps);
    if (!hyp || frames <= 0 || score / frames < m_rejectBelow)
        return {};
    auto found = m_ruleOfTokens.find(hyp);
    return found == m_ruleOfTokens.end() ? std::string{} : found->second;
}

void PocketSphinxEngine::hear(std::shared_ptr<Shared> shared, std::unique_ptr<AudioSource> source) {
    auto post = [&shared](std::function<void(const EngineSink&)> deliver) {
        rt::uithread::post([shared, deliver] {
            if (shared->live)
                deliver(shared->sink);
        });
    };
    int16_t samples[kChunk];
    double energy = 0;
    size_t counted = 0;
    bool wasInSpeech = false;
    while (!m_stop) {
        size_t n = source->read(samples, kChunk);
        if (n == 0)
            break;
        for (size_t i = 0; i < n; ++i)
            energy += double(samples[i]) * samples[i];
        counted += n;
        if (counted >= kLevelEvery) {
            auto level = int32_t(std::lround(std::sqrt(energy / double(counted))));
            post([level](const EngineSink& s) {
                if (s.level)
                    s.level(level);
            });
            energy = 0;
            counted = 0;
        }
        std::string phrase;
        {
            std::lock_guard lock(m_decoderMutex);
            if (!m_inUtterance) {
                ps_start_utt(m_ps);
                m_inUtterance = true;
                wasInSpeech = false;
            }
            ps_process_raw(m_ps, samples, n, FALSE, FALSE);
            bool inSpeech = ps_get_in_speech(m_ps);
            if (wasInSpeech && !inSpeech)
                phrase = utteranceEnded();
            wasInSpeech = inSpeech;
        }
        if (!phrase.empty())
            post([phrase](const EngineSink& s) {
                if (s.phrase)
                    s.phrase(phrase);
            });
    }
    {
        std::lock_guard lock(m_decoderMutex);
        std::string phrase = m_inUtterance && wasInSpeech ? utteranceEnded() : std::string{};
        if (!phrase.empty() && !m_stop)
            post([phrase](const EngineSink& s) {
                if (s.phrase)
                    s.phrase(phrase);
            });
    }
    source->close();
    m_finished = true;
}

void installPocketSphinxEngine() {
    setRecogniserEngineFactory([] { return std::make_unique<PocketSphinxEngine>(); });
}

} // namespace rt::speech
