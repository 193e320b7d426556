// The frame loop and its pieces: frame clocks, the pacer, and the player's handling of
// ends, loops, seeks, pauses, interruptions and failing outputs, on a clock stepped by hand.
#include "runtime/outputs/benchmark_output.h"
#include "runtime/play/frame_clock.h"
#include "runtime/play/pacer.h"
#include "runtime/play/player.h"
#include "tests/support/test_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

using namespace glimmerq;

namespace {

// Time moves only when someone sleeps, or when a test (or a drawing effect) says so.
class SteppedClock : public Clock {
public:
    int64_t micros = 1000000;
    int sleeps = 0;
    int64_t nowMicros() override { return micros; }
    void sleepUntil(int64_t target) override {
        ++sleeps;
        if (target > micros) micros = target;
    }
};

// Clears the whole picture every frame, so a seek draws only the frame before its target.
class CountingEffect : public CEffect, public CEffectState {
public:
    explicit CountingEffect(SteppedClock* clock = nullptr, int64_t costMicros = 0) : clock_(clock), cost_(costMicros) {}
    std::vector<LONG> drawn;
    std::vector<int> methods;
    void DrawFrame(LONG elapsed) override {
        drawn.push_back(elapsed);
        if (clock_) clock_->micros += cost_;
    }
    void ReceiveInt(char*, int value, LONG) override { methods.push_back(value); }
    void KeepState(CStateArchive&) override {}
    bool ClearsWholePicture() const override { return true; }

private:
    SteppedClock* clock_;
    int64_t cost_;
};

// Leaves its picture to the next frame, as trails do: a seek back needs a kept picture.
class TrailEffect : public CountingEffect {
public:
    bool ClearsWholePicture() const override { return false; }
};

class RecordingOutput : public FrameOutput {
public:
    std::vector<int64_t> times, indices;
    int finished = 0, aborted = 0, holds = 0;
    int failAt = -1;
    bool write(const Frame& frame, std::string* error) override {
        if (int(times.size()) == failAt) {
            *error = "disk full";
            return false;
        }
        times.push_back(frame.timeMs);
        indices.push_back(frame.index);
        return true;
    }
    bool finish(std::string*) override { return ++finished, true; }
    void abort() override { ++aborted; }
    void hold(const RenderTarget&) override { ++holds; }
};

// Notes, at every frame written, what the run's seeks keep.
class KeptCounter : public FrameOutput {
public:
    explicit KeptCounter(const Player& player) : player_(player) {}
    size_t pictures = 0, checkpoints = 0;
    bool write(const Frame&, std::string*) override {
        pictures = player_.seeker()->pictureCount();
        checkpoints = player_.seeker()->checkpointCount();
        return true;
    }

private:
    const Player& player_;
};

// Takes its time over every frame, as encoding a PNG or a video frame does.
class SlowOutput : public FrameOutput {
public:
    SlowOutput(SteppedClock& clock, int64_t costMicros) : clock_(clock), cost_(costMicros) {}
    bool write(const Frame&, std::string*) override {
        clock_.micros += cost_;
        return true;
    }

private:
    SteppedClock& clock_;
    int64_t cost_;
};

// Hands out one prepared set of commands per poll, then nothing.
class ScriptedControls : public Controls {
public:
    std::deque<Commands> queue;
    Commands poll() override {
        if (queue.empty()) return {};
        Commands c = queue.front();
        queue.pop_front();
        return c;
    }
};

class Following : public TimeSource {
public:
    std::optional<int64_t> value;
    std::optional<int64_t> timelineMs(int64_t) override { return value; }
};

Script script(const std::string& text) {
    std::string error;
    auto s = parseScript(text, {"A"}, &error);
    EXPECT_TRUE(s) << error;
    return s ? *s : Script{};
}

class PlayerTest : public ::testing::Test {
protected:
    glimmerq::testing::GlFixture gl{8, 8};
    RenderTarget target;
    SteppedClock clock;
    std::string error;

    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        ASSERT_TRUE(target.create(8, 8, &error)) << error;
    }
};

}  // namespace

TEST(FrameClocks, FixedStepCountsFramesFromEachRestartAndHoldsWhilePaused) {
    FixedStepClock clock(10);
    clock.restart(1500);
    EXPECT_EQ(clock.nextFrameMs(), 1500);
    EXPECT_EQ(clock.nextFrameMs(), 1600);
    clock.setPaused(true);
    EXPECT_EQ(clock.nextFrameMs(), 1600);
    clock.setPaused(false);
    EXPECT_EQ(clock.nextFrameMs(), 1700);
    clock.restart(0);
    EXPECT_EQ(clock.currentMs(), 0);
    EXPECT_EQ(clock.nextFrameMs(), 0);
    EXPECT_EQ(clock.nextFrameMs(), 100);
}

