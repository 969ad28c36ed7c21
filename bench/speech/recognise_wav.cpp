// Recognises WAV files against a grammar file with the PocketSphinx engine:
// one line per file, "<file>\t<phrase or empty>\t<decode ms>", after a line
// with the model load time. Used by the measurement scripts.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#include "runtime/backends/pocketsphinx/WavFileSource.h"
#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"
#include "runtime/speech/GrammarFile.h"

using namespace rt::speech;
using Clock = std::chrono::steady_clock;

static double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: recognise_wav grammar.txt file.wav...\n");
        return 2;
    }
    try {
        if (const char* frames = std::getenv("QUIBO_END_SILENCE_FRAMES"))
            PocketSphinxEngine::setEndSilenceFrames(std::atoi(frames));
        std::string wav;
        auto t0 = Clock::now();
        PocketSphinxEngine engine([&wav] { return std::make_unique<WavFileSource>(wav); });
        std::printf("load\t%.1f\n", msSince(t0));
        // For tuning the rejection threshold.
        if (const char* below = std::getenv("QUIBO_REJECT_BELOW"))
            engine.setRejectBelow(std::atoi(below));
        std::string problem = engine.setGrammar(GrammarFile::read(argv[1]));
        if (!problem.empty())
            std::fprintf(stderr, "%s\n", problem.c_str());
        for (int i = 2; i < argc; ++i) {
            wav = argv[i];
            std::string heard;
            auto start = Clock::now();
            engine.start(EngineSink{
                [&heard](const std::string& p) { heard += heard.empty() ? p : "|" + p; }, nullptr});
            while (!engine.finished())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            double ms = msSince(start);
            rt::uithread::runPosted();
            engine.stop();
            std::printf("%s\t%s\t%.1f\n", argv[i], heard.c_str(), ms);
        }
    } catch (const rt::RuntimeError& e) {
        std::fprintf(stderr, "%s\n", e.description().c_str());
        return 1;
    }
    return 0;
}
