// Any bytes as the application file and the vocabulary "Edit": a spoken
// application name and a spoken phrase are dispatched to the end, with the
// files closed and unchanged.

#include "fuzz/support/FuzzProgram.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/CApp.h"
#include "voicecommand/RunningApps.h"
#include "voicecommand/frmApp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::World& w = fuzz::world();
    static rt::HWND editor = [&] {
        rt::HWND h = w.desktop->addWindow({.className = "Editor", .title = "notes"}, true);
        RunningApps::FillRunningApps(rt::form<frmApp>()->lstRunApp);
        return h;
    }();
    (void)editor;
    auto [apps, vocab] = fuzz::split(data, size);
    fuzz::writeFile(w.folder / "vappcmd.txt", apps);
    fuzz::writeFile(w.folder / "vocab" / "Edit.txt", vocab);
    CApp app;
    for (const char* phrase : {"Notes", "Copy", ""}) {
        if (app.AppCheck(phrase) == 0)
            app.VocabCheck(phrase);
        fuzz::expectSlotsClosed();
    }
    if (fuzz::readFile(w.folder / "vappcmd.txt") != apps ||
        fuzz::readFile(w.folder / "vocab" / "Edit.txt") != vocab)
        std::abort();
    return 0;
}
