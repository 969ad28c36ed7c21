// Any bytes as a vocabulary file: listing its phrases, finding one, counting
// to the append position and reading each record end, close the file and
// leave it as it was; the append position is past every listed phrase.

#include "fuzz/support/FuzzProgram.h"
#include "runtime/core/Error.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/CVocab.h"
#include "voicecommand/frmVocab.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::World& w = fuzz::world();
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile(w.folder / "vocab" / "Fuzz.txt", bytes);
    rt::ListBox& list = rt::form<frmVocab>()->lstDictionary;
    list.Clear();
    CVocab store;
    store.FillDictionaryListBox(true, "Fuzz");
    fuzz::expectSlotsClosed();
    if (static_cast<size_t>(list.ListCount()) > (size + 127) / 128 + 1)
        std::abort();
    store.DictionarySelect("Fuzz", list.ListCount() > 0 ? list.List(0) : "");
    fuzz::expectSlotsClosed();
    store.InitRecord();
    int16_t append = store.DictionaryRecordCount("Fuzz");
    fuzz::expectSlotsClosed();
    if (append < 1 || static_cast<size_t>(append) > (size + 127) / 128 + 1)
        std::abort();
    for (int16_t r = 1; r <= append; ++r)
        rt::skipFailure([&] { store.ReadDictionary(r, "Fuzz"); });
    rt::FileSlots::Close(1); // a failing read leaves the slot to its caller
    if (fuzz::readFile(w.folder / "vocab" / "Fuzz.txt") != bytes)
        std::abort();
    return 0;
}
