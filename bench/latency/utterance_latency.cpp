// Plays WAV files to the PocketSphinx engine at the pace of a microphone and
// times each phrase from the end of speech in the recording to its keys
// being typed (simulated keyboard, on the user-interface thread, as the
// program does). One line per file:
//   "<file>\t<phrase heard or empty>\t<end of speech s>\t<latency ms>"
// after a line "hangover\t<ms>" with the end-of-speech wait in use.
// QUIBO_END_SILENCE_FRAMES sets that wait for the run (10 ms frames).
//   utterance_latency --plain grammar.gram words.dict file.wav...
// does the same with the plain decoder, as pocketsphinx_continuous listens:
// default settings and its own voice activity detection, a phrase typed
// when that calls the speech over.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <pocketsphinx.h>

#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#include "runtime/backends/pocketsphinx/WavFileSource.h"
#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/backends/sim/SimKeyboard.h"
#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"
#include "runtime/platform/keyboard/SendKeys.h"
#include "runtime/speech/GrammarFile.h"

using namespace rt::speech;
using Clock = std::chrono::steady_clock;

namespace {

// Seconds from the start of the file to the end of its last 10 ms frame
// louder than five times the noise floor (the median of the first 300 ms).
double endOfSpeech(const std::string& path) {
    WavFileSource in(path);
    in.open();
    std::vector<double> rms;
    int16_t frame[kSampleRate / 100];
    while (size_t n = in.read(frame, std::size(frame))) {
        double sum = 0;
        for (size_t i = 0; i < n; ++i)
            sum += double(frame[i]) * frame[i];
        rms.push_back(std::sqrt(sum / double(n)));
    }
    in.close();
    std::vector<double> lead(rms.begin(), rms.begin() + std::min<size_t>(rms.size(), 30));
    std::sort(lead.begin(), lead.end());
    double floor = lead.empty() ? 0 : lead[lead.size() / 2];
    size_t last = 0;
    for (size_t i = 0; i < rms.size(); ++i)
        if (rms[i] > 5 * floor)
            last = i + 1;
    return double(last) / 100.0;
}

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The plain decoder's phrases of one file, paced; the time of the first.
std::string plainHeard(ps_decoder_t* ps, const std::string& path, Clock::time_point& typed) {
    WavFileSource in(path, true);
    in.open();
    std::string heard;
    int16_t chunk[kSampleRate / 100];
    bool inSpeech = false;
    ps_start_utt(ps);
    auto ended = [&] {
        ps_end_utt(ps);
        int32 score = 0;
        const char* hyp = ps_get_hyp(ps, &score);
        if (hyp && *hyp) {
            if (heard.empty()) {
                rt::SendKeys("x", true);
                typed = Clock::now();
            }
            heard += (heard.empty() ? "" : "|") + std::string(hyp);
        }
    };
    while (size_t n = in.read(chunk, std::size(chunk))) {
        ps_process_raw(ps, chunk, n, FALSE, FALSE);
        bool now = ps_get_in_speech(ps) != 0;
        if (inSpeech && !now) {
            ended();
            ps_start_utt(ps);
        }
        inSpeech = now;
    }
    ended();
    in.close();
    return heard;
}

int plain(int argc, char** argv) {
    std::string hmm = PocketSphinxEngine::defaultModelDir() + "/en-us";
    cmd_ln_t* config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-jsgf", argv[2],
                                   "-dict", argv[3], "-logfn", "/dev/null", nullptr);
    ps_decoder_t* ps = config ? ps_init(config) : nullptr;
    if (!ps) {
        std::fprintf(stderr, "the plain decoder cannot load\n");
        return 1;
    }
    std::printf("hangover\t%d\n", int(cmd_ln_int32_r(config, "-vad_postspeech")) * 10);
    for (int i = 4; i < argc; ++i) {
        double speechEnds = endOfSpeech(argv[i]);
        Clock::time_point typed{};
        auto started = Clock::now();
        std::string heard = plainHeard(ps, argv[i], typed);
        double latency =
            heard.empty() ? std::nan("") : msBetween(started, typed) - speechEnds * 1000.0;
        std::printf("%s\t%s\t%.2f\t%.1f\n", argv[i], heard.c_str(), speechEnds, latency);
        std::fflush(stdout);
    }
    ps_free(ps);
    cmd_ln_free_r(config);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "--plain") {
        rt::setKeyboard(std::make_shared<rt::SimKeyboard>());
        int result = plain(argc, argv);
        rt::setKeyboard(nullptr);
        return result;
    }
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: utterance_latency grammar.txt file.wav...\n"
                     "       utterance_latency --plain grammar.gram words.dict file.wav...\n");
        return 2;
    }
    try {
        if (const char* frames = std::getenv("QUIBO_END_SILENCE_FRAMES"))
            PocketSphinxEngine::setEndSilenceFrames(std::atoi(frames));
        auto desktop = std::make_shared<rt::SimDesktop>();
        rt::setDesktop(desktop);
        desktop->addWindow({.className = "Editor", .title = "typing"}, true);
        rt::setKeyboard(std::make_shared<rt::SimKeyboard>());
        std::string wav;
        PocketSphinxEngine engine([&wav] { return std::make_unique<WavFileSource>(wav, true); });
        std::printf("hangover\t%d\n", PocketSphinxEngine::endSilenceFrames() * 10);
        std::string problem = engine.setGrammar(GrammarFile::read(argv[1]));
        if (!problem.empty())
            std::fprintf(stderr, "%s\n", problem.c_str());
        for (int i = 2; i < argc; ++i) {
            wav = argv[i];
            double speechEnds = endOfSpeech(wav);
            std::string heard;
            Clock::time_point typed{};
            auto started = Clock::now();
            engine.start(EngineSink{[&heard, &typed](const std::string& p) {
                                        if (heard.empty()) {
                                            rt::SendKeys("x", true);
                                            typed = Clock::now();
                                        }
                                        heard += heard.empty() ? p : "|" + p;
                                    },
                                    nullptr});
            while (!engine.finished()) {
                rt::uithread::runPosted();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            rt::uithread::runPosted();
            engine.stop();
            double latency =
                heard.empty() ? std::nan("")
                              : std::chrono::duration<double, std::milli>(typed - started).count() -
                                    speechEnds * 1000.0;
            std::printf("%s\t%s\t%.2f\t%.1f\n", argv[i], heard.c_str(), speechEnds, latency);
            std::fflush(stdout);
        }
        rt::setKeyboard(nullptr);
        rt::setDesktop(nullptr);
    } catch (const rt::RuntimeError& e) {
        std::fprintf(stderr, "%s\n", e.description().c_str());
        return 1;
    }
    return 0;
}
