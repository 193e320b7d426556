// The seeker on a small made-up show whose picture sometimes carries over from frame to frame:
// wherever it is sent, cold or after playing, the next frame drawn is the one a run from the
// beginning draws there; what it keeps makes returning cheap and stays within its bound.
#include "runtime/play/frame_clock.h"
#include "runtime/play/pacer.h"
#include "runtime/play/player.h"
#include "runtime/play/seeker.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

using namespace glimmerq;

namespace {

constexpr int kSize = 16;  // pixels, square
constexpr int kFps = 10;

// Paints one column a frame, at the column and in the grey its frame count gives; while CLEARS
// is 1 it clears the picture first, else the columns pile up over the frames before.
class Painter : public CEffect, public CEffectState {
public:
    int painted = 0;  // frames drawn: the state a seek must bring back
    bool clears = false;
    int64_t* clockMicros = nullptr;  // when set, each frame takes costMicros of it
    int64_t costMicros = 0;

    void DrawFrame(LONG) override {
        if (clockMicros) *clockMicros += costMicros;
        glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_SCISSOR_BIT);
        if (clears) {
            glDisable(GL_SCISSOR_TEST);
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glEnable(GL_SCISSOR_TEST);
        glScissor(painted % kSize, 0, 1, kSize);
        const float grey = float((painted * 37) % 256) / 255.0f;
        glClearColor(grey, 1.0f - grey, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glPopAttrib();
        ++painted;
    }
    void ReceiveInt(char* name, int value, LONG) override {
        if (std::strcmp(name, "CLEARS") == 0) clears = value == 1;
    }
    void KeepState(CStateArchive& state) override { state(painted, clears); }
    bool ClearsWholePicture() const override { return clears; }
};

// Carries over for 3 s, clears for 2 s, carries over again to the end.
const char kScript[] =
    "0 start P layer 0\n"
    "3 int P CLEARS 1\n"
    "5 int P CLEARS 0\n"
    "9 end\n";

class SeekerTest : public ::testing::Test {
protected:
    glimmerq::testing::GlFixture gl{kSize, kSize};
    Painter painter;
    std::vector<RegisteredEffect> effects{{"P", &painter}};
    Timeline timeline{effects, script()};
    std::string error;