TEST(FrameClocks, WallClockResumesWhereItWasPausedWithoutAJump) {
    SteppedClock source;
    WallClock clock(source);
    clock.restart(10000);
    source.micros += 250000;
    EXPECT_EQ(clock.nextFrameMs(), 10250);
    clock.setPaused(true);
    source.micros += 5000000;  // five seconds paused
    EXPECT_EQ(clock.nextFrameMs(), 10250);
    clock.setPaused(false);
    source.micros += 16000;
    EXPECT_EQ(clock.nextFrameMs(), 10266);
}

TEST(FrameClocks, FollowingClockTakesTheSourcesTimeNeverGoesBackAndCarriesOnAfterIt) {
    SteppedClock source;
    Following music;
    FollowingClock clock(source, music);
    clock.restart(0);
    source.micros += 100000;
    EXPECT_EQ(clock.nextFrameMs(), 100);  // nothing to follow yet: the wall clock
    music.value = 120;
    EXPECT_EQ(clock.nextFrameMs(), 120);
    music.value = 110;  // a source that lags holds the picture
    source.micros += 5000;
    EXPECT_EQ(clock.nextFrameMs(), 120);
    music.value = 500;
    EXPECT_EQ(clock.nextFrameMs(), 500);
    music.value.reset();  // the music ended: the wall clock carries on from there
    source.micros += 40000;
    EXPECT_EQ(clock.nextFrameMs(), 540);
    clock.restart(0);  // a seek back is the one way backward
    EXPECT_EQ(clock.nextFrameMs(), 0);
}

TEST(FramePacing, SixtyFramesASecondOnAFixedScheduleAndNoBurstAfterFallingBehind) {
    SteppedClock clock;
    Pacer pacer(clock, 60);
    const int64_t start = clock.micros;
    for (int i = 0; i <= 60; ++i) pacer.wait();
    EXPECT_EQ(clock.micros - start, 1000000);
    // A frame that took half a second: the next one is not hurried to catch up.
    clock.micros += 500000;
    const int64_t late = clock.micros;
    pacer.wait();
    EXPECT_EQ(clock.micros, late);
    pacer.wait();
    EXPECT_EQ(clock.micros, late + 16666);
    Pacer unlimited(clock, 0);
    const int64_t before = clock.micros;
    unlimited.wait();
    EXPECT_EQ(clock.micros, before);
}

TEST_F(PlayerTest, RealTimeRunWithoutADisplayDrawsSixtyFramesASecondAndEnds) {
    CountingEffect a;
    std::vector<RegisteredEffect> effects{{"A", &a}};
    Timeline timeline(effects, script("0 start A layer 0\n1 end\n"));
    WallClock frameClock(clock);
    Pacer pacer(clock, 60);
    Player player(timeline, target, clock, frameClock, pacer, {});
    RecordingOutput out;
    player.addOutput(&out);
    ASSERT_EQ(player.run(&error), Player::Outcome::Ended);
    EXPECT_EQ(a.drawn.size(), 60u);
    EXPECT_EQ(out.times.back(), 983);
    EXPECT_EQ(out.finished, 1);
}

// A real-time run on the show's frames, following a source that lags and moves on only while
// it is fed (the music, pumped a frame at a time): the picture holds for it, feeding it
// meanwhile, and plays each of the show's frames once, in order, to the end.
TEST_F(PlayerTest, OnTheShowsFramesTheRunHoldsForALaggingSourceAndFeedsIt) {
    CountingEffect a;
    std::vector<RegisteredEffect> effects{{"A", &a}};
    Timeline timeline(effects, script("0 start A layer 0\n0.5 end\n"));
    Following music;
    music.value = 0;
    struct Feeder : PlaybackListener {
        Following* source;
        int held = 0;
        void frameHeld() override {
            ++held;
            *source->value += 5;  // fed, it plays a little further
        }
    } feeder;
    feeder.source = &music;
    FollowingClock frameClock(clock, music);
    Pacer pacer(clock, 60);
    PlayerSettings settings;
    settings.playShowFrames = true;
    settings.showFps = 60;
    Player player(timeline, target, clock, frameClock, pacer, settings);
    player.addListener(&feeder);
    RecordingOutput out;
    player.addOutput(&out);
    ASSERT_EQ(player.run(&error), Player::Outcome::Ended);
    EXPECT_GT(feeder.held, 0);
    ASSERT_EQ(out.times.size(), 30u);  // 0 ... 483 ms
    for (size_t n = 0; n < out.times.size(); ++n) EXPECT_EQ(out.times[n], fixedStepMs(int64_t(n), 60));
}

