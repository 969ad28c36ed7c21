#include "runtime/backends/pocketsphinx/PulseAudioSource.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include "runtime/core/Error.h"

namespace rt::speech {

PulseAudioSource::~PulseAudioSource() {
    close();
}

void PulseAudioSource::open() {
    if (m_stream)
        return;
    pa_sample_spec spec{PA_SAMPLE_S16LE, kSampleRate, 1};
    // Small fragments keep the time from speech to decoder short.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = kSampleRate / 50 * 2;
    int error = 0;
    m_stream = pa_simple_new(nullptr, "Quibo", PA_STREAM_RECORD, nullptr, "Voice commands", &spec,
                             nullptr, &attr, &error);
    if (!m_stream)
        raiseError(kDeviceIOError, "SpeechRecogniser",
                   std::string("Sound server cannot be opened: ") + pa_strerror(error));
}

size_t PulseAudioSource::read(int16_t* samples, size_t n) {
    if (!m_stream)
        return 0;
    int error = 0;
    if (pa_simple_read(m_stream, samples, n * sizeof(int16_t), &error) < 0)
        return 0;
    return n;
}

void PulseAudioSource::close() {
    if (m_stream)
        pa_simple_free(m_stream);
    m_stream = nullptr;
}

} // namespace rt::speech
