#include "runtime/backends/pocketsphinx/VoiceActivity.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace rt::speech {

VoiceActivity::VoiceActivity(const Settings& settings) : m_settings(settings) {}

void VoiceActivity::track(double db) {
    m_window.push_back(db);
    if (int(m_window.size()) > m_settings.floorFrames)
        m_window.pop_front();
    std::vector<double> levels(m_window.begin(), m_window.end());
    auto at = levels.begin() + std::lround(m_settings.floorRank * double(levels.size() - 1));
    std::nth_element(levels.begin(), at, levels.end());
    m_floor = *at;
}

VoiceActivity::Change VoiceActivity::next(double meanSquare) {
    // One unit of 16-bit audio keeps the logarithm of exact silence finite.
    double db = 10 * std::log10(meanSquare + 1);
    track(db);
    bool loud = db > m_floor + m_settings.startDb;
    bool kept = db > m_floor + m_settings.keepDb;
    m_loud = loud ? m_loud + 1 : 0;
    // In the pause after speech only speech that resumes counts: noise
    // between the two levels neither resumes it nor holds its end off.
    m_quiet = kept && m_state != State::Pause ? 0 : m_quiet + 1;
    switch (m_state) {
    case State::Waiting:
        if (m_loud >= m_settings.startFrames) {
            m_state = State::Speech;
            m_quiet = 0;
            return Change::Started;
        }
        break;
    case State::Speech:
        if (m_quiet >= m_settings.postFrames) {
            m_state = State::Pause;
            return Change::Over;
        }
        break;
    case State::Pause:
        if (m_loud >= m_settings.resumeFrames) {
            m_state = State::Speech;
            m_quiet = 0;
            return Change::Resumed;
        }
        break;
    }
    return Change::None;
}

void VoiceActivity::reset() {
    m_state = State::Waiting;
    m_loud = 0;
}

} // namespace rt::speech
