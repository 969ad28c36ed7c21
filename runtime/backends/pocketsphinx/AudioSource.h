#pragma once
// 16 kHz mono signed 16-bit samples for the decoder.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace rt::speech {

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Acquires the device or file; raises a RuntimeError when it cannot.
    virtual void open() = 0;
    // Blocks until samples are there; returns how many (at most n), 0 at
    // the end of a file or when the device fails.
    virtual size_t read(int16_t* samples, size_t n) = 0;
    // Releases the device.
    virtual void close() = 0;
    // A device (not a file) that failed may come back: a read of 0 is then
    // no end, and the device is opened again until it is.
    virtual bool comesBack() const { return false; }
};

constexpr int kSampleRate = 16000;

} // namespace rt::speech
