// The snapping a drag's modifiers ask for, and the snapped time as the overlay shows it.
#include "runtime/overlay/snap_text.h"

#include <gtest/gtest.h>

using namespace glimmerq;

TEST(SnapText, ShiftSnapsToBarsAltFreesAndAltWins) {
    struct Case {
        bool shift, alt;
        Snap snap;
    };
    const Case cases[] = {{false, false, Snap::Beat}, {true, false, Snap::Bar}, {false, true, Snap::Free}, {true, true, Snap::Free}};
    for (const Case& c : cases) EXPECT_EQ(snapFor(c.shift, c.alt), c.snap) << c.shift << c.alt;
}

TEST(SnapText, ShowsBarBeatAndMinutesSecondsAndHowFarOffTheGrid) {
    TempoMap tempo;
    tempo.add(4000, 120.0, 4);   // bar 1 at 4 s
    tempo.add(20000, 60.0, 3);   // bar 9 at 20 s, a beat a second
    struct Case {
        int64_t timeMs;
        const char* shown;
    };
    const Case cases[] = {
        {1000, "0:01"},                    // before the first tempo line: no bars
        {4000, "1.1  0:04"},
        {17000, "7.3  0:17"},
        {17120, "7.3+120ms  0:17.120"},
        {17380, "7.3+380ms  0:17.380"},    // nearer the next beat, still counted from its own
        {21000, "9.2  0:21"},
        {22999, "9.3+999ms  0:22.999"},
    };
    for (const Case& c : cases) EXPECT_EQ(snappedTimeText(tempo, c.timeMs), c.shown) << c.timeMs;
}
