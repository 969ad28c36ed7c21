// The grammar rewrite over thirty full vocabularies, set against awk doing
// the same case-insensitive de-duplication of the same phrases; and one
// recognised phrase dispatched through a hundred applications into a
// thousand-phrase vocabulary.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/backends/sim/SimKeyboard.h"
#include "runtime/core/App.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/platform/keyboard/SendKeys.h"
#include "tests/support/ProgramFolder.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"
#include "voicecommand/Program.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmApp.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/frmVocab.h"

namespace fs = std::filesystem;

namespace {

std::string record(const std::string& text, size_t length) {
    return rt::test::recordFile({text}, length);
}

// A program folder of its own for each run of a benchmark, removed with it.
struct BenchFolder {
    rt::test::ProgramFolder folder;
    fs::path dir = folder.path();
    BenchFolder() { folder.makeVocabFolder(); }
};

// 30 vocabularies of 1000 phrases; half of each repeats another's phrases in
// another case, so de-duplication has work to do.
struct GrammarWorld : BenchFolder {
    fs::path phrases = dir / "phrases.txt";

    GrammarWorld() {
        std::ofstream all(phrases);
        std::ofstream apps(dir / "vappcmd.txt", std::ios::binary);
        for (int a = 0; a < 100; ++a)
            apps << record(
                "Class" + std::to_string(a) + " \xA6 Title*App " + std::to_string(a) + "~V0$", 270);
        for (int v = 0; v < 30; ++v) {
            std::ofstream out(dir / "vocab" / ("V" + std::to_string(v) + ".txt"), std::ios::binary);
            for (int p = 0; p < 1000; ++p) {
                int id = p < 500 ? p : v * 1000 + p;
                std::string phrase =
                    (v % 2 ? "PHRASE number " : "phrase Number ") + std::to_string(id);
                out << record(phrase + ":^c", 128);
                all << phrase << "\n";
            }
            rt::form<frmVocab>()->lstVocab.AddItem("V" + std::to_string(v));
        }
    }
};

void BM_TempLoad(benchmark::State& state) {
    GrammarWorld world;
    CFile file;
    for (auto _ : state)
        file.TempLoad();
    std::ifstream grammar(world.dir / "temp.txt");
    state.counters["lines"] = static_cast<double>(std::count(
        std::istreambuf_iterator<char>(grammar), std::istreambuf_iterator<char>(), '\n'));
    rt::form<frmVocab>().unload();
}
BENCHMARK(BM_TempLoad)->Unit(benchmark::kMillisecond);

void BM_AwkDedupe(benchmark::State& state) {
    GrammarWorld world;
    std::string cmd = "awk '!s[tolower($0)]++' '" + world.phrases.string() + "' > /dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("awk failed");
    rt::form<frmVocab>().unload();
}
BENCHMARK(BM_AwkDedupe)->Unit(benchmark::kMillisecond);

void BM_PhraseDispatch(benchmark::State& state) {
    BenchFolder folder;
    const fs::path& dir = folder.dir;
    auto desktop = std::make_shared<rt::SimDesktop>();
    rt::setDesktop(desktop);
    rt::setKeyboard(std::make_shared<rt::SimKeyboard>());
    rt::ScriptedUser::install();
    {
        std::ofstream apps(dir / "vappcmd.txt", std::ios::binary);
        for (int a = 0; a < 100; ++a)
            apps << record("Class" + std::to_string(a) + " \xA6 Title*App " + std::to_string(a) +
                               "~Big$",
                           270);
        std::ofstream vocab(dir / "vocab" / "Big.txt", std::ios::binary);
        for (int p = 0; p < 1000; ++p)
            vocab << record("phrase " + std::to_string(p) + ":^c", 128);
    }
    rt::HWND last = desktop->addWindow({.className = "Class99", .title = "Title"}, true);
    RunningApps::AddWindowHandle(last, RunningApps::MakeWindowKey("Class99", "Title"));
    CApp app;
    for (auto _ : state) {
        if (app.AppCheck("phrase 999") != 1)
            benchmark::DoNotOptimize(app.VocabCheck("phrase 999"));
    }
    rt::setKeyboard(nullptr);
    rt::setDesktop(nullptr);
}
BENCHMARK(BM_PhraseDispatch)->Unit(benchmark::kMicrosecond);

// Start-up to listening: the main window loads (application list, grammar
// file, recogniser active, running windows listed) and closes again.
void BM_StartUpToListening(benchmark::State& state) {
    GrammarWorld world;
    {
        std::ofstream(world.dir / "temp.txt", std::ios::binary)
            << "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n";
    }
    auto desktop = std::make_shared<rt::SimDesktop>();
    rt::setDesktop(desktop);
    for (int i = 0; i < 50; ++i)
        desktop->addWindow(
            {.className = "Class" + std::to_string(i), .title = "Window " + std::to_string(i)});
    rt::ScriptedUser::install();
    for (auto _ : state) {
        frmQuibo& main = rt::form<frmQuibo>().get();
        if (!main.DirectSR1->active())
            state.SkipWithError("not listening");
        state.PauseTiming();
        rt::form<frmQuibo>().unload();
        rt::form<frmApp>().unload();
        rt::form<frmVocab>().unload();
        rt::releaseUnloadedForms();
        Program::reset();
        state.ResumeTiming();
    }
    rt::setDesktop(nullptr);
}
BENCHMARK(BM_StartUpToListening)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
