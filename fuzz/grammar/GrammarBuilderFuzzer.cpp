// Any bytes as the application file and a listed vocabulary: the grammar
// rewrite ends with a whole grammar file (its fixed head, then one rule per
// line), the record files closed and unchanged.

#include "fuzz/support/FuzzProgram.h"
#include "runtime/forms/FormRef.h"
#include "voicecommand/CFile.h"
#include "voicecommand/frmVocab.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::World& w = fuzz::world();
    static bool listed = [] {
        rt::form<frmVocab>()->lstVocab.AddItem("Fuzz");
        return true;
    }();
    (void)listed;
    auto [apps, vocab] = fuzz::split(data, size);
    fuzz::writeFile(w.folder / "vappcmd.txt", apps);
    fuzz::writeFile(w.folder / "vocab" / "Fuzz.txt", vocab);
    CFile file;
    file.TempLoad();
    fuzz::expectSlotsClosed();
    std::string grammar = fuzz::readFile(w.folder / "temp.txt");
    const std::string head =
        "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n";
    if (grammar.rfind(head, 0) != 0 || grammar.back() != '\n')
        std::abort();
    if (fuzz::readFile(w.folder / "vappcmd.txt") != apps ||
        fuzz::readFile(w.folder / "vocab" / "Fuzz.txt") != vocab)
        std::abort();
    return 0;
}
