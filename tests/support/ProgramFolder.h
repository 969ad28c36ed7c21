#pragma once
// A fresh, empty program folder for one test: rt::App().Path() points at it
// while the fixture lives, and every numbered file is closed around it.

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "runtime/core/App.h"
#include "runtime/core/FileSlots.h"

namespace rt::test {

class ProgramFolder {
public:
    ProgramFolder() {
        std::string templ = (std::filesystem::temp_directory_path() / "quibo-test-XXXXXX").string();
        m_path = mkdtemp(templ.data());
        m_savedPath = App().Path();
        App().setPath(m_path.string());
        closeAll();
    }
    ~ProgramFolder() {
        closeAll();
        App().setPath(m_savedPath);
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path vocab() const { return m_path / "vocab"; }
    void makeVocabFolder() const { std::filesystem::create_directories(vocab()); }

    std::string read(const std::filesystem::path& relative) const {
        std::ifstream in(m_path / relative, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const std::filesystem::path& relative, const std::string& bytes) const {
        std::filesystem::create_directories((m_path / relative).parent_path());
        std::ofstream(m_path / relative, std::ios::binary) << bytes;
    }

private:
    static void closeAll() {
        for (int slot = 1; slot <= FileSlots::kMaxSlot; ++slot)
            FileSlots::Close(slot);
    }
    std::filesystem::path m_path;
    std::string m_savedPath;
};

// The bytes of a record file of record length `length` holding `texts`.
inline std::string recordFile(const std::vector<std::string>& texts, size_t length) {
    std::string bytes;
    for (const std::string& t : texts) {
        std::string record(length, '\0');
        record[0] = static_cast<char>(t.size() & 0xFF);
        record[1] = static_cast<char>(t.size() >> 8);
        record.replace(2, t.size(), t);
        bytes += record;
    }
    return bytes;
}

} // namespace rt::test
