#include "runtime/backends/pocketsphinx/VoiceActivity.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace rt::speech;

namespace {

using Change = VoiceActivity::Change;

// A stretch of frames at a level, each off it by up to `jitter` dB.
struct Stretch {
    int frames;
    double db;
    double jitter = 3;
};

// A change and the frames it may come at (counted from 0).
struct Expected {
    Change change;
    int from, to;
};

struct LevelsRow {
    std::string name;
    std::vector<Stretch> stretches;
    std::vector<Expected> changes;
    friend void PrintTo(const LevelsRow& row, std::ostream* os) { *os << row.name; }
};

class VoiceActivityLevels : public testing::TestWithParam<LevelsRow> {};

TEST_P(VoiceActivityLevels, ChangesComeWhereSpeechStartsPausesAndEnds) {
    VoiceActivity voice({9.0, 6.0, 10, 5, 20, 300, 0.1});
    uint32_t random = 7;
    int frame = 0;
    std::vector<std::pair<Change, int>> seen;
    for (const Stretch& s : GetParam().stretches)
        for (int i = 0; i < s.frames; ++i, ++frame) {
            random = random * 1664525u + 1013904223u;
            double db = s.db + s.jitter * (double(random >> 8) / double(1u << 24) * 2 - 1);
            Change c = voice.next(s.db < 0 ? 0 : std::pow(10, db / 10));
            if (c != Change::None)
                seen.emplace_back(c, frame);
        }
    const auto& expected = GetParam().changes;
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].first, expected[i].change) << i;
        EXPECT_GE(seen[i].second, expected[i].from) << i;
        EXPECT_LE(seen[i].second, expected[i].to) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VoiceActivityLevels,
    testing::Values(LevelsRow{"SteadyNoiseOfAnyLevelIsNoSpeech", {{600, 70}}, {}},
                    LevelsRow{"FaintNoiseIsNoSpeech", {{600, 15, 1}}, {}},
                    LevelsRow{"ClicksAreNoSpeech",
                              {{200, 40}, {4, 70, 0}, {100, 40}, {6, 70, 0}, {200, 40}},
                              {}},
                    // Speech 20 dB over noise starts ten frames in, and is over twenty
                    // frames after its end.
                    LevelsRow{"SpeechAfterSecondsOfNoise",
                              {{300, 50}, {80, 70}, {100, 50}},
                              {{Change::Started, 309, 311}, {Change::Over, 399, 401}}},
                    LevelsRow{"SpeechAfterDigitalSilence",
                              {{100, -1, 0}, {80, 60}, {100, -1, 0}},
                              {{Change::Started, 109, 111}, {Change::Over, 199, 201}}},
                    // A pause inside a phrase: over, then resumed as soon as it goes on.
                    LevelsRow{"PauseInsideAPhrase",
                              {{200, 45}, {50, 65}, {40, 45}, {50, 65}, {100, 45}},
                              {{Change::Started, 209, 211},
                               {Change::Over, 269, 271},
                               {Change::Resumed, 294, 296},
                               {Change::Over, 359, 361}}},
                    // Noise that comes on and stays is speech only until the floor
                    // has risen to it.
                    LevelsRow{"NoiseThatComesOnBecomesTheFloor",
                              {{100, 30}, {700, 60}},
                              {{Change::Started, 109, 111}, {Change::Over, 110, 420}}}),
    rt::test::RowName());

TEST(VoiceActivity, ResetWaitsForNewSpeechAndKeepsTheFloor) {
    VoiceActivity voice({9.0, 6.0, 10, 5, 20, 300, 0.1});
    for (int i = 0; i < 200; ++i)
        voice.next(std::pow(10, 4.0));
    double floor = voice.floorDb();
    int started = -1;
    for (int i = 0; i < 30 && started < 0; ++i)
        if (voice.next(std::pow(10, 6.0)) == Change::Started)
            started = i;
    EXPECT_EQ(started, 9);
    voice.reset();
    EXPECT_FALSE(voice.inSpeech());
    EXPECT_NEAR(voice.floorDb(), floor, 0.5);
    // Still speaking: it starts again after as many loud frames.
    started = -1;
    for (int i = 0; i < 30 && started < 0; ++i)
        if (voice.next(std::pow(10, 6.0)) == Change::Started)
            started = i;
    EXPECT_EQ(started, 9);
}

} // namespace
