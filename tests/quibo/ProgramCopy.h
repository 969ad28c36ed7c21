#pragma once
// A program folder of the test's own holding a copy of the program binary
// (the program folder is the executable's), with its vocabulary folder;
// removed with everything in it at the end.

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/TestSupport.h"

namespace quibo::test {

class ProgramCopy {
public:
    ProgramCopy() : m_folder(rt::test::uniqueTempDir("quibo-process")) {
        std::filesystem::copy_file(QUIBO_PROGRAM, m_folder / "quibo");
        std::filesystem::create_directories(m_folder / "vocab");
    }
    ~ProgramCopy() {
        std::error_code ec;
        std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_folder, ec);
    }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }
    std::string read(const std::string& name) const {
        std::ifstream in(m_folder / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(m_folder / name, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path m_folder;
};

} // namespace quibo::test
