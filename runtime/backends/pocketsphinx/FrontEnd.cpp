#include "runtime/backends/pocketsphinx/FrontEnd.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include <pocketsphinx.h>
#include <sphinxbase/fe.h>

namespace rt::speech {

namespace {

static_assert(std::is_same_v<mfcc_t, float>, "a floating-point sphinxbase");

constexpr int kFramesAtOnce = 8;
// The made-up room noise's colour: a low-pass pole on white noise, as a
// room's noise is more at low pitches; and the gain that makes it as loud
// as the white noise it comes from.
constexpr double kRoomPole = 0.9;
const double kRoomGain = std::sqrt((1 + kRoomPole) / (1 - kRoomPole));

uint32_t nextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state;
}

} // namespace

FrontEnd::FrontEnd(fe_s* fe, size_t keep)
    : m_fe(fe), m_keep(keep),
      m_cepstra(static_cast<float**>(
          ckd_calloc_2d(kFramesAtOnce, size_t(fe_get_output_size(fe)), sizeof(mfcc_t)))) {}

FrontEnd::~FrontEnd() {
    ckd_free_2d(m_cepstra);
    fe_free(m_fe);
}

void FrontEnd::restart() {
    fe_start_utt(m_fe);
    m_held.clear();
    m_recent.clear();
    m_room = m_low = 0;
    m_dither = 1;
    m_white = 2;
}

void FrontEnd::setRoomNoiseBelow(double meanSquare, double db) {
    // Uniform noise of peak p has a mean square of p * p / 3.
    m_room = std::sqrt(3 * meanSquare) * std::pow(10, -db / 20);
}

void FrontEnd::release(size_t count, const std::function<void()>& framed) {
    count = std::min(count, m_held.size());
    std::vector<int16_t> in(m_held.begin(), m_held.begin() + long(count));
    m_held.erase(m_held.begin(), m_held.begin() + long(count));
    for (int16_t& x : in) {
        int v = x + int(nextRandom(m_dither) >> 16) % (2 * kDither + 1) - kDither;
        double white = double(nextRandom(m_white) >> 8) / double(1u << 24) * 2 - 1;
        m_low = kRoomPole * m_low + (1 - kRoomPole) * white;
        v += int(std::lround(m_room * m_low * kRoomGain));
        x = int16_t(std::clamp(v, -32768, 32767));
    }
    const int16* at = in.data();
    size_t left = in.size();
    const int ceps = fe_get_output_size(m_fe);
    while (left > 0) {
        int32 made = kFramesAtOnce;
        fe_process_frames(m_fe, &at, &left, m_cepstra, &made, nullptr);
        for (int32 f = 0; f < made; ++f) {
            m_recent.emplace_back(m_cepstra[f], m_cepstra[f] + ceps);
            if (m_recent.size() > m_keep)
                m_recent.pop_front();
            framed();
        }
        if (made == 0)
            break; // the rest is kept for the next frame
    }
}

} // namespace rt::speech
