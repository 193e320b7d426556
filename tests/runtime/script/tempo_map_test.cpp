// Bars and beats of a time and back, across grids, for the ruler and for snapping a click.
#include "runtime/script/tempo_map.h"

#include <gtest/gtest.h>

using glimmerq::TempoMap;

TEST(TempoMap, EveryBeatReadsBackAsItselfWhateverTheRounding) {
    // 140 and 127.5 beats a minute give beats of 428.57 and 470.59 ms: rounded times must
    // still land on their own beat, and a millisecond earlier on the beat before.
    for (double bpm : {120.0, 140.0, 127.5, 97.0}) {
        for (int beatsPerBar : {3, 4, 7}) {
            TempoMap tempo;
            tempo.add(250, bpm, beatsPerBar);
            for (int bar = 1; bar <= 40; ++bar) {
                for (int beat = 1; beat <= beatsPerBar; ++beat) {
                    const int64_t t = tempo.timeOf(bar, beat);
                    const auto where = tempo.at(t);
                    ASSERT_TRUE(where);
                    EXPECT_EQ(where->bar, bar) << bpm << " bpm at " << t << " ms";
                    EXPECT_EQ(where->beat, beat) << bpm << " bpm at " << t << " ms";
                    EXPECT_DOUBLE_EQ(where->beatFraction, 0.0);
                    if (bar > 1 || beat > 1) {
                        const auto before = tempo.at(t - 1);
                        EXPECT_TRUE(before->beat == beat - 1 || (beat == 1 && before->bar == bar - 1))
                            << bpm << " bpm at " << t - 1 << " ms";
                    }
                }
            }
        }
    }
}

TEST(TempoMap, NoBarsBeforeTheFirstGridAndFractionsInsideABeat) {
    TempoMap tempo;
    tempo.add(1000, 120.0, 4);
    EXPECT_FALSE(tempo.at(999));
    const auto where = tempo.at(1000 + 2000 + 500 + 125);  // bar 2, beat 2, a quarter in
    ASSERT_TRUE(where);
    EXPECT_EQ(where->bar, 2);
    EXPECT_EQ(where->beat, 2);
    EXPECT_DOUBLE_EQ(where->beatFraction, 0.25);
}

TEST(TempoMap, RulerBeatsFollowEachGridAndBarsCarryOn) {
    TempoMap tempo;
    tempo.add(0, 120.0, 4);     // bars 1, 2 of 2 s
    tempo.add(3000, 60.0, 2);   // inside bar 2: bar 3 starts here, 2 s a bar
    const auto beats = tempo.beatsBetween(1500, 6000);
    std::vector<std::tuple<int, int, int64_t>> got;
    for (const auto& b : beats) got.emplace_back(b.bar, b.beat, b.timeMs);
    const std::vector<std::tuple<int, int, int64_t>> expected = {
        {1, 4, 1500}, {2, 1, 2000}, {2, 2, 2500}, {3, 1, 3000}, {3, 2, 4000}, {4, 1, 5000}, {4, 2, 6000}};
    EXPECT_EQ(got, expected);
}

TEST(TempoMap, ClicksSnapToTheNearestBeatOrDownbeat) {
    TempoMap tempo;
    tempo.add(0, 120.0, 4);
    tempo.add(5000, 60.0, 4);
    struct Row { int64_t click; bool downbeats; int64_t expected; };
    const Row rows[] = {
        {1240, false, 1000}, {1260, false, 1500}, {1240, true, 2000}, {900, true, 0},
        {4600, true, 5000},   // the next grid's start is nearer than bar 3's second downbeat
        {7400, false, 7000}, {6900, true, 5000}, {7100, true, 9000}, {-50, false, -50},
    };
    for (const Row& row : rows)
        EXPECT_EQ(tempo.nearestBeat(row.click, row.downbeats), row.expected) << row.click << " " << row.downbeats;
}
