#include "runtime/backends/pocketsphinx/MicrophoneSource.h"

#include <alsa/asoundlib.h>

#include <cstdio>
#include <mutex>

#include "runtime/backends/pocketsphinx/PulseAudioSource.h"
#include "runtime/core/Error.h"

namespace rt::speech {

namespace {

// ALSA writes every failing step of every open to standard error; an open
// tried again four times a second would flood it. Why the open failed
// reaches the caller in the error.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

void MicrophoneSource::open() {
    if (m_device)
        return;
    try {
        openDevice();
    } catch (const RuntimeError& e) {
        // Said once when the trouble starts, not at every try.
        if (!m_missing)
            std::fprintf(stderr, "quibo: no microphone: %s; trying again\n",
                         e.description().c_str());
        m_missing = true;
        throw;
    }
    if (m_missing)
        std::fprintf(stderr, "quibo: the microphone is back\n");
    m_missing = false;
}

void MicrophoneSource::openDevice() {
    std::string pulseProblem;
    if (m_way != Way::Alsa) {
        try {
            auto pulse = std::make_unique<PulseAudioSource>();
            pulse->open();
            m_device = std::move(pulse);
            m_way = Way::Server;
            return;
        } catch (const RuntimeError& e) {
            if (m_way == Way::Server)
                throw;
            pulseProblem = e.description() + "; ";
        }
    }
    try {
        auto alsa = std::make_unique<AlsaSource>();
        alsa->open();
        m_device = std::move(alsa);
        m_way = Way::Alsa;
    } catch (const RuntimeError& e) {
        raiseError(kDeviceIOError, "SpeechRecogniser", pulseProblem + e.description());
    }
}

size_t MicrophoneSource::read(int16_t* samples, size_t n) {
    return m_device ? m_device->read(samples, n) : 0;
}

void MicrophoneSource::close() {
    if (m_device)
        m_device->close();
    m_device.reset();
}

AlsaSource::~AlsaSource() {
    close();
}

void AlsaSource::open() {
    if (m_pcm)
        return;
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(quietAlsa); });
    snd_pcm_t* pcm = nullptr;
    int rc = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_CAPTURE, 0);
    if (rc == 0)
        rc = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                kSampleRate, 1, 100000);
    if (rc < 0) {
        if (pcm)
            snd_pcm_close(pcm);
        raiseError(kDeviceIOError, "SpeechRecogniser",
                   std::string("ALSA capture device cannot be opened: ") + snd_strerror(rc));
    }
    m_pcm = pcm;
}

size_t AlsaSource::read(int16_t* samples, size_t n) {
    auto* pcm = static_cast<snd_pcm_t*>(m_pcm);
    if (!pcm)
        return 0;
    size_t got = 0;
    while (got < n) {
        snd_pcm_sframes_t frames = snd_pcm_readi(pcm, samples + got, n - got);
        if (frames < 0)
            frames = snd_pcm_recover(pcm, static_cast<int>(frames), 1);
        if (frames < 0)
            return 0;
        got += static_cast<size_t>(frames);
    }
    return got;
}

void AlsaSource::close() {
    if (m_pcm)
        snd_pcm_close(static_cast<snd_pcm_t*>(m_pcm));
    m_pcm = nullptr;
}

} // namespace rt::speech
