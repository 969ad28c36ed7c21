// What standard error hears while the microphone is missing and tried
// again and again: that it is missing, once, and that it is back, once.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/backends/pocketsphinx/MicrophoneSource.h"
#include "runtime/core/Error.h"
#include "tests/pocketsphinx/SoundServer.h"
#include "tests/support/TestSupport.h"

namespace rt::speech {
namespace {

// Standard error of this process, written to a file while the object lives.
class CapturedErrors {
public:
    CapturedErrors() : m_dir(test::uniqueTempDir("quibo-stderr")) {
        std::fflush(stderr);
        m_saved = dup(2);
        int fd = ::open((m_dir / "errors.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        ::close(fd);
    }
    ~CapturedErrors() {
        restore();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::vector<std::string> lines() {
        restore();
        std::ifstream in(m_dir / "errors.txt");
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    }

private:
    void restore() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    std::filesystem::path m_dir;
    int m_saved = -1;
};

TEST(MicrophoneReport, AMissingMicrophoneIsToldOnceAndItsReturnOnce) {
    if (!test::SoundServer::installed())
        GTEST_SKIP() << "pulseaudio or pulseaudio-utils not installed";
    // No server yet, and no sound card: neither way gives a microphone.
    test::SoundServer server(test::SoundServer::Beside::NoCaptureDevice);
    // A card that is not there, of which ALSA itself complains at every open.
    std::filesystem::path dir = test::uniqueTempDir("quibo-alsa");
    std::ofstream(dir / "asound.conf") << "pcm.!default { type hw card \"Nonexistent\" }\n";
    setenv("ALSA_CONFIG_PATH", (dir / "asound.conf").c_str(), 1); // the server puts it back
    MicrophoneSource microphone;
    std::vector<std::string> lines;
    {
        CapturedErrors errors;
        for (int attempt = 0; attempt < 8; ++attempt)
            EXPECT_THROW(microphone.open(), RuntimeError);
        bool started = server.start();
        if (started) {
            EXPECT_NO_THROW(microphone.open());
        }
        microphone.close();
        lines = errors.lines();
        std::filesystem::remove_all(dir);
        ASSERT_TRUE(started) << server.log();
    }
    std::string all;
    for (const auto& line : lines)
        all += line + "\n";
    ASSERT_EQ(lines.size(), 2u) << all;
    EXPECT_EQ(lines[0].rfind("quibo: no microphone: ", 0), 0u) << all;
    EXPECT_NE(lines[0].find("trying again"), std::string::npos) << all;
    EXPECT_EQ(lines[1], "quibo: the microphone is back") << all;
}

} // namespace
} // namespace rt::speech
