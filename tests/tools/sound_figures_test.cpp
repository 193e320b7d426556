// The soundtrack's figures on synthetic sound whose answers are known: tones of known
// pitch, sides of known likeness, clicks at known times and beats at known phases.
#include "tools/sound_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr double kRate = 44100;

sound::Stereo silence(double seconds) {
    sound::Stereo s;
    s.rate = kRate;
    s.left.assign(size_t(seconds * kRate), 0.0f);
    s.right = s.left;
    return s;
}

void addSine(sound::Stereo& s, double hz, double amplitude) {
    for (size_t i = 0; i < s.frames(); ++i) {
        const float v = float(amplitude * std::sin(2 * M_PI * hz * double(i) / kRate));
        s.left[i] += v;
        s.right[i] += v;
    }
}

}  // namespace

TEST(SoundFiguresTest, BrightnessAndLowMiddleShareOfTones) {
    struct Case {
        std::vector<std::pair<double, double>> tones;  // Hz, amplitude
        double centroidHz, lowMidShare;
    } cases[] = {
        {{{1000, 0.5}}, 1000, 0.0},
        {{{180, 0.5}}, 180, 1.0},
        {{{180, 0.3}, {1000, 0.3}}, 590, 0.5},          // equal power: the middle, half in the band
        {{{60, 0.6}, {2000, 0.3}}, 448, 0.0},           // power 4:1 -> (4 * 60 + 2000) / 5
    };
    for (const Case& c : cases) {
        sound::Stereo s = silence(2);
        for (auto [hz, amplitude] : c.tones) addSine(s, hz, amplitude);
        const sound::Spectrum sp = sound::spectrum(s, 0, s.frames());
        EXPECT_NEAR(sp.centroidHz(), c.centroidHz, c.centroidHz * 0.03) << c.tones.front().first;
        EXPECT_NEAR(sp.share(120, 250), c.lowMidShare, 0.02) << c.tones.front().first;
    }
    EXPECT_EQ(sound::spectrum(silence(1), 0, 44100).centroidHz(), 0);
}

TEST(SoundFiguresTest, CorrelationOfTheSides) {
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0, 0.2f);
    sound::Stereo same = silence(1), opposite = silence(1), unrelated = silence(1), oneSide = silence(1),
                  half = silence(1);
    for (size_t i = 0; i < same.frames(); ++i) {
        const float a = noise(random), b = noise(random);
        same.left[i] = same.right[i] = a;
        opposite.left[i] = a;
        opposite.right[i] = -a;
        unrelated.left[i] = a;
        unrelated.right[i] = b;
        oneSide.left[i] = a;
        half.left[i] = a;               // a shared part and a part of each side's own,
        half.right[i] = a + b;          // equally strong: 1 / sqrt(2)
    }
    EXPECT_NEAR(sound::correlation(same, 0, same.frames()), 1.0, 1e-6);
    EXPECT_NEAR(sound::correlation(opposite, 0, same.frames()), -1.0, 1e-6);
    EXPECT_NEAR(sound::correlation(unrelated, 0, same.frames()), 0.0, 0.03);
    EXPECT_NEAR(sound::correlation(half, 0, same.frames()), std::sqrt(0.5), 0.03);
    EXPECT_EQ(sound::correlation(oneSide, 0, same.frames()), 0.0);
    EXPECT_EQ(sound::correlation(silence(1), 0, 44100), 1.0);
}

TEST(SoundFiguresTest, HitsAreFoundWhereTheyBeginAgainstTheGrid) {
    // A quiet hum with a decaying 2 kHz burst every 2 s, early or late by a known amount.
    for (double offsetMs : {-12.0, 0.0, 3.0, 4.5, 25.0}) {
        sound::Stereo s = silence(8);
        addSine(s, 110, 0.01);
        for (double bar = 2; bar < 8; bar += 2) {
            const size_t at = size_t(std::lround((bar + offsetMs / 1000) * kRate));
            for (size_t i = 0; i < size_t(0.1 * kRate); ++i) {
                const float v = float(0.8 * std::exp(-double(i) / 800) * std::sin(2 * M_PI * 2000 * double(i) / kRate));
                s.left[at + i] += v;
                s.right[at + i] += v;
            }
        }
        for (double bar : {2.0, 4.0, 6.0}) EXPECT_NEAR(sound::onsetOffsetMs(s, bar), offsetMs, 1.0) << offsetMs;
    }
    sound::Stereo hum = silence(4);
    addSine(hum, 110, 0.1);
    EXPECT_TRUE(std::isnan(sound::onsetOffsetMs(hum, 2.0)));
    EXPECT_TRUE(std::isnan(sound::onsetOffsetMs(hum, 0.0))) << "the window would begin before the sound";
}

TEST(SoundFiguresTest, BeatTrackerAgreementAndOffBeatRuns) {
    auto beats = [](double from, double to, double shift) {
        std::vector<double> out;
        for (double t = from; t < to - 1e-9; t += 0.5) out.push_back(t + shift);
        return out;
    };
    // On the grid but late by 20 ms: found; late by 40 ms: missed but not off-beat.
    sound::BeatAgreement a = sound::agreement(beats(0, 16, 0.020), 0.5, 0, 16, 0.030);
    EXPECT_EQ(a.gridBeats, 32);
    EXPECT_EQ(a.found, 32);
    EXPECT_EQ(a.worstOffPhaseBeats, 0);
    a = sound::agreement(beats(0, 16, 0.040), 0.5, 0, 16, 0.030);
    EXPECT_EQ(a.found, 0);
    EXPECT_EQ(a.worstOffPhaseBeats, 0);
    EXPECT_DOUBLE_EQ(a.longestMissSeconds, 16) << "never on the grid: off it the whole time";

    // Four bars on the grid, three on the off-beat, one on the grid: a run of 12 beats.
    std::vector<double> mixed = beats(0, 8, 0);
    for (double t : beats(8, 14, 0.25)) mixed.push_back(t);
    for (double t : beats(14, 16, 0)) mixed.push_back(t);
    a = sound::agreement(mixed, 0.5, 0, 16, 0.030);
    EXPECT_EQ(a.found, 20);
    EXPECT_DOUBLE_EQ(a.fraction(), 20.0 / 32);
    EXPECT_DOUBLE_EQ(a.worstOffPhaseBeats, 12);
    EXPECT_DOUBLE_EQ(a.longestMissSeconds, 6);
    // Only the stretch asked about counts: the off-beat run is cut at its start.
    a = sound::agreement(mixed, 0.5, 10, 16, 0.030);
    EXPECT_EQ(a.gridBeats, 12);
    EXPECT_DOUBLE_EQ(a.worstOffPhaseBeats, 8);
    EXPECT_DOUBLE_EQ(a.longestMissSeconds, 4);
}
