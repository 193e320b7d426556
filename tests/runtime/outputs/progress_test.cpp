// The progress line: its figures, how often a terminal sees it, and the one summary line a
// log gets instead.
#include "runtime/outputs/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using glimmerq::formatClock;
using glimmerq::Progress;
using glimmerq::progressLine;
using glimmerq::progressSummary;

namespace {

constexpr int64_t kStart = 5000000;  // an arbitrary clock origin, microseconds

// Everything written to a temporary file so far.
std::string contents(FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += char(c);
    return text;
}

struct TempFile {
    FILE* file = std::tmpfile();
    ~TempFile() {
        if (file) std::fclose(file);
    }
};

}  // namespace

TEST(ProgressFormat, ClockShowsMinutesAndSecondsAndHoursWhenNeeded) {
    EXPECT_EQ(formatClock(0), "0:00");
    EXPECT_EQ(formatClock(7.4), "0:07");
    EXPECT_EQ(formatClock(7.6), "0:08");
    EXPECT_EQ(formatClock(150), "2:30");
    EXPECT_EQ(formatClock(3599.4), "59:59");
    EXPECT_EQ(formatClock(3723), "1:02:03");
    EXPECT_EQ(formatClock(-3), "0:00");
}

TEST(ProgressFormat, LineShowsPercentFramesSpeedAndTimeLeftFromTheAverageSpeed) {
    // 1260 of 3000 in 21.6 s: 58.3 fps, 1740 frames to go take 29.8 s.
    EXPECT_EQ(progressLine("show.mp4", 1260, 3000, 21.6), "show.mp4:  42%  1260/3000 frames  58.3 fps  0:30 left");
    // Percent rounds down: 100% only when everything is done.
    EXPECT_EQ(progressLine("out", 2999, 3000, 60.0), "out:  99%  2999/3000 frames  50.0 fps  0:00 left");
    EXPECT_EQ(progressLine("out", 3000, 3000, 60.0), "out: 100%  3000/3000 frames  50.0 fps  0:00 left");
    // No speed yet: no estimate.
    EXPECT_EQ(progressLine("out", 0, 3000, 0.0), "out:   0%  0/3000 frames  0.0 fps  -:-- left");
    // Unknown total: frames, speed and time so far.
    EXPECT_EQ(progressLine("out", 120, 0, 4.0), "out: 120 frames  30.0 fps  0:04");
}

TEST(ProgressFormat, SummaryGivesFramesSecondsAndAverageSpeed) {
    EXPECT_EQ(progressSummary("show.mp4", 3000, 51.2), "glimmerq: show.mp4: 3000 frames in 51.2 s (58.6 fps)");
    EXPECT_EQ(progressSummary("out", 0, 0.0), "glimmerq: out: 0 frames in 0.0 s (0.0 fps)");
    EXPECT_EQ(progressSummary("out", 1, 0.5), "glimmerq: out: 1 frame in 0.5 s (2.0 fps)");
}

TEST(Progress, TerminalSeesOneLineRewrittenAtMostFourTimesASecondThenTheSummary) {
    TempFile out;
    ASSERT_TRUE(out.file);
    Progress progress(out.file, "v.mp4", 600, /*terminal=*/true, kStart);
    // 60 frames a second for 1.1 s of clock: draws at 0.25, 0.5, 0.75 and 1.0 s only.
    for (int frame = 1; frame <= 66; ++frame) progress.update(frame, kStart + int64_t(frame) * 1000000 / 60);
    const std::string during = contents(out.file);
    EXPECT_EQ(during,
              "\rv.mp4:   2%  15/600 frames  60.0 fps  0:10 left"
              "\rv.mp4:   5%  30/600 frames  60.0 fps  0:10 left"
              "\rv.mp4:   7%  45/600 frames  60.0 fps  0:09 left"
              "\rv.mp4:  10%  60/600 frames  60.0 fps  0:09 left");
    EXPECT_EQ(during.find('\n'), std::string::npos) << "a terminal line must not scroll";

    progress.finish(66, kStart + 1100000);
    progress.finish(66, kStart + 2000000);  // only once
    progress.update(70, kStart + 3000000);  // nothing after the end
    const std::string after = contents(out.file).substr(during.size());
    // One column shorter than the last line: a space wipes its tail.
    EXPECT_EQ(after, "\rglimmerq: v.mp4: 66 frames in 1.1 s (60.0 fps) \rglimmerq: v.mp4: 66 frames in 1.1 s (60.0 fps)\n");
}

TEST(Progress, ShorterLineWipesWhatTheLongerOneLeft) {
    TempFile out;
    ASSERT_TRUE(out.file);
    Progress progress(out.file, "x", 0, /*terminal=*/true, kStart);
    progress.update(123456, kStart + 300000);
    progress.update(123457, kStart + 100000000);
    EXPECT_EQ(contents(out.file),
              "\rx: 123456 frames  411520.0 fps  0:00"
              "\rx: 123457 frames  1234.6 fps  1:40"
              "  \rx: 123457 frames  1234.6 fps  1:40");
}

TEST(Progress, NonTerminalGetsOnlyTheSummaryOnce) {
    TempFile out;
    ASSERT_TRUE(out.file);
    Progress progress(out.file, "frames/", 9000, /*terminal=*/false, kStart);
    for (int frame = 1; frame <= 9000; ++frame) progress.update(frame, kStart + int64_t(frame) * 20000);
    EXPECT_EQ(contents(out.file), "");
    progress.finish(9000, kStart + 180000000);
    progress.finish(9000, kStart + 190000000);
    EXPECT_EQ(contents(out.file), "glimmerq: frames/: 9000 frames in 180.0 s (50.0 fps)\n");
}

TEST(Progress, IsTerminalTellsAFileFromATerminal) {
    TempFile out;
    ASSERT_TRUE(out.file);
    EXPECT_FALSE(glimmerq::isTerminal(out.file));
    EXPECT_FALSE(glimmerq::isTerminal(nullptr));
}
