// How large the overlay is drawn: with the window's height, within bounds, never over
// kMaxCover of a small window, and its text never below a readable size.
#include "runtime/overlay/overlay_scale.h"

#include <gtest/gtest.h>

using namespace glimmerq;

TEST(OverlayScale, GrowsWithTheWindowAndShrinksToCoverLessThanHalfOfASmallOne) {
    struct Case {
        float displayHeight, naturalHeight, textLines;
        float scale;
    };
    const Case cases[] = {
        {720.0f, 300.0f, 0.0f, 1.0f},      // the size it was made for
        {1440.0f, 300.0f, 0.0f, 2.0f},     // twice as high: twice as large
        {2160.0f, 300.0f, 0.0f, 2.0f},     // no larger than that
        {360.0f, 200.0f, 0.0f, 0.6f},      // no smaller than that while it fits
        {360.0f, 300.0f, 0.0f, 0.54f},     // 162 of 360 points: 0.45 of the window
        {360.0f, 300.0f, 26.0f, 0.5248f},  // two lines of text kept at 0.7: the chart gives way
        {100.0f, 300.0f, 0.0f, 0.15f},     // a tiny window: smaller still
    };
    for (const Case& c : cases)
        EXPECT_NEAR(overlayScale(c.displayHeight, c.naturalHeight, c.textLines), c.scale, 0.0005f)
            << c.displayHeight << " points high, " << c.naturalHeight << " at scale 1";
    EXPECT_FLOAT_EQ(overlayTextScale(0.5f), kMinTextScale);
    EXPECT_FLOAT_EQ(overlayTextScale(1.5f), 1.5f);
}
