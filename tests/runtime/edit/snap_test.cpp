// Snapping and stepping on the grid of two tempo lines (120 in 4/4, then 90 in 3/4 from 16 s),
// and on the 120-beat grid before the first tempo line.
#include "runtime/edit/snap.h"

#include <gtest/gtest.h>

using namespace glimmerq;

TEST(Snap, LandsOnTheNearestBeatOrBarAndStepsByWholeBeats) {
    TempoMap tempo;
    tempo.add(4000, 120.0, 4);   // from 4 s: bar 1
    tempo.add(20000, 90.0, 3);   // from 20 s: bar 9, beats of 2/3 s
    struct Row {
        int64_t timeMs;
        Snap snap;
        int64_t snapped;
    };
    const Row snaps[] = {
        {1230, Snap::Beat, 1000},    // before the first tempo line: 120 beats a minute from 0
        {17230, Snap::Beat, 17000},
        {16900, Snap::Bar, 16000},   // downbeats every 2 s from 4 s
        {19100, Snap::Bar, 20000},   // the next grid's first downbeat
        {20400, Snap::Beat, 20667},
        {20400, Snap::Free, 20400},
        {-30, Snap::Beat, 0},
    };
    for (const Row& row : snaps)
        EXPECT_EQ(snapTime(tempo, row.timeMs, row.snap), row.snapped) << row.timeMs << " snap " << int(row.snap);

    struct Step {
        int64_t timeMs;
        int steps;
        Snap unit;
        int64_t to;
    };
    const Step steps[] = {
        {17000, 1, Snap::Beat, 17500},
        {17100, 1, Snap::Beat, 17500},   // off the grid: the first step is to the next beat
        {17100, -1, Snap::Beat, 17000},
        {19500, 1, Snap::Beat, 20000},   // into the next grid
        {20000, -1, Snap::Beat, 19500},
        {17000, 1, Snap::Bar, 19000},    // four beats
        {20000, 1, Snap::Bar, 22000},    // three beats of 2/3 s
        {21333, -2, Snap::Beat, 20000},
        {500, -3, Snap::Beat, 0},        // stops at 0
        {3000, 2, Snap::Bar, 7000},      // the fallback grid up to 4 s, then the script's
        {17000, 3, Snap::Free, 17003},
    };
    for (const Step& row : steps)
        EXPECT_EQ(stepOnGrid(tempo, row.timeMs, row.steps, row.unit), row.to) << row.timeMs << " by " << row.steps;
}
