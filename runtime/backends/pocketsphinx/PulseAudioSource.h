#pragma once
// The default microphone through the PulseAudio simple API.

#include "runtime/backends/pocketsphinx/AudioSource.h"

struct pa_simple;

namespace rt::speech {

class PulseAudioSource : public AudioSource {
public:
    ~PulseAudioSource() override;
    void open() override;
    size_t read(int16_t* samples, size_t n) override;
    void close() override;

private:
    pa_simple* m_stream = nullptr;
};

} // namespace rt::speech
