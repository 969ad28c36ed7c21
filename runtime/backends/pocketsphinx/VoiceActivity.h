#pragma once
// Where speech starts and ends in a stream of 10 ms frames, from their level
// against a noise floor tracked from the stream itself: a low percentile of
// the last seconds' frame levels. Steady noise of any level is the floor
// within a few frames and never starts speech; a phrase after it is heard
// from its first loud frames on.

#include <deque>

namespace rt::speech {

class VoiceActivity {
public:
    struct Settings {
        double startDb;   // above the floor: a frame that starts or resumes speech
        double keepDb;    // above the floor: a frame that keeps speech going
        int startFrames;  // such frames in a row that start speech
        int resumeFrames; // that resume it in the pause after it
        int postFrames;   // frames below keepDb that end it
        int floorFrames;  // the window the floor is taken from
        double floorRank; // which of its levels is the floor (0 the least)
    };
    enum class Change { None, Started, Over, Resumed };

    explicit VoiceActivity(const Settings& settings);
    // The next frame, by the mean square of its 16-bit samples.
    Change next(double meanSquare);
    // Waiting for speech again; the floor is kept.
    void reset();
    bool inSpeech() const { return m_state == State::Speech; }
    // Frames since the last one that kept speech going.
    int quietFrames() const { return m_quiet; }
    double floorDb() const { return m_floor; }

private:
    enum class State { Waiting, Speech, Pause };
    void track(double db);

    Settings m_settings;
    State m_state = State::Waiting;
    std::deque<double> m_window; // levels in dB, oldest first
    double m_floor = 0;
    int m_loud = 0;  // frames above startDb in a row
    int m_quiet = 0; // frames below keepDb in a row
};

} // namespace rt::speech
