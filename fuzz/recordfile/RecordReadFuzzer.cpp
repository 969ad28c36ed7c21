// Any bytes as an application file and a vocabulary file: every record reads
// as a text or fails with 13011, never past its record.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "voicecommand/CFile.h"

namespace {

std::filesystem::path programFolder() {
    static std::filesystem::path folder = [] {
        std::string templ = (std::filesystem::temp_directory_path() / "quibo-fuzz-XXXXXX").string();
        std::filesystem::path p = mkdtemp(templ.data());
        std::filesystem::create_directories(p / "vocab");
        rt::App().setPath(p.string());
        return p;
    }();
    return folder;
}

void readAll(CFile& file, bool vocab) {
    file.InitRecord();
    file.FileOpen(vocab, "Fuzz");
    for (int reads = 0; reads < 4096; ++reads) {
        try {
            if (CFile::Eof())
                break;
            std::string text = file.FileRead(file.RecordNumber());
            if (text.size() > static_cast<size_t>(vocab ? 126 : 268))
                std::abort();
        } catch (const rt::RuntimeError& e) {
            if (e.number() != 13011 && e.number() != rt::kBadFileNameOrNumber)
                std::abort();
        }
        file.IncrementRecord();
    }
    file.FileClose();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::filesystem::path folder = programFolder();
    for (const auto& path : {folder / "vappcmd.txt", folder / "vocab" / "Fuzz.txt"})
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    CFile file;
    readAll(file, false);
    readAll(file, true);
    return 0;
}
