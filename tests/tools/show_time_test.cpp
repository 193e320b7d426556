// The contact sheet's time stamps: frames of a render begun at a start time labelled with
// their show time.
#include "tools/show_time.h"

#include "runtime/base/show_time.h"

#include <gtest/gtest.h>

TEST(ShowTimeTest, FramesOfARenderBegunAtAStartAreStampedWithShowTime) {
    // glimmerq --render DIR --start 1:02.250 --fps 60: 000000.png is 1:02.250, 000300.png 1:07.250.
    EXPECT_EQ(show_time::ofFrame(62250, 0, 60), 62250);
    EXPECT_EQ(show_time::ofFrame(62250, 300, 60), 67250);
    EXPECT_EQ(show_time::ofFrame(62250, 1, 60), 62267) << "1000 / 60 ms rounded as the runtime steps";
    EXPECT_EQ(show_time::ofFrame(0, 7, 30), 233);
    EXPECT_EQ(glimmerq::formatShowTime(show_time::ofFrame(17000, 600, 60), glimmerq::ShowTimeStyle::Tenths),
              "0:27.0");
}
