// Any bytes as the application file: filling the application list ends, lists
// at most one line per record (line i the key of record i + 1), closes the
// file and leaves it as it was.

#include "fuzz/support/FuzzProgram.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/CApp.h"
#include "voicecommand/frmApp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::World& w = fuzz::world();
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile(w.folder / "vappcmd.txt", bytes);
    rt::ListBox& list = rt::form<frmApp>()->lstVAppCmd;
    list.Clear();
    CApp app;
    app.FillVACListBox();
    fuzz::expectSlotsClosed();
    if (static_cast<size_t>(list.ListCount()) > (size + 269) / 270 + 1)
        std::abort();
    for (int i = 0; i < list.ListCount(); ++i)
        if (list.List(i).empty() || list.List(i).size() > 268)
            std::abort();
    if (fuzz::readFile(w.folder / "vappcmd.txt") != bytes)
        std::abort();
    return 0;
}
