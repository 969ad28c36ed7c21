// Any bytes as the application file: deleting any line of the application
// list removes the 270 bytes of that line's record and keeps every other byte,
// and closes the file. Any bytes as a vocabulary file: deleting any record
// number removes that record's 128 bytes (nothing past the end).

#include "fuzz/support/FuzzProgram.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/CApp.h"
#include "voicecommand/CFile.h"
#include "voicecommand/frmApp.h"

namespace {

std::string without(std::string_view bytes, size_t record, size_t length) {
    std::string out(bytes);
    size_t from = record * length;
    if (from < out.size())
        out.erase(from, length);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    fuzz::World& w = fuzz::world();
    const uint8_t pick = data[0];
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    fuzz::writeFile(w.folder / "vappcmd.txt", bytes);
    rt::ListBox& list = rt::form<frmApp>()->lstVAppCmd;
    list.Clear();
    CApp app;
    app.FillVACListBox();
    if (list.ListCount() > 0) {
        int line = pick % list.ListCount();
        list.setListIndex(line);
        app.DelRunApp();
        fuzz::expectSlotsClosed();
        if (fuzz::readFile(w.folder / "vappcmd.txt") !=
            without(bytes, static_cast<size_t>(line), 270))
            std::abort();
    }

    fuzz::writeFile(w.folder / "vocab" / "Edit.txt", bytes);
    CFile::DeleteRecord(true, "Edit", pick + 1);
    if (fuzz::readFile(w.folder / "vocab" / "Edit.txt") != without(bytes, pick, 128))
        std::abort();
    return 0;
}
