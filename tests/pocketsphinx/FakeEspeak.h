#pragma once
// An espeak-ng of the test's own, the only one on PATH while it lives: a
// shell script that answers a run given as its argument with `single` and
// runs on its standard input with `batch`, counting its starts. Without a
// batch script there is no espeak-ng at all.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "tests/support/TestSupport.h"

namespace rt::test {

class FakeEspeak {
public:
    explicit FakeEspeak(const std::optional<std::string>& batch,
                        const std::string& single = "printf 'fˈuː\\n'")
        : m_dir(uniqueTempDir("fake-espeak")) {
        const char* path = std::getenv("PATH");
        m_oldPath = path ? path : "/usr/bin:/bin";
        if (batch) {
            auto program = m_dir / "espeak-ng";
            std::ofstream(program) << "#!/bin/sh\nPATH='" << m_oldPath << "'\necho >> '"
                                   << (m_dir / "starts").string() << "'\nif [ $# -ge 5 ]; then\n"
                                   << single << "\nexit 0\nfi\n"
                                   << *batch << "\n";
            std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        }
        setenv("PATH", m_dir.c_str(), 1);
    }
    ~FakeEspeak() {
        setenv("PATH", m_oldPath.c_str(), 1);
        std::filesystem::remove_all(m_dir);
    }
    FakeEspeak(const FakeEspeak&) = delete;
    FakeEspeak& operator=(const FakeEspeak&) = delete;

    // How many times espeak-ng was started.
    int starts() const {
        std::ifstream log(m_dir / "starts");
        int n = 0;
        for (std::string line; std::getline(log, line);)
            ++n;
        return n;
    }

private:
    std::filesystem::path m_dir;
    std::string m_oldPath;
};

} // namespace rt::test
