// Recognises WAV files against a grammar file with the PocketSphinx engine,
// for the measurement scripts here.
//   recognise_wav [--session|--fresh] grammar.txt file.wav...
// prints a line with the model load time, then one line per file:
//   <file>\t<phrases heard, joined by "|">\t<decode ms>\t<measures>
// where the measures are one entry per utterance, joined by "|":
//   frames;log posterior;over phone loop;loop phones per rule phone;margin;best rule
// --session (the default) hears all files with one recogniser, as one
// speaker's session; --fresh starts a new recogniser for every file.
//   recognise_wav --lexicon grammar.txt
// prints a dictionary of the grammar's words for another decoder: the model
// dictionary's entries, and the pronouncer's for words it lacks.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#include "runtime/backends/pocketsphinx/Pronouncer.h"
#include "runtime/backends/pocketsphinx/WavFileSource.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"
#include "runtime/core/UiThread.h"
#include "runtime/speech/GrammarFile.h"

using namespace rt::speech;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

int lexicon(const std::vector<std::string>& rules) {
    std::set<std::string> words;
    for (const auto& rule : rules) {
        std::istringstream in(rule);
        std::string w;
        while (in >> w)
            words.insert(rt::LCase(w));
    }
    std::multimap<std::string, std::string> entries; // base word -> whole line
    std::map<std::string, std::string> first;
    std::ifstream dict(PocketSphinxEngine::defaultModelDir() + "/cmudict-en-us.dict");
    std::string line;
    while (std::getline(dict, line)) {
        auto space = line.find(' ');
        if (space == std::string::npos)
            continue;
        std::string name = line.substr(0, space);
        std::string base = name.substr(0, name.find('('));
        if (!words.count(base))
            continue;
        entries.emplace(base, line);
        if (name == base)
            first[base] = line.substr(space + 1);
    }
    Pronouncer pronouncer([&first](const std::string& w) -> std::optional<std::string> {
        auto found = first.find(w);
        if (found == first.end())
            return std::nullopt;
        return found->second;
    });
    for (const auto& w : words) {
        auto [from, to] = entries.equal_range(w);
        if (from == to) {
            if (auto phones = pronouncer.phones(w))
                std::printf("%s %s\n", w.c_str(), phones->c_str());
            continue;
        }
        for (auto it = from; it != to; ++it)
            std::printf("%s\n", it->second.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool fresh = false;
    if (!args.empty() && (args[0] == "--fresh" || args[0] == "--session")) {
        fresh = args[0] == "--fresh";
        args.erase(args.begin());
    }
    if (args.size() == 2 && args[0] == "--lexicon")
        return lexicon(GrammarFile::read(args[1]));
    if (args.empty()) {
        std::fprintf(stderr, "usage: recognise_wav [--session|--fresh] grammar.txt file.wav...\n"
                             "       recognise_wav --lexicon grammar.txt\n");
        return 2;
    }
    try {
        if (const char* frames = std::getenv("QUIBO_END_SILENCE_FRAMES"))
            PocketSphinxEngine::setEndSilenceFrames(std::atoi(frames));
        std::string wav;
        std::string measures;
        auto rules = GrammarFile::read(args[0]);
        auto make = [&] {
            auto engine = std::make_unique<PocketSphinxEngine>(
                [&wav] { return std::make_unique<WavFileSource>(wav); });
            std::string problem = engine->setGrammar(rules);
            if (!problem.empty())
                std::fprintf(stderr, "%s\n", problem.c_str());
            engine->setJudgementObserver([&measures](const Judgement& j) {
                char text[160];
                std::snprintf(text, sizeof text, "%d;%.4f;%.3f;%.3f;%.3f;", j.frames,
                              j.logPosterior, j.overPhoneLoop, j.phoneRatio, j.margin);
                measures += (measures.empty() ? "" : "|") + std::string(text) + j.rule;
            });
            return engine;
        };
        auto t0 = Clock::now();
        auto engine = make();
        std::printf("load\t%.1f\n", msSince(t0));
        for (size_t i = 1; i < args.size(); ++i) {
            wav = args[i];
            if (fresh && i > 1) {
                engine.reset();
                engine = make();
            }
            std::string heard;
            measures.clear();
            auto start = Clock::now();
            engine->start(EngineSink{
                [&heard](const std::string& p) { heard += heard.empty() ? p : "|" + p; }, nullptr});
            while (!engine->finished())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            double ms = msSince(start);
            rt::uithread::runPosted();
            engine->stop();
            std::printf("%s\t%s\t%.1f\t%s\n", wav.c_str(), heard.c_str(), ms, measures.c_str());
        }
    } catch (const rt::RuntimeError& e) {
        std::fprintf(stderr, "%s\n", e.description().c_str());
        return 1;
    }
    return 0;
}
