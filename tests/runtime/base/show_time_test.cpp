// Show times: the one reading of TIME (script, --start, contact sheets) and the ways they
// are written back (title, messages, labels, screenshot names).
#include "runtime/base/show_time.h"

#include <gtest/gtest.h>

using glimmerq::formatShowTime;
using glimmerq::parseShowTime;
using glimmerq::ShowTimeStyle;

TEST(ShowTime, AcceptsSecondsFractionsAndMinutes) {
    const std::pair<const char*, int64_t> cases[] = {
        {"0", 0},       {"12", 12000},        {"12.5", 12500},       {"12.05", 12050}, {"0.05", 50},
        {"0:00.1", 100}, {"1:02.250", 62250}, {"2:59.999", 179999}, {"2:00", 120000}, {"10:00", 600000}};
    for (const auto& [text, expected] : cases) {
        int64_t ms = -1;
        std::string why;
        ASSERT_TRUE(parseShowTime(text, &ms, &why)) << text << ": " << why;
        EXPECT_EQ(ms, expected) << text;
    }
}

TEST(ShowTime, RefusesMalformedTimesWithAReason) {
    for (const char* bad : {"", "-1", "1.", ".5", "1:60", "1:2:3", "12.3456", "abc", "1e3", "99999999999", "1:",
                            ":5", "12s", "24000000"}) {
        int64_t ms = 7;
        std::string why;
        EXPECT_FALSE(parseShowTime(bad, &ms, &why)) << "'" << bad << "' read as " << ms;
        EXPECT_FALSE(why.empty()) << bad;
        EXPECT_EQ(ms, 7) << "a refused time changed the result: " << bad;
    }
}

TEST(ShowTime, WritesTimesInEachStyleAndReadsThemBack) {
    struct Case {
        int64_t ms;
        ShowTimeStyle style;
        const char* text;
    };
    const Case cases[] = {
        {62350, ShowTimeStyle::Exact, "1:02.350"},  {151000, ShowTimeStyle::Exact, "2:31.000"},
        {151000, ShowTimeStyle::Short, "2:31"},     {60033, ShowTimeStyle::Short, "1:00.033"},
        {62250, ShowTimeStyle::Tenths, "1:02.3"},   {59960, ShowTimeStyle::Tenths, "1:00.0"},
        {0, ShowTimeStyle::Tenths, "0:00.0"},       {-1500, ShowTimeStyle::Exact, "-0:01.500"},
        {3723004, ShowTimeStyle::Exact, "62:03.004"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatShowTime(c.ms, c.style), c.text) << c.ms;
        int64_t back = -1;
        std::string why;
        if (c.ms >= 0 && c.style != ShowTimeStyle::Tenths) {
            ASSERT_TRUE(parseShowTime(c.text, &back, &why)) << c.text << ": " << why;
            EXPECT_EQ(back, c.ms) << c.text;
        }
    }
    EXPECT_EQ(glimmerq::screenshotName(62350), "glimmerq-1m02.350s.png");
    EXPECT_EQ(glimmerq::screenshotName(-5), "glimmerq-0m00.000s.png");
}

TEST(ShowTime, WritesATimeAsAnotherWasWritten) {
    struct Case {
        const char* like;
        int64_t ms;
        const char* text;
    };
    const Case cases[] = {
        {"75", 77000, "77"},          {"75", 77500, "77.5"},        {"75", 77125, "77.125"},
        {"75.50", 77000, "77.00"},    {"75.50", 77250, "77.25"},    {"75.50", 77125, "77.125"},
        {"1:15", 61000, "1:01"},      {"1:15", 61500, "1:01.5"},    {"1:15.500", 600000, "10:00.000"},
        {"0:02.5", 0, "0:00.0"},      {"12", 5, "0.005"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatShowTime(c.ms, glimmerq::showTimeNotation(c.like)), c.text) << c.like << " " << c.ms;
        int64_t back = -1;
        std::string why;
        ASSERT_TRUE(parseShowTime(c.text, &back, &why)) << c.text << ": " << why;
        EXPECT_EQ(back, c.ms) << c.text;
    }
}