    static Script script() {
        std::string error;
        auto s = parseScript(kScript, {"P"}, &error);
        EXPECT_TRUE(s) << error;
        return s ? *s : Script{};
    }
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    // Draws the frame the seeker stands before and returns its picture.
    std::vector<unsigned char> drawNext(Seeker& seeker) {
        const int64_t t = seeker.frameMs(seeker.position());
        seeker.frameStarting(t);
        if (timeline.advance(t)) timeline.draw(t);
        seeker.frameDrawn();
        return gl.picture();
    }
    // The pictures a run from the beginning draws, frame by frame.
    std::vector<std::vector<unsigned char>> straightRun(Seeker& seeker, int frames) {
        std::vector<std::vector<unsigned char>> pictures;
        for (int n = 0; n < frames; ++n) pictures.push_back(drawNext(seeker));
        return pictures;
    }
    void seek(Seeker& seeker, int64_t frame) {
        SteppedNever clock;
        seeker.begin(seeker.frameMs(frame));
        ASSERT_TRUE(seeker.step(clock, 0));
    }
    struct SteppedNever : Clock {
        int64_t nowMicros() override { return 0; }
        void sleepUntil(int64_t) override {}
    };
};

constexpr int kFrames = 89;  // up to 8.8 s

TEST_F(SeekerTest, EverySeekDrawsTheFrameARunFromTheBeginningDrawsThere) {
    Seeker seeker(timeline, gl.target(), kFps);
    const auto straight = straightRun(seeker, kFrames);
    // Back and forth over what was played: into the carried-over picture, into the clearing
    // stretch, right after each switch, the start, one frame from the end.
    const int64_t targets[] = {20, 45, 31, 30, 50, 51, 75, 0, 88, 5, 60, 29, 66};
    for (int64_t target : targets) {
        seek(seeker, target);
        EXPECT_EQ(seeker.position(), target);
        EXPECT_TRUE(drawNext(seeker) == straight[size_t(target)]) << "frame " << target;
        EXPECT_EQ(painter.painted, target + 1) << "frame " << target;
    }
}

TEST_F(SeekerTest, AColdSeekLandsAsExactlyAndDrawsOnlyWhatThePictureCarries) {
    std::vector<std::vector<unsigned char>> straight;
    {
        Seeker reference(timeline, gl.target(), kFps);
        straight = straightRun(reference, kFrames);
    }
    struct Row {
        int64_t target;
        int64_t drawnAtMost;  // frames drawn in full for the seek
    };
    // In the clearing stretch the frame before the target is drawn; in a carried-over one, that
    // frame and then every frame from the last clear (or from the start) again.
    const Row rows[] = {{40, 1}, {49, 1}, {20, 1 + 20}, {70, 1 + 21}, {51, 1 + 2}};
    for (const Row& row : rows) {
        painter.painted = 0;
        painter.clears = false;
        timeline.rewind();
        gl.target().clearToStart();
        Seeker seeker(timeline, gl.target(), kFps);
        seek(seeker, row.target);
        EXPECT_LE(seeker.counts().drawn, row.drawnAtMost) << "frame " << row.target;
        EXPECT_TRUE(drawNext(seeker) == straight[size_t(row.target)]) << "frame " << row.target;
    }
}

TEST_F(SeekerTest, KeptPicturesMakeReturningCheapWithinTheBound) {
    Seeker seeker(timeline, gl.target(), kFps);
    seeker.keepPictureAt(7000);  // a loop range's start, in the carried-over stretch
    const auto straight = straightRun(seeker, kFrames);
    EXPECT_GE(seeker.pictureCount(), 1u);

    // The range's start: its picture and one discarded frame, nothing drawn.
    const Seeker::Counts before = seeker.counts();
    seek(seeker, 70);
    EXPECT_EQ(seeker.counts().pictures - before.pictures, 1);
    EXPECT_EQ(seeker.counts().drawn - before.drawn, 0);
    EXPECT_TRUE(drawNext(seeker) == straight[70]);

    // A bound smaller than one picture keeps none, and a few states: the seeks stay exact.
    painter.painted = 0;
    painter.clears = false;
    timeline.rewind();
    gl.target().clearToStart();
    const size_t bound = 2048;
    Seeker small(timeline, gl.target(), kFps, bound);
    small.keepPictureAt(7000);
    straightRun(small, kFrames);
    EXPECT_EQ(small.pictureCount(), 0u);
    EXPECT_LE(small.keptBytes(), bound);
    for (int64_t target : {70, 25, 45, 88}) {
        seek(small, target);
        EXPECT_TRUE(drawNext(small) == straight[size_t(target)]) << "frame " << target;
        EXPECT_LE(small.keptBytes(), bound);
    }
}

TEST_F(SeekerTest, FramesSkippedOrForgottenLeaveTheStateExactAndTheNextSeekRightsThePicture) {
    Seeker seeker(timeline, gl.target(), kFps);
    const auto straight = straightRun(seeker, kFrames);
    seek(seeker, 10);
    seeker.skipTo(25);  // a real-time run that fell behind
    EXPECT_TRUE(seeker.exact());
    EXPECT_FALSE(seeker.pictureExact());  // the skipped columns are missing
    EXPECT_EQ(painter.painted, 25);
    seek(seeker, 26);
    EXPECT_TRUE(drawNext(seeker) == straight[26]);

    seeker.forget();  // a reload
    EXPECT_FALSE(seeker.exact());
    EXPECT_EQ(seeker.checkpointCount(), 1u);
    seek(seeker, 60);
    EXPECT_TRUE(drawNext(seeker) == straight[60]);
}

// A clock that moves only when something takes time (a frame drawn, the pacer's sleep).
class CostClock : public Clock {
public:
    int64_t micros = 1000000;
    int64_t nowMicros() override { return micros; }
    void sleepUntil(int64_t until) override { micros = std::max(micros, until); }
};

class Scripted : public Controls {
public:
    std::deque<Commands> queue;
    Commands poll() override {
        if (queue.empty()) return {};
        Commands c = queue.front();
        queue.pop_front();
        return c;
    }
};

class Heard : public PlaybackListener, public FrameOutput {
public:
    std::vector<int64_t> restarts, seekingTo, frames;
    std::vector<double> fractions;
    std::vector<std::vector<unsigned char>> pictures;
    void restarted(int64_t timeMs) override { restarts.push_back(timeMs); }
    void seeking(int64_t targetMs, double fraction) override {
        seekingTo.push_back(targetMs);
        fractions.push_back(fraction);
    }
    bool write(const Frame& frame, std::string*) override {
        frames.push_back(frame.timeMs);
        pictures.emplace_back();
        frame.target->readPixels(&pictures.back());
        return true;
    }
};

// In a window a long seek goes a slice at a time: a pause and a second seek given meanwhile
// are taken at once, the second replacing the first; the listeners hear how far it is, then
// where it landed, once; the frame shown is the show's, and the run stays paused on it.
TEST_F(SeekerTest, ALongSeekGoesBySlicesTakesANewSeekAndLandsPausedOnTheShowsFrame) {
    std::vector<std::vector<unsigned char>> straight;
    {
        Seeker reference(timeline, gl.target(), kFps);
        straight = straightRun(reference, kFrames);
    }
    painter.painted = 0;
    painter.clears = false;
    timeline.rewind();
    gl.target().clearToStart();

    CostClock clock;
    painter.clockMicros = &clock.micros;
    painter.costMicros = 10000;  // every frame, discarded or drawn: 8 s of show is 0.8 s of seeking
    WallClock frameClock(clock);
    Pacer pacer(clock, kFps);
    PlayerSettings settings;
    settings.showFps = kFps;
    settings.playShowFrames = true;
    settings.seekSliceMicros = 40000;
    Player player(timeline, gl.target(), clock, frameClock, pacer, settings);
    Scripted keys;
    Commands far, pause, nearer, quit;
    far.seekToMs = 8500;
    pause.togglePause = true;
    nearer.seekToMs = 7000;
    quit.quit = true;
    keys.queue = {{}, far, {}, pause, {}, {}, {}, {}, {}, {}, nearer};
    for (int i = 0; i < 60; ++i) keys.queue.push_back({});
    keys.queue.push_back(quit);
    player.addControls(&keys);
    Heard heard;
    player.addListener(&heard);
    player.addOutput(&heard);
    ASSERT_EQ(player.run(&error), Player::Outcome::Quit);

    EXPECT_EQ(heard.restarts, (std::vector<int64_t>{0, 7000}));  // the start, then the one landing
    ASSERT_FALSE(heard.seekingTo.empty());
    EXPECT_EQ(heard.seekingTo.back(), 7000);
    for (double f : heard.fractions) EXPECT_TRUE(f >= 0.0 && f <= 1.0) << f;
    // Frame 0 before the keys, then the one frame after landing while paused.
    ASSERT_EQ(heard.frames, (std::vector<int64_t>{0, 7000}));
    EXPECT_TRUE(heard.pictures.back() == straight[70]);
}

TEST(SeekerFrames, TheShowsFramesAndTheSeekText) {
    struct Row {
        int fps;
        int64_t timeMs;
        int64_t before, nearest;
    };
    const Row rows[] = {{60, 0, 0, 0}, {60, 1, 1, 0}, {60, 17, 1, 1}, {60, 24, 2, 1}, {60, 25, 2, 2} /* a tie: the later */,
                        {60, 60000, 3600, 3600}, {20, 75, 2, 2}, {20, 74, 2, 1}};
    for (const Row& row : rows) {
        glimmerq::testing::GlFixture gl(4, 4);
        std::vector<RegisteredEffect> none;
        Timeline timeline(none, Script{});
        Seeker seeker(timeline, gl.target(), row.fps);
        EXPECT_EQ(seeker.framesBefore(row.timeMs), row.before) << row.fps << " fps, " << row.timeMs << " ms";
        EXPECT_EQ(seeker.frameNearest(row.timeMs), row.nearest) << row.fps << " fps, " << row.timeMs << " ms";
    }
    EXPECT_EQ(seekingText(104000, 0.404), "seeking to 1:44 \u2026 40 %");
    EXPECT_EQ(seekingText(62350, 1.5, true), "seeking to 1:02.350 ... 100 %");
}

}  // namespace
