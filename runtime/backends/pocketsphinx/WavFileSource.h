#pragma once
// Samples from a WAV file (16 kHz mono 16-bit PCM), for tests and
// measurements. Optionally paced like a live microphone.

#include <chrono>
#include <fstream>
#include <string>

#include "runtime/backends/pocketsphinx/AudioSource.h"

namespace rt::speech {

class WavFileSource : public AudioSource {
public:
    explicit WavFileSource(std::string path, bool realTime = false);
    // Raises 53 for a missing file, 321 (invalid file format) for anything
    // but 16 kHz mono 16-bit PCM.
    void open() override;
    size_t read(int16_t* samples, size_t n) override;
    void close() override;

private:
    std::string m_path;
    bool m_realTime;
    std::ifstream m_in;
    size_t m_left = 0; // bytes of sample data not yet read
    size_t m_delivered = 0;
    std::chrono::steady_clock::time_point m_started;
};

} // namespace rt::speech
