// Typing 200 characters with XTest on a private Xvfb: waiting for the keys
// to be processed, set against the same typing without the wait and against
// one bare round trip to the server in the same run.

// Google Benchmark before the X headers: Xlib defines None as a macro.
#include <benchmark/benchmark.h>

#include "runtime/backends/x11/XTestKeyboard.h"

#include <cstdlib>
#include <memory>

#include "runtime/platform/keyboard/KeyString.h"
#include "tests/x11/XServer.h"

namespace {

struct World {
    std::unique_ptr<XServer> server;
    std::shared_ptr<rt::x11::XDisplay> display;
    std::unique_ptr<rt::x11::XTestKeyboard> keyboard;
    std::vector<rt::KeyEvent> keys;

    static World& get() {
        static World world;
        return world;
    }

private:
    World() {
        if (std::system("command -v Xvfb >/dev/null") != 0)
            return;
        server = std::make_unique<XServer>(false);
        if (!server->ok())
            return;
        display = rt::x11::XDisplay::open();
        keyboard = std::make_unique<rt::x11::XTestKeyboard>(display);
        std::string text;
        while (text.size() < 200)
            text += "The Quick brown fox, 12 jumps! ";
        text.resize(200);
        keys = rt::parseKeyString(text);
    }
};

bool ready(benchmark::State& state) {
    if (World::get().keyboard)
        return true;
    state.SkipWithError("no Xvfb");
    return false;
}

void BM_SendKeys200Wait(benchmark::State& state) {
    if (!ready(state))
        return;
    World& w = World::get();
    for (auto _ : state)
        w.keyboard->type(w.keys, true);
}
BENCHMARK(BM_SendKeys200Wait)->Unit(benchmark::kMillisecond);

void BM_SendKeys200NoWait(benchmark::State& state) {
    if (!ready(state))
        return;
    World& w = World::get();
    for (auto _ : state)
        w.keyboard->type(w.keys, false);
}
BENCHMARK(BM_SendKeys200NoWait)->Unit(benchmark::kMillisecond);

// The floor of a wait: one round trip.
void BM_RoundTrip(benchmark::State& state) {
    if (!ready(state))
        return;
    Display* d = World::get().display->get();
    for (auto _ : state)
        XSync(d, False);
}
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