TEST_F(PlayerTest, StartsLateWithoutDrawingLoopsAndStopsAtTheFrameLimit) {
    CountingEffect a;
    std::vector<RegisteredEffect> effects{{"A", &a}};
    Timeline timeline(effects, script("0 start A layer 0\n0.5 int A M 7\n1 end\n"));
    FixedStepClock frameClock(10);
    Pacer pacer(clock, 0);
    PlayerSettings settings;
    settings.startMs = 600;
    settings.loop = true;
    settings.maxFrames = 8;
    Player player(timeline, target, clock, frameClock, pacer, settings);
    RecordingOutput out;
    player.addOutput(&out);
    ASSERT_EQ(player.run(&error), Player::Outcome::Ended);
    EXPECT_EQ(out.times, (std::vector<int64_t>{600, 700, 800, 900, 0, 100, 200, 300}));
    EXPECT_EQ(out.indices.back(), 7);
    EXPECT_EQ(a.methods, (std::vector<int>{7}));  // applied once before the start, not yet again
}

TEST_F(PlayerTest, SeeksReplayFromTheBeginningAndPausingDrawsNothing) {
    CountingEffect a;
    std::vector<RegisteredEffect> effects{{"A", &a}};
    Timeline timeline(effects, script("0 start A layer 0\n2 int A M 1\n8 int A M 2\n20 end\n"));
    FixedStepClock frameClock(10);
    Pacer pacer(clock, 0);
    PlayerSettings settings;
    settings.maxFrames = 4;
    Player player(timeline, target, clock, frameClock, pacer, settings);
    ScriptedControls controls;
    Commands seek;
    seek.seekMs = 5000;
    Commands pause;
    pause.togglePause = true;
    controls.queue = {{}, seek, pause, {}, {}, pause};
    player.addControls(&controls);
    RecordingOutput out;
    player.addOutput(&out);
    ASSERT_EQ(player.run(&error), Player::Outcome::Ended);
    // Frame 0 at 0; the seek from 0 lands on 5 s and replays the event at 2 s; then three
    // polls hold the picture until the second toggle resumes from where it was.
    EXPECT_EQ(out.times, (std::vector<int64_t>{0, 5000, 5100, 5200}));
    EXPECT_EQ(a.methods, (std::vector<int>{1}));
    EXPECT_EQ(out.holds, 3);
}

TEST_F(PlayerTest, OnlyARunThatCanSeekAgainKeepsPicturesAsItPlays) {
    // A kept picture costs its frame a copy of the whole picture; a run without keys (a
    // render, a video, a benchmark) never goes back to use one. States are kept either way.
    for (const bool withKeys : {false, true}) {
        TrailEffect a;
        std::vector<RegisteredEffect> effects{{"A", &a}};
        Timeline timeline(effects, script("0 start A layer 0\n20 end\n"));
        FixedStepClock frameClock(60);
        Pacer pacer(clock, 0);
        PlayerSettings settings;
        settings.startMs = 1000;
        settings.maxFrames = 400;
        Player player(timeline, target, clock, frameClock, pacer, settings);
        ScriptedControls controls;  // never asks for anything
        if (withKeys) player.addControls(&controls);
        KeptCounter kept(player);
        player.addOutput(&kept);
        ASSERT_EQ(player.run(&error), Player::Outcome::Ended) << error;
        EXPECT_EQ(kept.pictures > 0, withKeys) << "with keys: " << withKeys;
        EXPECT_GT(kept.checkpoints, 10u) << "with keys: " << withKeys;
    }
}

