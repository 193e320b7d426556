// The small pieces of arithmetic playback depends on: fixed steps, fitting the picture into
// the window, render sizes and frame statistics.
#include "runtime/base/clock.h"
#include "runtime/outputs/frame_stats.h"
#include "app/options.h"
#include "runtime/display/window.h"

#include <gtest/gtest.h>

using namespace glimmerq;

TEST(FixedStep, FrameNIsDrawnAtRoundedNTimesThousandOverFps) {
    EXPECT_EQ(fixedStepMs(0, 60), 0);
    EXPECT_EQ(fixedStepMs(1, 60), 17);   // 16.67
    EXPECT_EQ(fixedStepMs(2, 60), 33);   // 33.33
    EXPECT_EQ(fixedStepMs(3, 60), 50);
    EXPECT_EQ(fixedStepMs(1, 8), 125);
    EXPECT_EQ(fixedStepMs(1, 16), 63);   // 62.5 rounds half up
    EXPECT_EQ(fixedStepMs(3, 7), 429);   // 428.57
    EXPECT_EQ(fixedStepMs(3600 * 60, 60), 3600000);
}

TEST(Letterbox, KeepsTheAspectAndCentresWithBars) {
    auto same = fitInside(1280, 720, 1280, 720);
    EXPECT_EQ((std::array<int, 4>{same.x, same.y, same.width, same.height}), (std::array<int, 4>{0, 0, 1280, 720}));
    auto tall = fitInside(1280, 720, 800, 800);  // bars above and below
    EXPECT_EQ((std::array<int, 4>{tall.x, tall.y, tall.width, tall.height}), (std::array<int, 4>{0, 175, 800, 450}));
    auto wide = fitInside(640, 480, 1920, 1080);  // bars left and right
    EXPECT_EQ((std::array<int, 4>{wide.x, wide.y, wide.width, wide.height}), (std::array<int, 4>{240, 0, 1440, 1080}));
    auto tiny = fitInside(1920, 1080, 3, 1);
    EXPECT_GE(tiny.width, 1);
    EXPECT_GE(tiny.height, 1);
    auto none = fitInside(640, 480, 0, 0);
    EXPECT_EQ(none.width, 0);
}

TEST(RenderSize, ParsesWidthByHeightWithinBounds) {
    int w = 0, h = 0;
    ASSERT_TRUE(parseSize("320x240", &w, &h));
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    EXPECT_TRUE(parseSize("16384X1", &w, &h));
    for (const char* bad : {"", "x", "320", "320x", "x240", "0x10", "-1x10", "16385x10", "3 20x240", "320x240x1",
                            "99999999999x1", "1e3x10"})
        EXPECT_FALSE(parseSize(bad, &w, &h)) << bad;
}

TEST(FrameStatistics, SummariesUseNearestRankAndKeepFirstAppearanceOrder) {
    FrameStats stats;
    for (int i = 1; i <= 100; ++i) stats.add("CLEAR", double(i));
    stats.add("CLEAR+CBLUR", 5.0);
    const auto rows = stats.summaries();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].combination, "CLEAR");
    EXPECT_EQ(rows[0].frames, 100u);
    EXPECT_DOUBLE_EQ(rows[0].meanMs, 50.5);
    EXPECT_DOUBLE_EQ(rows[0].medianMs, 50.0);
    EXPECT_DOUBLE_EQ(rows[0].p99Ms, 99.0);
    EXPECT_DOUBLE_EQ(rows[0].maxMs, 100.0);
    EXPECT_EQ(rows[1].frames, 1u);
    EXPECT_DOUBLE_EQ(rows[1].p99Ms, 5.0);
    EXPECT_EQ(stats.frames(), 101u);
}
