// The grammar rewrite over thirty full vocabularies, set against awk doing
// the same case-insensitive de-duplication of the same phrases; and one
// recognised phrase dispatched through a hundred applications into a
// thousand-phrase vocabulary, set against the same scans in memory.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/backends/sim/SimKeyboard.h"
#include "runtime/core/App.h"
#include "runtime/core/Strings.h"
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

// A hundred applications, the last of them in the foreground, all with one
// vocabulary of a thousand phrases; the phrase said is its last.
struct DispatchWorld : BenchFolder {
    std::shared_ptr<rt::SimDesktop> desktop = std::make_shared<rt::SimDesktop>();
    std::vector<std::string> apps, phrases;
    std::string said = "phrase 999";
    rt::HWND foreground = 0;

    DispatchWorld() {
        rt::setDesktop(desktop);
        rt::setKeyboard(std::make_shared<rt::SimKeyboard>());
        rt::ScriptedUser::install();
        for (int a = 0; a < 100; ++a)
            apps.push_back("Class" + std::to_string(a) + " \xA6 Title*App " + std::to_string(a) +
                           "~Big$");
        for (int p = 0; p < 1000; ++p)
            phrases.push_back("phrase " + std::to_string(p) + ":^c");
        std::ofstream(dir / "vappcmd.txt", std::ios::binary) << rt::test::recordFile(apps, 270);
        std::ofstream(dir / "vocab" / "Big.txt", std::ios::binary)
            << rt::test::recordFile(phrases, 128);
        foreground = desktop->addWindow({.className = "Class99", .title = "Title"}, true);
        RunningApps::AddWindowHandle(foreground, RunningApps::MakeWindowKey("Class99", "Title"));
    }
    ~DispatchWorld() {
        RunningApps::ReleaseWindowHandles();
        rt::setKeyboard(nullptr);
        rt::setDesktop(nullptr);
    }
};

void BM_PhraseDispatch(benchmark::State& state) {
    DispatchWorld world;
    CApp app;
    for (auto _ : state) {
        if (app.AppCheck(world.said) != 1 && app.VocabCheck(world.said) != 2)
            state.SkipWithError("no keys sent");
    }
}
BENCHMARK(BM_PhraseDispatch)->Unit(benchmark::kMicrosecond);

std::string_view upTo(std::string_view text, char c) {
    return text.substr(0, text.find(c));
}

std::string_view after(std::string_view text, char c) {
    size_t at = text.find(c);
    return at == std::string_view::npos ? text : text.substr(at + 1);
}

// Window keys to handles, hashed and compared without regard to case as the
// running-window collection does it.
struct KeyHash {
    using is_transparent = void;
    size_t operator()(std::string_view key) const {
        size_t h = 1469598103934665603ull;
        for (char c : key)
            h = (h ^ rt::upperAnsi(static_cast<unsigned char>(c))) * 1099511628211ull;
        return h;
    }
};
struct KeyEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return rt::textEquals(a, b); }
};

// The floor of a dispatch: the same four scans over the same records held in
// memory, doing what the dispatch does with each record (the name said, kept
// with the record's vocabulary and path; the foreground window's key looked
// up among the running windows; its vocabulary; the phrase, exact or but for
// case), with one status check of each file the dispatch opens.
void BM_DispatchFloor(benchmark::State& state) {
    DispatchWorld world;
    std::string appFile = (world.dir / "vappcmd.txt").string();
    std::string vocabFile = (world.dir / "vocab" / "Big.txt").string();
    std::unordered_map<std::string, rt::HWND, KeyHash, KeyEqual> handles{
        {RunningApps::MakeWindowKey("Class99", "Title"), world.foreground}};
    std::string_view said = world.said;
    std::string name, vocabularyName, pathName;
    for (auto _ : state) {
        struct stat st {};
        bool named = false;
        ::stat(appFile.c_str(), &st);
        for (std::string_view r : world.apps) {
            name.assign(upTo(after(r, '*'), '~'));
            vocabularyName.assign(upTo(after(after(r, '*'), '~'), '$'));
            pathName.assign(after(r, '$'));
            if ((named = name == said))
                break;
        }
        ::stat(appFile.c_str(), &st);
        std::string_view key;
        for (std::string_view r : world.apps) {
            auto h = handles.find(upTo(r, '*'));
            if (h != handles.end() && h->second == world.foreground) {
                key = upTo(r, '*');
                break;
            }
        }
        ::stat(appFile.c_str(), &st);
        std::string_view vocabulary;
        for (std::string_view r : world.apps)
            if (upTo(r, '*') == key) {
                vocabulary = upTo(after(r, '~'), '$');
                break;
            }
        ::stat(vocabFile.c_str(), &st);
        std::string_view keys, fallback;
        for (std::string_view r : world.phrases) {
            std::string_view phrase = upTo(r, ':');
            if (phrase == said) {
                keys = after(r, ':');
                break;
            }
            if (fallback.empty() && rt::textEquals(phrase, said))
                fallback = r;
        }
        if (named || vocabulary != "Big" || keys != "^c")
            state.SkipWithError("the scans found no keys");
    }
}
BENCHMARK(BM_DispatchFloor)->Unit(benchmark::kMicrosecond);

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
