#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <sstream>
#include <vector>

#include <pocketsphinx.h>
#include <sphinxbase/cmn.h>
#include <sphinxbase/fe.h>
#include <sphinxbase/feat.h>
#include <sphinxbase/fsg_model.h>

#include "runtime/backends/pocketsphinx/Confidence.h"
#include "runtime/backends/pocketsphinx/FrontEnd.h"
#include "runtime/backends/pocketsphinx/MicrophoneSource.h"
#include "runtime/backends/pocketsphinx/Pronouncer.h"
#include "runtime/backends/pocketsphinx/VoiceActivity.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"
#include "runtime/core/UiThread.h"
#include "runtime/speech/LoadingEngine.h"

namespace rt::speech {

namespace {

constexpr const char* kSearch = "quibo";
constexpr const char* kLoopSearch = "phones";

// Voice activity, in frames of 10 ms: all its settings are here. The noise
// floor is the lowest tenth of the last 3 s of frame levels, so steady noise
// of any level is never speech. Speech starts with 10 frames 9 dB above the
// floor; the decoders are then given the kPreFrames before its start too,
// so a soft first sound is kept. It is over after postFrames frames less
// than 6 dB above the floor, and resumes with 5 frames 9 dB above it. The
// utterance ends when the rest of the end-silence wait passes without
// speech resuming: a pause shorter than the wait keeps a phrase whole, and
// the frames of that pause are not decoded.
VoiceActivity::Settings voiceSettings(int postFrames) {
    return {9.0, 6.0, 10, 5, postFrames, 300, 0.1};
}
constexpr int kPreFrames = 30;
// Room noise is added under speech this far below the frames that start
// it: that changes nothing in a room as loud, and fills silence far below
// the speech.
constexpr double kRoomNoiseDb = 28;
constexpr int kResumePreFrames = 15; // before speech that resumes
// Frames of utterances after which the cepstral means are learnt.
constexpr long kLearntFrames = 500;
constexpr int kVadPostFrames = 20;
// The whole wait from the end of speech to the end of the utterance;
// settable for latency. A phrase that is already a whole rule when speech
// is over ends there, kVadPostFrames (200 ms) after its end of speech, so
// its keys follow within a quarter second; only one that is not (a pause
// inside "press ... F5") waits the rest for more speech.
constexpr int kDefaultEndSilenceFrames = 80;
std::atomic<int> g_endSilenceFrames{kDefaultEndSilenceFrames};

constexpr size_t kChunk = kSampleRate / 100; // 10 ms
constexpr size_t kLevelEvery = kSampleRate / 10;
// The level voice activity is told of: the last 30 ms, about a frame's
// window (a 10 ms level swings too much in loud noise).
constexpr size_t kLevelChunks = 3;

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

// The model's feature parameters, with live cepstral normalisation that
// starts from the model's own means (its "batch" mode would normalise each
// utterance from nothing) and carries over from one utterance to the next.
std::vector<std::string> featureArguments(const std::string& hmm) {
    std::vector<std::string> args;
    std::ifstream params(hmm + "/feat.params");
    std::string name, value;
    while (params >> name >> value) {
        if (name.size() < 2 || name[0] != '-')
            continue;
        if (name == "-cmn")
            value = "live";
        args.push_back(name);
        args.push_back(value);
    }
    // Read here, so the decoder must not read the file again over them.
    args.insert(args.end(), {"-featparams", "/dev/null"});
    return args;
}

// One decoder: the model with dither (exact digital silence would give
// features the model never saw) from a fixed seed, and the front end's
// tracking and removal of steady noise. The decoder's own voice activity
// detection is off: it started utterances on the first second of steady
// noise, and decoded only its speech frames of noisy speech. The grammar's
// beams are wide: in loud noise the default ones lost the right rule early
// in most phrases, and a grammar of commands is small enough to afford it.
ps_decoder_t* makeDecoder(const std::string& modelDir, const char* dict, bool phones) {
    std::string hmm = modelDir + "/en-us";
    std::vector<std::string> args{"-hmm", hmm, "-logfn", "/dev/null"};
    args.insert(args.end(), {"-dither", "yes", "-seed", "7"});
    args.insert(args.end(), {"-remove_silence", "no", "-remove_noise", "yes"});
    if (dict)
        args.insert(args.end(), {"-dict", dict});
    if (phones)
        args.insert(args.end(), {"-allphone_ci", "yes"});
    else
        args.insert(args.end(), {"-beam", "1e-80", "-pbeam", "1e-80"}); // -wbeam: setGrammar
    for (auto& a : featureArguments(hmm))
        args.push_back(std::move(a));
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    cmd_ln_t* config = cmd_ln_parse_r(nullptr, ps_args(), int32(argv.size()), argv.data(), FALSE);
    if (!config)
        return nullptr;
    ps_decoder_t* ps = ps_init(config);
    cmd_ln_free_r(config);
    return ps;
}

// Makes the decoder know the word by the token: the dictionary's
// pronunciations, and the pronouncer's own where it differs from them all
// (speakers do not all stress or reduce a word as the dictionary has it).
// The decoder's name for the token's n-th pronunciation (from 1).
std::string variantName(const std::string& token, size_t n) {
    return n == 1 ? token : token + "(" + std::to_string(n) + ")";
}

// The phones of every pronunciation the decoder has for the token.
std::vector<std::string> knownPronunciations(ps_decoder_t* ps, const std::string& token) {
    std::vector<std::string> known;
    while (char* p = ps_lookup_word(ps, variantName(token, known.size() + 1).c_str())) {
        known.emplace_back(p);
        ckd_free(p);
    }
    return known;
}

bool pronounce(ps_decoder_t* ps, const std::string& token, const std::string& word,
               const Pronouncer& pronouncer) {
    std::vector<std::string> known = knownPronunciations(ps, token);
    if (known.empty()) {
        auto phones = pronouncer.phones(word);
        if (!phones)
            return false;
        ps_add_word(ps, token.c_str(), phones->c_str(), FALSE);
        known.push_back(*phones);
    }
    auto spoken = pronouncer.spoken(word);
    if (spoken && std::find(known.begin(), known.end(), *spoken) == known.end())
        ps_add_word(ps, variantName(token, known.size() + 1).c_str(), spoken->c_str(), FALSE);
    return true;
}

// Every way the decoder knows to say the tokens, as phones; at most 64.
std::set<std::string> pronunciations(ps_decoder_t* ps, const std::vector<std::string>& tokens) {
    std::set<std::string> ways{""};
    for (const auto& token : tokens) {
        std::set<std::string> longer;
        for (const auto& phones : knownPronunciations(ps, token))
            for (const auto& way : ways)
                if (longer.size() < 64)
                    longer.insert(way.empty() ? phones : way + " " + phones);
        ways = std::move(longer);
    }
    return ways;
}

// The beam a word's end must be within to be kept, for a grammar of this
// many rules. Every word end kept goes into the lattice the confidence is
// read from, and the library builds it searching its whole list of nodes
// for each word end and for each link out of its state: with the small
// grammar's beam that took 200 ms to over a second after every phrase at
// 1,000 rules. A larger grammar's beam is narrower, still far wider than
// the library's default: 1e-44 lost the right rule of more phrases at 1,000
// rules (the speech bench's best rule was right for 79 in 100 commands,
// against 82 with the small grammar's beam and 81.5 with 1e-50), but 1e-50
// made the slowest phrase of 3,000 rules wait 1.6 s.
double wordBeam(size_t rules) {
    if (rules < 100)
        return 1e-64;
    return rules < 2000 ? 1e-50 : 1e-44;
}

// Silence and noise may come at the graph's states.
void addFillers(fsg_model_t* fsg, cmd_ln_t* config) {
    for (int32 state = 0; state < fsg_model_n_state(fsg); ++state) {
        fsg_model_add_silence(fsg, "<sil>", state, cmd_ln_float32_r(config, "-silprob"));
        fsg_model_add_silence(fsg, "[NOISE]", state, cmd_ln_float32_r(config, "-fillprob"));
    }
}

fsg_model_t* newGraph(ps_decoder_t* ps, int32 states) {
    fsg_model_t* fsg = fsg_model_init(kSearch, ps_get_logmath(ps),
                                      cmd_ln_float32_r(ps_get_config(ps), "-lw"), states);
    fsg->start_state = 0;
    fsg->final_state = 1;
    return fsg;
}

// Each rule's words in a chain from the start state 0 to the final state 1,
// a state after each word, so a rule's words are modelled across their
// boundaries as the model was trained and silence and noise may come
// between them.
fsg_model_t* wordGraph(ps_decoder_t* ps, const std::vector<std::vector<std::string>>& rules) {
    int32 states = 2;
    for (const auto& words : rules)
        states += int32(words.size()) - 1;
    fsg_model_t* fsg = newGraph(ps, states);
    int32 next = 2;
    for (const auto& words : rules) {
        int32 from = 0;
        for (size_t i = 0; i < words.size(); ++i) {
            int32 to = i + 1 == words.size() ? 1 : next++;
            fsg_model_trans_add(fsg, from, to, 0, fsg_model_word_add(fsg, words[i].c_str()));
            from = to;
        }
    }
    addFillers(fsg, ps_get_config(ps));
    return fsg;
}

// The acoustic score of the decoder's best path, without the grammar's
// and insertion penalties, which differ between the two searches.
int64_t acousticScore(ps_decoder_t* ps) {
    int64_t total = 0;
    for (ps_seg_t* seg = ps_seg_iter(ps); seg; seg = ps_seg_next(seg)) {
        int32 ascr = 0, lscr = 0, lback = 0;
        ps_seg_prob(seg, &ascr, &lscr, &lback);
        total += ascr;
    }
    return total;
}

// The hypothesis without the marks of second pronunciations ("tab(2)").
std::string baseWords(const std::string& hyp) {
    std::istringstream in(hyp);
    std::string word, out;
    while (in >> word) {
        if (!out.empty())
            out += ' ';
        out.append(word, 0, word.find('('));
    }
    return out;
}

// How many speech sounds the phone loop heard per phone of the rule: near
// one for the rule itself, far above for a sentence forced onto a short
// command. Four more phones on the rule's side stand for the breath or click
// at the edges the loop often hears, which would make short rules ("Mail":
// three phones) look long.
double phonesPerRulePhone(ps_decoder_t* ps, ps_decoder_t* loop,
                          const std::vector<std::string>& tokens) {
    int heard = 0, rule = 0;
    for (ps_seg_t* seg = ps_seg_iter(loop); seg; seg = ps_seg_next(seg))
        heard += !isFiller(ps_seg_word(seg));
    for (const auto& token : tokens) {
        if (char* phones = ps_lookup_word(ps, token.c_str())) {
            std::istringstream in(phones);
            std::string phone;
            while (in >> phone)
                ++rule;
            ckd_free(phones);
        }
    }
    return rule > 0 ? double(heard) / (rule + 4) : 1e3;
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
    : m_sources(std::move(sources)), m_acceptance(defaultAcceptance()) {
    std::string dict = modelDir + "/cmudict-en-us.dict";
    m_waitFrames = g_endSilenceFrames;
    m_postFrames = std::min(kVadPostFrames, m_waitFrames);
    m_ps = makeDecoder(modelDir, dict.c_str(), false);
    if (m_ps)
        m_loop = makeDecoder(modelDir, nullptr, true);
    // Context-independent phones with no phone grammar: any sound at all,
    // and fast.
    if (m_loop && (ps_set_allphone(m_loop, kLoopSearch, nullptr) != 0 ||
                   ps_set_search(m_loop, kLoopSearch) != 0)) {
        ps_free(m_loop);
        m_loop = nullptr;
    }
    // One front end for both decoders, with the grammar decoder's settings.
    fe_t* fe = m_loop ? fe_init_auto_r(ps_get_config(m_ps)) : nullptr;
    if (fe)
        m_frontEnd = std::make_unique<FrontEnd>(fe, std::max(kPreFrames, kResumePreFrames) + 4);
    if (!m_frontEnd) {
        if (m_loop)
            ps_free(m_loop);
        if (m_ps)
            ps_free(m_ps);
        raiseError(kCannotCreateObject, "SpeechRecogniser",
                   "Speech model cannot be loaded from " + modelDir);
    }
}

PocketSphinxEngine::~PocketSphinxEngine() {
    stop();
    ps_free(m_loop);
    ps_free(m_ps);
}

// Chosen by the speech bench (bench/speech) on the voices of its tuning
// half: the most right rules with at most 1 in 100 wrong and few false
// accepts. The rule's share of the lattice adds nothing to its margin there.
Acceptance PocketSphinxEngine::defaultAcceptance() {
    return Acceptance{-std::numeric_limits<double>::infinity(), -25.66, 1.154, 5.54};
}

void PocketSphinxEngine::setAcceptance(const Acceptance& acceptance) {
    std::lock_guard lock(m_decoderMutex);
    m_acceptance = acceptance;
}

void PocketSphinxEngine::setJudgementObserver(std::function<void(const Judgement&)> observer) {
    std::lock_guard lock(m_decoderMutex);
    m_observer = std::move(observer);
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
    std::set<std::string> seen; // rules by their tokens
    std::vector<std::string> alternatives;
    std::vector<std::string> ruleTexts;
    std::vector<std::string> allWords;
    for (const auto& rule : rules) {
        std::istringstream words(rule);
        std::string word;
        while (words >> word)
            allWords.push_back(rt::LCase(word));
    }
    Pronouncer::prepare(allWords);
    for (const auto& rule : rules) {
        std::istringstream words(rule);
        std::string word, tokens;
        bool speakable = true;
        while (words >> word) {
            word = rt::LCase(word);
            auto found = tokenOfWord.find(word);
            if (found == tokenOfWord.end()) {
                std::string token = tokenName(word);
                if (!pronounce(m_ps, token, word, pronouncer)) {
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
        if (speakable && !tokens.empty() && seen.insert(tokens).second) {
            alternatives.push_back(tokens);
            ruleTexts.push_back(rule);
        }
    }
    if (m_inUtterance)
        endDecoding();
    m_ruleTexts = std::move(ruleTexts);
    m_ruleTokens.clear();
    m_ruleOfTokens.clear();
    for (const auto& tokens : alternatives) {
        std::istringstream in(tokens);
        m_ruleTokens.emplace_back(std::istream_iterator<std::string>(in),
                                  std::istream_iterator<std::string>());
        m_ruleOfTokens.emplace(tokens, m_ruleOfTokens.size());
    }
    // ps_add_word(update=FALSE) leaves the search to be rebuilt here; the
    // search takes its beams from the configuration as it is built.
    cmd_ln_set_float64_r(ps_get_config(m_ps), "-wbeam", wordBeam(alternatives.size()));
    fsg_model_t* fsg = wordGraph(m_ps, m_ruleTokens);
    int set = ps_set_fsg(m_ps, kSearch, fsg);
    fsg_model_free(fsg);
    if (set != 0 || ps_set_search(m_ps, kSearch) != 0)
        raiseError(kInvalidProcedureCall, "SpeechRecogniser", "Grammar cannot be used");
    std::vector<std::string> problems;
    if (!unspeakable.empty()) {
        std::string problem = "Cannot pronounce:";
        for (const auto& w : unspeakable)
            problem += " " + w;
        problems.push_back(problem);
    }
    for (const auto& alike : markRulesThatSoundAlike())
        problems.push_back("Sound alike, so neither is heard: " + alike);
    std::string problem;
    for (const auto& p : problems)
        problem += (problem.empty() ? "" : "; ") + p;
    return problem;
}

// Rules spoken with the same phones (homophones such as "Mail" and "Male")
// cannot be told apart by any margin, and the search keeps only one of two
// paths that tie, so the lattice never shows the other: they are found here.
// Returns each such pair's texts.
std::vector<std::string> PocketSphinxEngine::markRulesThatSoundAlike() {
    m_soundsAlike.assign(m_ruleTokens.size(), false);
    std::map<std::string, size_t> ruleOfPhones;
    std::vector<std::string> pairs;
    for (size_t r = 0; r < m_ruleTokens.size(); ++r) {
        for (const auto& phones : pronunciations(m_ps, m_ruleTokens[r])) {
            auto [other, added] = ruleOfPhones.emplace(phones, r);
            if (added || other->second == r)
                continue;
            if (!m_soundsAlike[r])
                pairs.push_back(m_ruleTexts[other->second] + " / " + m_ruleTexts[r]);
            m_soundsAlike[r] = m_soundsAlike[other->second] = true;
        }
    }
    return pairs;
}

void PocketSphinxEngine::start(EngineSink sink) {
    stop();
    std::unique_ptr<AudioSource> source =
        m_sources ? m_sources() : std::make_unique<MicrophoneSource>();
    // A device that is not there yet (its sound server restarting) is
    // waited for as one that went away; only a file that is missing fails.
    std::string missing;
    try {
        source->open();
    } catch (const RuntimeError& e) {
        if (!source->comesBack())
            throw;
        missing = e.description();
    }
    m_shared = std::make_shared<Shared>();
    m_shared->sink = std::move(sink);
    m_stop = false;
    m_finished = false;
    if (!missing.empty())
        setStatus({EngineState::SourceUnavailable, missing + "; trying again"});
    m_thread = std::thread([this, shared = m_shared, src = std::move(source), missing]() mutable {
        if (missing.empty() || reopen(*src, missing))
            hear(shared, std::move(src));
        else
            m_finished = true;
    });
}

void PocketSphinxEngine::stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_shared)
        m_shared->live = false;
    m_shared.reset();
    {
        std::lock_guard lock(m_statusMutex);
        m_status = {};
    }
    std::lock_guard lock(m_decoderMutex);
    if (m_inUtterance)
        endDecoding();
}

void PocketSphinxEngine::startUtterance() {
    ps_start_utt(m_ps);
    ps_start_utt(m_loop);
    m_inUtterance = true;
}

// The measures of the utterance just ended (both decoders ended).
Judgement PocketSphinxEngine::judge() {
    Judgement j;
    j.frames = ps_get_n_frames(m_ps);
    int32 score = 0;
    const char* hyp = ps_get_hyp(m_ps, &score);
    if (!hyp || j.frames <= 0 || m_ruleOfTokens.count(baseWords(hyp)) == 0)
        return j;
    // The rule is the one most of the lattice spells, which is the best
    // path's but for near ties.
    double ascale = 1.0 / cmd_ln_float32_r(ps_get_config(m_ps), "-ascale");
    RuleConfidence sure = ruleConfidence(ps_get_lattice(m_ps), m_ruleTokens, ascale);
    if (sure.best < 0)
        return j;
    j.rule = m_ruleTexts[size_t(sure.best)];
    j.logPosterior = sure.logPosterior;
    j.margin = m_soundsAlike[size_t(sure.best)] ? 0 : sure.margin;
    int32 loopScore = 0;
    ps_get_hyp(m_loop, &loopScore);
    j.overPhoneLoop = double(acousticScore(m_ps) - acousticScore(m_loop)) / double(j.frames);
    j.phoneRatio = phonesPerRulePhone(m_ps, m_loop, m_ruleTokens[size_t(sure.best)]);
    j.accepted = j.logPosterior >= m_acceptance.minLogPosterior &&
                 j.margin >= m_acceptance.minMargin &&
                 j.overPhoneLoop >= m_acceptance.minOverPhoneLoop &&
                 j.phoneRatio <= m_acceptance.maxPhoneRatio;
    return j;
}

// Whether the best path so far spells a whole rule.
bool PocketSphinxEngine::wholeRuleSoFar() {
    int32 score = 0;
    const char* hyp = ps_get_hyp(m_ps, &score);
    return hyp && m_ruleOfTokens.count(baseWords(hyp)) > 0;
}

// Both decoders are given the frames; each its own copy, as a decoder
// normalises the frames it is given in place.
void PocketSphinxEngine::decode(const FrontEnd::Frame* frames, size_t count) {
    for (ps_decoder_t* ps : {m_ps, m_loop})
        decodeWith(ps, frames, count);
}

void PocketSphinxEngine::decodeWith(ps_decoder_t* ps, const FrontEnd::Frame* frames, size_t count) {
    std::vector<FrontEnd::Frame> copy(frames, frames + count);
    std::vector<mfcc_t*> rows;
    for (auto& f : copy)
        rows.push_back(f.data());
    ps_process_cep(ps, rows.data(), int(rows.size()), FALSE, FALSE);
}

// The rule heard in the utterance just ended, empty when none. Until the
// cepstral means have been learnt from enough speech, the model's own
// means can be far from this voice and room (a quiet microphone): the
// utterance is decoded again from its own means, blended with what was
// learnt before, so the first phrase is heard as well as later ones.
std::string PocketSphinxEngine::utteranceEnded(const std::vector<FrontEnd::Frame>& given) {
    if (m_learntFrames < kLearntFrames && !given.empty()) {
        endDecoding();
        size_t n = given.size(), ceps = given[0].size();
        std::vector<mfcc_t> mean(ceps, 0), before(ceps);
        for (const auto& f : given)
            for (size_t i = 0; i < ceps; ++i)
                mean[i] += f[i] / float(n);
        cmn_live_get(ps_get_feat(m_ps)->cmn_struct, before.data());
        double w = double(m_learntFrames) / double(m_learntFrames + long(n));
        for (size_t i = 0; i < ceps; ++i)
            mean[i] = float(w * before[i] + (1 - w) * mean[i]);
        for (ps_decoder_t* ps : {m_ps, m_loop})
            cmn_live_set(ps_get_feat(ps)->cmn_struct, mean.data());
        startUtterance();
        // The two decoders at once: this wait comes after the speech.
        std::thread loop([&] { decodeWith(m_loop, given.data(), n); });
        decodeWith(m_ps, given.data(), n);
        loop.join();
        m_learntFrames += long(n);
    }
    return utteranceEnded();
}

// The rule heard in the utterance just ended, empty when none.
std::string PocketSphinxEngine::utteranceEnded() {
    endDecoding();
    Judgement j = judge();
    if (m_observer)
        m_observer(j);
    return j.accepted ? j.rule : std::string{};
}

void PocketSphinxEngine::endDecoding() {
    ps_end_utt(m_ps);
    ps_end_utt(m_loop);
    m_inUtterance = false;
}

void PocketSphinxEngine::hear(std::shared_ptr<Shared> shared, std::unique_ptr<AudioSource> source) {
    auto post = [&shared](std::function<void(const EngineSink&)> deliver) {
        rt::uithread::post([shared, deliver] {
            if (shared->live)
                deliver(shared->sink);
        });
    };
    auto postPhrase = [&post](const std::string& phrase) {
        if (!phrase.empty())
            post([phrase](const EngineSink& s) {
                if (s.phrase)
                    s.phrase(phrase);
            });
    };
    FrontEnd& front = *m_frontEnd;
    front.restart();
    VoiceActivity voice(voiceSettings(m_postFrames));
    bool ours = false;                  // an utterance this loop started is going on
    bool feeding = false;               // whether new frames go to the decoders
    int unfed = 0;                      // newest frames of the utterance not given to them
    std::vector<FrontEnd::Frame> given; // to the decoders in this utterance
    auto feed = [&](size_t newest) {
        const auto& recent = front.recent();
        given.insert(given.end(), recent.end() - long(newest), recent.end());
        decode(given.data() + given.size() - newest, newest);
    };
    // Every frame out of the front end.
    auto framed = [&] {
        if (feeding)
            feed(1);
        else if (ours)
            ++unfed;
    };
    // While no one speaks the front end runs kPreFrames behind, so the
    // room noise under the start of speech is set from how loud it is.
    auto release = [&](size_t count) { front.release(count, framed); };
    auto endUtterance = [&] {
        std::string phrase = utteranceEnded(given);
        given.clear();
        voice.reset();
        ours = feeding = false;
        unfed = 0;
        return phrase;
    };
    std::deque<double> lastLevels; // of the frames that may start speech
    // One 10 ms frame of samples, the last held.
    auto frame = [&](double meanSquare) {
        if (ours && !m_inUtterance) {
            // A new grammar ended it: what is still said starts anew.
            given.clear();
            voice.reset();
            ours = feeding = false;
            unfed = 0;
        }
        VoiceActivity::Change change = voice.next(meanSquare);
        lastLevels.push_back(meanSquare);
        if (lastLevels.size() > 10)
            lastLevels.pop_front();
        if (!m_inUtterance) {
            if (change != VoiceActivity::Change::Started) {
                if (front.held() > size_t(kPreFrames) * kChunk)
                    release(front.held() - size_t(kPreFrames) * kChunk);
                return std::string{};
            }
            double loudest = *std::max_element(lastLevels.begin(), lastLevels.end());
            front.setRoomNoiseBelow(loudest, kRoomNoiseDb);
            startUtterance();
            ours = true;
            release(front.held());
            feed(std::min(front.recent().size(), size_t(kPreFrames)));
            feeding = true;
            unfed = 0;
            return std::string{};
        }
        release(front.held());
        if (change == VoiceActivity::Change::Over) {
            feeding = false;
            if (wholeRuleSoFar())
                return endUtterance();
        } else if (change == VoiceActivity::Change::Resumed) {
            feed(std::min({front.recent().size(), size_t(unfed), size_t(kResumePreFrames)}));
            feeding = true;
            unfed = 0;
        } else if (!feeding && voice.quietFrames() >= m_waitFrames) {
            return endUtterance();
        }
        return std::string{};
    };
    int16_t samples[kChunk];
    double energy = 0;
    size_t counted = 0;
    size_t inFrame = 0;
    double frameSum = 0;
    std::deque<double> chunkSums;
    while (!m_stop) {
        size_t n = source->read(samples, kChunk);
        if (n == 0 && source->comesBack() && reopen(*source))
            continue;
        if (n == 0)
            break;
        for (size_t i = 0; i < n; ++i) {
            double x = samples[i];
            energy += x * x;
            frameSum += x * x;
            front.hold(samples[i]);
            if (++inFrame < kChunk)
                continue;
            std::string phrase;
            {
                std::lock_guard lock(m_decoderMutex);
                chunkSums.push_back(frameSum);
                if (chunkSums.size() > kLevelChunks)
                    chunkSums.pop_front();
                double sum = 0;
                for (double c : chunkSums)
                    sum += c;
                phrase = frame(sum / double(kChunk * chunkSums.size()) +
                               FrontEnd::kDither * FrontEnd::kDither / 3.0);
            }
            postPhrase(phrase);
            inFrame = 0;
            frameSum = 0;
        }
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
    }
    {
        std::lock_guard lock(m_decoderMutex);
        std::string phrase = m_inUtterance ? utteranceEnded(given) : std::string{};
        if (!m_stop)
            postPhrase(phrase);
    }
    source->close();
    m_finished = true;
}

// The device went away (a sound server restarted): it is opened again
// until it is back or listening stops; meanwhile the status says so.
bool PocketSphinxEngine::reopen(AudioSource& source, const std::string& why) {
    source.close();
    std::string reason = why + "; trying again";
    while (!m_stop) {
        setStatus({EngineState::SourceUnavailable, reason});
        std::this_thread::sleep_for(std::chrono::milliseconds(kReopenEveryMs));
        if (m_stop)
            break;
        try {
            source.open();
            setStatus({});
            return true;
        } catch (const RuntimeError& e) {
            reason = e.description() + "; trying again";
        }
    }
    return false;
}

void PocketSphinxEngine::setStatus(EngineStatus status) {
    {
        std::lock_guard lock(m_statusMutex);
        if (status.state == m_status.state && status.reason == m_status.reason)
            return;
        m_status = std::move(status);
    }
    std::shared_ptr<Shared> shared = m_shared;
    rt::uithread::post([this, shared] {
        if (shared && shared->live && m_watcher)
            m_watcher();
    });
}

EngineStatus PocketSphinxEngine::status() const {
    std::lock_guard lock(m_statusMutex);
    return m_status;
}

void PocketSphinxEngine::setStatusWatcher(std::function<void()> watcher) {
    m_watcher = std::move(watcher);
}

void installPocketSphinxEngine() {
    // The model loads while the window shows.
    setRecogniserEngineFactory([] {
        return std::make_unique<LoadingEngine>(
            [] { return std::make_unique<PocketSphinxEngine>(); });
    });
}

} // namespace rt::speech
