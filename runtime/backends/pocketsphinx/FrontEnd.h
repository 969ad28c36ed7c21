#pragma once
// The features both decoders are given, from one continuous stream of
// samples: a faint dither, room noise made up under speech far louder than
// its room, and the model's front end with its tracking and removal of
// steady noise. Samples are held until released, so the room noise under
// the start of speech can be set from how loud that speech is.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

struct fe_s;

namespace rt::speech {

class FrontEnd {
public:
    using Frame = std::vector<float>; // the front end's cepstra
    // Peak of the faint noise added to every sample (16-bit units, about
    // -75 dB): digital silence, as a muted or idle input gives, then looks
    // like the quiet room the model knows, and real input is not changed
    // audibly. Four times as much cost a tenth of the commands spoken 20 dB
    // below normal.
    static constexpr int kDither = 6;

    // Takes the front end; keeps its last `keep` frames.
    FrontEnd(fe_s* fe, size_t keep);
    ~FrontEnd();
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    // A new stream: nothing of the last one's is framed with it, and no
    // room noise is made up until speech is loud. The noise the front end
    // tracks is kept.
    void restart();
    void hold(int16_t sample) { m_held.push_back(sample); }
    size_t held() const { return m_held.size(); }
    // Frames the oldest `count` held samples; every new frame goes to
    // recent() and is told to `framed`.
    void release(size_t count, const std::function<void()>& framed);
    // Room noise from now on this far (dB) below a level (a mean square).
    void setRoomNoiseBelow(double meanSquare, double db);
    // The last frames, newest last.
    const std::deque<Frame>& recent() const { return m_recent; }

private:
    fe_s* m_fe;
    size_t m_keep;
    float** m_cepstra; // the front end's output rows
    std::deque<int16_t> m_held;
    std::deque<Frame> m_recent;
    double m_room = 0; // peak of the made-up room noise, 16-bit units
    double m_low = 0;  // its low-passed white noise
    uint32_t m_dither = 1, m_white = 2;
};

} // namespace rt::speech
