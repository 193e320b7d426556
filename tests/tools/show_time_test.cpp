// The contact sheet's time stamps: TIME as the program reads it, and frames of a render begun
// at a start time labelled with their show time.
#include "tools/show_time.h"

#include "runtime/script/script.h"

#include <gtest/gtest.h>

TEST(ShowTimeTest, ParsesTheProgramsTimeSyntaxToTheSameMilliseconds) {
    for (const char* text : {"0", "12", "12.5", "12.05", "1:02.250", "2:59.999", "17", "0:00.1", "10:00"}) {
        int64_t ours = -1, program = -2;
        std::string why, programWhy;
        ASSERT_TRUE(show_time::parse(text, &ours, &why)) << text << ": " << why;
        ASSERT_TRUE(glimmerq::parseTime(text, &program, &programWhy)) << text << ": " << programWhy;
        EXPECT_EQ(ours, program) << text;
    }
    int64_t ms = 0;
    std::string why;
    EXPECT_TRUE(show_time::parse("1:02.250", &ms, &why));
    EXPECT_EQ(ms, 62250);
    for (const char* bad : {"", "-1", "1:60", "1.2345", "a", "1:", ":5", "1:2:3", "1.", "12s"}) {
        EXPECT_FALSE(show_time::parse(bad, &ms, &why)) << "'" << bad << "' read as " << ms;
        EXPECT_FALSE(why.empty()) << bad;
    }
}

TEST(ShowTimeTest, FramesOfARenderBegunAtAStartAreStampedWithShowTime) {
    // glimmerq --render DIR --start 1:02.250 --fps 60: 000000.png is 1:02.250, 000300.png 1:07.250.
    EXPECT_EQ(show_time::ofFrame(62250, 0, 60), 62250);
    EXPECT_EQ(show_time::ofFrame(62250, 300, 60), 67250);
    EXPECT_EQ(show_time::ofFrame(62250, 1, 60), 62267) << "1000 / 60 ms rounded as the runtime steps";
    EXPECT_EQ(show_time::ofFrame(0, 7, 30), 233);
    EXPECT_EQ(show_time::stamp(show_time::ofFrame(62250, 0, 60)), "1:02.3");
    EXPECT_EQ(show_time::stamp(show_time::ofFrame(17000, 600, 60)), "0:27.0");
    EXPECT_EQ(show_time::stamp(0), "0:00.0");
    EXPECT_EQ(show_time::stamp(59960), "1:00.0") << "rounding carries into the minutes";
    EXPECT_EQ(show_time::stamp(151000), "2:31.0");
}
