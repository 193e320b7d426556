// What a run is made of, for each way of playing: clock, pace, sound, outputs in order, keys
// and watching, and how many frames the progress line counts to.
#include "app/run_plan.h"
#include "runtime/play/frame_clock.h"

#include <gtest/gtest.h>

using namespace glimmerq;

namespace {

Options parsed(std::vector<std::string> args) {
    args.insert(args.begin(), "glimmerq");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    Options options;
    int exitCode = -1;
    std::FILE* sink = std::tmpfile();
    EXPECT_TRUE(parseOptions(int(argv.size()), argv.data(), &options, &exitCode, sink, sink));
    std::fclose(sink);
    return options;
}

// Frames a fixed-step run really draws: the clock's times before the end.
int64_t framesTheClockGives(int64_t startMs, int64_t endMs, int fps) {
    FixedStepClock clock(fps);
    clock.restart(startMs);
    int64_t frames = 0;
    while (clock.nextFrameMs() < endMs) ++frames;
    return frames;
}

}  // namespace

TEST(RunPlan, EachWayOfPlayingGetsItsClockPaceSoundAndOutputsInOrder) {
    using O = OutputKind;
    struct Case {
        const char* what;
        std::vector<std::string> args;
        RunFacts facts;
        FrameClockKind clock;
        int pacedFps;
        bool music;
        std::vector<OutputKind> outputs;
        bool keys;
    };
    const RunFacts window{true, 144, true, 152000};
    const RunFacts windowNoMusic{true, 75, false, 152000};
    const RunFacts headless{false, 0, true, 152000};
    const std::vector<O> windowOutputs = {O::Screenshots, O::Window, O::WindowTitle};
    const Case cases[] = {
        {"a window with music", {}, window, FrameClockKind::FollowMusic, 60, true, windowOutputs, true},
        {"a window, muted", {"--mute"}, window, FrameClockKind::Wall, 60, false, windowOutputs, true},
        {"a script without music", {}, windowNoMusic, FrameClockKind::Wall, 60, false, windowOutputs, true},
        {"the display's rate", {"--max-fps", "0"}, window, FrameClockKind::FollowMusic, 144, true, windowOutputs, true},
        {"no vsync, no limit", {"--max-fps", "0", "--no-vsync"}, window, FrameClockKind::FollowMusic, 0, true,
         windowOutputs, true},
        {"fixed step in a window", {"--fps", "30"}, window, FrameClockKind::FixedStep, 30, false, windowOutputs, true},
        {"headless real time", {"--headless"}, headless, FrameClockKind::FollowMusic, 60, true, {}, false},
        {"headless, at most 25", {"--headless", "--max-fps", "25"}, headless, FrameClockKind::FollowMusic, 25, true,
         {}, false},
        {"headless without a limit", {"--headless", "--max-fps", "0"}, headless, FrameClockKind::FollowMusic, 60, true,
         {}, false},
        {"render", {"--render", "out"}, headless, FrameClockKind::FixedStep, 0, false, {O::PngFrames, O::Progress},
         false},
        {"benchmark", {"--benchmark"}, headless, FrameClockKind::FixedStep, 0, false, {O::Benchmark}, false},
        {"render and benchmark", {"--render", "out", "--benchmark"}, headless, FrameClockKind::FixedStep, 0, false,
         {O::PngFrames, O::Benchmark, O::Progress}, false},
    };
    for (const Case& c : cases) {
        const RunPlan plan = planRun(parsed(c.args), c.facts);
        EXPECT_EQ(plan.clock, c.clock) << c.what;
        EXPECT_EQ(plan.pacedFps, c.pacedFps) << c.what;
        EXPECT_EQ(plan.playMusic, c.music) << c.what;
        EXPECT_EQ(plan.outputs, c.outputs) << c.what;
        EXPECT_EQ(plan.keys, c.keys) << c.what;
        EXPECT_FALSE(plan.watch) << c.what;
    }
    EXPECT_TRUE(planRun(parsed({"--watch"}), window).watch);
    const RunPlan render = planRun(parsed({"--render", "out", "--fps", "25"}), headless);
    EXPECT_EQ(render.fixedFps, 25);
    EXPECT_EQ(render.progressLabel, "out");
}

TEST(RunPlan, TheProgressTotalIsTheNumberOfFramesTheRunDraws) {
    struct Case {
        std::vector<std::string> args;
        int64_t endMs;
    };
    const Case cases[] = {
        {{"--render", "out", "--start", "1:00.033"}, 152000},  // 5518 frames, not 5519
        {{"--render", "out"}, 152000},
        {{"--render", "out", "--fps", "30", "--start", "0.05"}, 1000},
        {{"--render", "out", "--fps", "7", "--start", "2.999"}, 3000},
        {{"--render", "out", "--fps", "1000", "--start", "1.5"}, 2000},
        {{"--render", "out", "--fps", "16", "--start", "0.001"}, 10000},
        {{"--render", "out", "--fps", "24", "--start", "0.020"}, 500},
    };
    for (const Case& c : cases) {
        const Options options = parsed(c.args);
        const int64_t drawn = framesTheClockGives(options.startMs, c.endMs, options.fps);
        EXPECT_EQ(planRun(options, {false, 0, false, c.endMs}).progressTotal, drawn)
            << "from " << options.startMs << " ms to " << c.endMs << " ms at " << options.fps << " fps";
    }
    // --frames caps it; beyond the end the end does. Looping without --frames: unknown.
    EXPECT_EQ(framesOfRun(parsed({"--render", "out", "--frames", "10"}), 152000), 10);
    EXPECT_EQ(framesOfRun(parsed({"--render", "out", "--frames", "100", "--fps", "10"}), 2000), 20);
    EXPECT_EQ(framesOfRun(parsed({"--render", "out", "--loop"}), 152000), 0);
    EXPECT_EQ(framesOfRun(parsed({"--render", "out", "--loop", "--frames", "500"}), 2000), 500);
    EXPECT_EQ(framesOfRun(parsed({}), 152000), 0) << "real time: unknown";
}