TEST_F(PlayerTest, QuitInterruptAndAFailingOutputEachEndTheRunTheirWay) {
    CountingEffect a;
    std::vector<RegisteredEffect> effects{{"A", &a}};
    Timeline timeline(effects, script("0 start A layer 0\n20 end\n"));
    FixedStepClock frameClock(10);
    Pacer pacer(clock, 0);
    {
        Player player(timeline, target, clock, frameClock, pacer, {});
        ScriptedControls controls;
        Commands quit;
        quit.quit = true;
        controls.queue = {{}, {}, quit};
        player.addControls(&controls);
        RecordingOutput out;
        player.addOutput(&out);
        EXPECT_EQ(player.run(&error), Player::Outcome::Quit);
        EXPECT_EQ(out.times.size(), 2u);
        EXPECT_EQ(out.finished, 1);
    }
    {
        int polls = 0;
        PlayerSettings settings;
        settings.interrupted = [&] { return ++polls > 3; };
        Player player(timeline, target, clock, frameClock, pacer, settings);
        RecordingOutput out;
        player.addOutput(&out);
        EXPECT_EQ(player.run(&error), Player::Outcome::Interrupted);
        EXPECT_EQ(out.times.size(), 3u);
        EXPECT_EQ(out.finished, 0);
        EXPECT_EQ(out.aborted, 1);
    }
    {
        Player player(timeline, target, clock, frameClock, pacer, {});
        RecordingOutput failing, other;
        failing.failAt = 5;
        player.addOutput(&failing);
        player.addOutput(&other);
        EXPECT_EQ(player.run(&error), Player::Outcome::Failed);
        EXPECT_EQ(error, "disk full");
        EXPECT_EQ(failing.aborted, 1);
        EXPECT_EQ(other.aborted, 1);
        EXPECT_EQ(other.finished, 0);
    }
}

TEST_F(PlayerTest, BenchmarkTimesTheDrawingAloneWhateverIsWrittenBeforeOrAfterIt) {
    CountingEffect a(&clock, 3000);  // 3 ms a frame
    std::vector<RegisteredEffect> effects{{"A", &a}};
    Timeline timeline(effects, script("0 start A layer 0\n1 end\n"));
    FixedStepClock frameClock(10);
    Pacer pacer(clock, 0);
    Player player(timeline, target, clock, frameClock, pacer, {});
    SlowOutput before(clock, 50000), after(clock, 20000);
    char* table = nullptr;
    size_t tableSize = 0;
    FILE* out = open_memstream(&table, &tableSize);
    BenchmarkOutput benchmark(clock, out, "", 0.0);
    player.addOutput(&before);
    player.addOutput(&benchmark);
    player.addOutput(&after);
    ASSERT_EQ(player.run(&error), Player::Outcome::Ended) << error;
    std::fclose(out);
    const std::string text(table, tableSize);
    std::free(table);

    // The row of effect A: frames, mean, median, p99 and max ms.
    const size_t row = text.find("\nA ");
    ASSERT_NE(row, std::string::npos) << text;
    size_t frames = 0;
    double meanMs = 0, medianMs = 0, p99Ms = 0, maxMs = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + row, " A %zu %lf %lf %lf %lf", &frames, &meanMs, &medianMs, &p99Ms, &maxMs), 5);
    EXPECT_EQ(frames, 10u);
    EXPECT_DOUBLE_EQ(meanMs, 3.0) << text;
    EXPECT_DOUBLE_EQ(maxMs, 3.0) << text;
}

namespace {

class RestartLog : public PlaybackListener {
public:
    std::vector<int64_t> restarts;
    void restarted(int64_t timeMs) override { restarts.push_back(timeMs); }
};

Commands seekTo(int64_t ms) {
    Commands c;
    c.seekToMs = ms;
    return c;
}
Commands mark(int64_t fromMs, int64_t toMs) {
    Commands c;
    c.range = LoopRange{fromMs, toMs};
    return c;
}

}  // namespace

