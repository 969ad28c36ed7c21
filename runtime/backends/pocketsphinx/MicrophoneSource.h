#pragma once
// The microphone: PulseAudio where a server runs, else the ALSA default
// capture device. Opening fails with both reasons when neither can be had.
// Once open, it opens again only the way it did first: a sound card that a
// sound server let go of while it restarts is no microphone of its own, the
// server is waited for. Standard error hears once that the microphone is
// missing, however often the open is tried, and once that it is back.

#include <memory>

#include "runtime/backends/pocketsphinx/AudioSource.h"

namespace rt::speech {

class MicrophoneSource : public AudioSource {
public:
    void open() override;
    size_t read(int16_t* samples, size_t n) override;
    void close() override;
    bool comesBack() const override { return true; }

private:
    enum class Way { Either, Server, Alsa };
    void openDevice();

    std::unique_ptr<AudioSource> m_device;
    Way m_way = Way::Either; // how the first open succeeded
    bool m_missing = false;  // the last open failed, and standard error was told
};

// The ALSA default capture device, 16 kHz mono.
class AlsaSource : public AudioSource {
public:
    ~AlsaSource() override;
    void open() override;
    size_t read(int16_t* samples, size_t n) override;
    void close() override;

private:
    void* m_pcm = nullptr; // snd_pcm_t
};

} // namespace rt::speech
