#include "runtime/backends/pocketsphinx/WavFileSource.h"

#include <cstring>
#include <thread>

#include "runtime/core/Error.h"

namespace rt::speech {

namespace {

uint32_t le32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t(b[3]) << 24);
}

uint16_t le16(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

constexpr int32_t kBadFormat = 321;

} // namespace

WavFileSource::WavFileSource(std::string path, bool realTime)
    : m_path(std::move(path)), m_realTime(realTime) {}

void WavFileSource::open() {
    m_in.close();
    m_in.clear();
    m_in.open(m_path, std::ios::binary);
    if (!m_in)
        raiseError(kFileNotFound, "SpeechRecogniser", "Audio file not found: " + m_path);
    auto bad = [&] {
        raiseError(kBadFormat, "SpeechRecogniser", "Not 16 kHz mono 16-bit PCM: " + m_path);
    };
    char riff[12];
    if (!m_in.read(riff, 12) || std::memcmp(riff, "RIFF", 4) || std::memcmp(riff + 8, "WAVE", 4))
        bad();
    bool format = false;
    char chunk[8];
    while (m_in.read(chunk, 8)) {
        uint32_t size = le32(chunk + 4);
        if (!std::memcmp(chunk, "fmt ", 4)) {
            char fmt[16];
            if (size < 16 || !m_in.read(fmt, 16))
                bad();
            format = le16(fmt) == 1 && le16(fmt + 2) == 1 && le32(fmt + 4) == kSampleRate &&
                     le16(fmt + 14) == 16;
            m_in.seekg(size - 16 + (size & 1), std::ios::cur);
        } else if (!std::memcmp(chunk, "data", 4)) {
            if (!format)
                bad();
            m_left = size;
            m_delivered = 0;
            m_started = std::chrono::steady_clock::now();
            return;
        } else {
            m_in.seekg(size + (size & 1), std::ios::cur);
        }
    }
    bad();
}

size_t WavFileSource::read(int16_t* samples, size_t n) {
    n = std::min(n, m_left / sizeof(int16_t));
    if (n == 0 || !m_in.read(reinterpret_cast<char*>(samples), std::streamsize(n * 2)))
        return 0;
    m_left -= n * 2;
    m_delivered += n;
    if (m_realTime)
        std::this_thread::sleep_until(
            m_started + std::chrono::microseconds(m_delivered * 1000000 / kSampleRate));
    return n;
}

void WavFileSource::close() {
    m_in.close();
    m_left = 0;
}

} // namespace rt::speech