// Each poll hands out the next set of commands; frames are 100 ms apart; the show ends at 10 s.
// The music hears every jump as a restart, so it follows as it does a key seek.
TEST_F(PlayerTest, AbsoluteSeeksAndAMarkedRangeRestartTheRunWhereTheyShould) {
    Commands pause, clear, here, there;
    pause.togglePause = true;
    clear.clearRange = true;
    here.rangeStartHere = true;
    there.rangeEndHere = true;
    Commands markAndSeek = mark(9600, 99000);  // past the end: the range ends with the show
    markAndSeek.seekToMs = 9700;
    const struct {
        const char* what;
        std::deque<Commands> polls;
        int64_t frames;
        std::vector<int64_t> times;
        std::vector<int64_t> restarts;
    } cases[] = {
        {"an absolute seek replays to its time", {{}, seekTo(5000)}, 3, {0, 5000, 5100}, {0, 5000}},
        // (the fixed step resumes from where the seek landed, as after a key seek)
        {"a seek while paused shows one frame there", {{}, pause, seekTo(3000), {}, pause}, 3, {0, 3000, 3000}, {0, 3000}},
        {"a seek past the end stops short of it", {seekTo(99000)}, 1, {9999}, {0, 9999}},
        {"the range's end goes back to its start", {mark(200, 400)}, 7, {0, 100, 200, 300, 200, 300, 200}, {0, 200, 200}},
        {"[ and ] mark at the playhead", {{}, {}, {}, here, {}, there}, 8, {0, 100, 200, 300, 400, 200, 300, 200}, {0, 200, 200}},
        {"clearing the range plays on", {mark(200, 400), {}, {}, {}, {}, clear}, 8, {0, 100, 200, 300, 200, 300, 400, 500}, {0, 200}},
        {"a seek past the range plays on", {mark(200, 400), seekTo(600)}, 3, {0, 600, 700}, {0, 600}},
        {"a range to the end loops at the end", {markAndSeek}, 5, {9700, 9800, 9900, 9600, 9700}, {0, 9700, 9600}},
    };
    for (const auto& c : cases) {
        CountingEffect a;
        std::vector<RegisteredEffect> effects{{"A", &a}};
        Timeline timeline(effects, script("0 start A layer 0\n2 int A M 1\n10 end\n"));
        FixedStepClock frameClock(10);
        Pacer pacer(clock, 0);
        PlayerSettings settings;
        settings.maxFrames = c.frames;
        Player player(timeline, target, clock, frameClock, pacer, settings);
        ScriptedControls controls;
        controls.queue = c.polls;
        player.addControls(&controls);
        RecordingOutput out;
        RestartLog log;
        player.addOutput(&out);
        player.addListener(&log);
        ASSERT_EQ(player.run(&error), Player::Outcome::Ended) << c.what;
        EXPECT_EQ(out.times, c.times) << c.what;
        EXPECT_EQ(log.restarts, c.restarts) << c.what;
    }
}

// With holdAtEnd saying yes, the end holds the last frame instead of ending; a seek plays
// on from there, and the end ends the run once holdAtEnd says no.
TEST_F(PlayerTest, TheEndHoldsTheLastFrameWhileAskedToAndEndsOtherwise) {
    CountingEffect a;
    std::vector<RegisteredEffect> effects{{"A", &a}};
    Timeline timeline(effects, script("0 start A layer 0\n0.3 end\n"));
    FixedStepClock frameClock(10);
    Pacer pacer(clock, 0);
    bool holding = true;
    PlayerSettings settings;
    settings.holdAtEnd = [&] { return holding; };
    Player player(timeline, target, clock, frameClock, pacer, settings);
    // Polls come before every frame or hold: 3 frames, 2 holds, a seek back to 0.1 s and its
    // 2 frames, a hold, then holding stops.
    struct Controller : Controls {
        int polls = 0;
        bool* holding = nullptr;
        Commands poll() override {
            Commands commands;
            if (++polls == 6) commands.seekToMs = 100;
            if (polls == 9) *holding = false;
            return commands;
        }
    } controller;
    controller.holding = &holding;
    player.addControls(&controller);
    RecordingOutput out;
    player.addOutput(&out);
    ASSERT_EQ(player.run(&error), Player::Outcome::Ended) << error;
    EXPECT_EQ(out.times, (std::vector<int64_t>{0, 100, 200, 100, 200}));
    EXPECT_EQ(out.holds, 3);
    EXPECT_EQ(out.finished, 1);
    EXPECT_EQ(controller.polls, 9);
}

// What several sources asked for in one poll is taken together.
TEST(Commands, ThoseOfSeveralSourcesAddUp) {
    Commands keys;
    keys.togglePause = true;
    keys.seekMs = 5000;
    keys.rangeEndHere = true;
    Commands mouse;
    mouse.seekToMs = 7000;
    mouse.range = LoopRange{1000, 2000};
    Commands later;
    later.togglePause = true;
    later.seekMs = -30000;
    later.seekToMs = 9000;
    later.reload = true;
    Commands all = keys;
    all.add(mouse);
    EXPECT_TRUE(all.togglePause);
    EXPECT_EQ(all.seekMs, 5000);
    EXPECT_EQ(all.seekToMs, 7000);
    EXPECT_EQ(all.range, (LoopRange{1000, 2000}));
    EXPECT_TRUE(all.rangeEndHere);
    EXPECT_FALSE(all.reload || all.quit || all.restart || all.clearRange || all.rangeStartHere);
    all.add(later);
    EXPECT_FALSE(all.togglePause) << "two toggles cancel";
    EXPECT_EQ(all.seekMs, -25000);
    EXPECT_EQ(all.seekToMs, 9000) << "the later absolute seek wins";
    EXPECT_TRUE(all.reload);
}
