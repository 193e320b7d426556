// A loop range in a window: a real-time run on the show's own frames wraps three times, and
// every pass draws the same frames, byte for byte, as the first (the wrap starts from the kept
// picture of the range's start, so the trails under it are there too).
#include "runtime/display/window.h"
#include "runtime/outputs/window_output.h"
#include "runtime/play/frame_clock.h"
#include "runtime/play/pacer.h"
#include "runtime/play/player.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/show_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace glimmerq;

namespace {

constexpr int kWidth = 64;  // pixels
constexpr int kHeight = 36;
constexpr int kFramesPerSecond = 60;
// In the outro's trails: the picture carries over into the range's start.
constexpr int64_t kStartMs = 136000;
const LoopRange kRange{137000, 138000};
constexpr int kPasses = 4;  // the first, then three wraps

// Time passes only when the pacer sleeps: every frame lands on the show's next one.
class PacedClock : public Clock {
public:
    int64_t nowMicros() override { return micros; }
    void sleepUntil(int64_t until) override { micros = std::max(micros, until); }
    int64_t micros = 1000000;
};

class MarkRangeOnce : public Controls {
public:
    Commands poll() override {
        Commands commands;
        if (!marked_) commands.range = kRange;
        marked_ = true;
        return commands;
    }

private:
    bool marked_ = false;
};

// Each frame inside the range, pass by pass.
class PassRecorder : public FrameOutput {
public:
    std::vector<std::vector<std::pair<int64_t, std::vector<unsigned char>>>> passes;
    bool write(const Frame& frame, std::string*) override {
        if (frame.timeMs < kRange.fromMs || frame.timeMs >= kRange.toMs) return true;
        if (passes.empty() || frame.timeMs <= lastMs_) passes.emplace_back();
        lastMs_ = frame.timeMs;
        passes.back().emplace_back(frame.timeMs, std::vector<unsigned char>());
        frame.target->readPixels(&passes.back().back().second);
        return true;
    }

private:
    int64_t lastMs_ = -1;
};

}  // namespace

TEST(LoopRangeInAWindow, WrapsThreeTimesAndEveryPassDrawsTheFirstPassFrames) {
    glimmerq::testing::holdOffscreenGlLibrary();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::string error;
    auto window = Window::open("loop", kWidth, kHeight, false, false, &error);
    unsetenv("SDL_VIDEODRIVER");
    ASSERT_TRUE(window) << error;
    RenderTarget target;
    ASSERT_TRUE(target.create(kWidth, kHeight, &error)) << error;
    glimmerq::testing::ShowFixture show(kWidth, kHeight, GLIMMERQ_DATA_DIR,
                                        glimmerq::testing::ShowFixture::kCurrentContext);
    ASSERT_TRUE(show.ok()) << show.error();
    target.bind();
    target.clearToStart();

    Timeline timeline(show.effects(), show.script());
    PacedClock clock;
    WallClock frameClock(clock);
    Pacer pacer(clock, kFramesPerSecond);
    PlayerSettings settings;
    settings.startMs = kStartMs;
    settings.showFps = kFramesPerSecond;
    settings.playShowFrames = true;
    settings.seekSliceMicros = 40000;
    const int64_t rangeFrames = (kRange.toMs - kRange.fromMs) * kFramesPerSecond / 1000;
    settings.maxFrames = (kRange.fromMs - kStartMs) * kFramesPerSecond / 1000 + kPasses * rangeFrames;
    Player player(timeline, target, clock, frameClock, pacer, settings);
    MarkRangeOnce marks;
    player.addControls(&marks);
    PassRecorder passes;
    WindowOutput shown(*window);
    player.addOutput(&passes);
    player.addOutput(&shown);
    ASSERT_EQ(player.run(&error), Player::Outcome::Ended) << error;

    ASSERT_EQ(passes.passes.size(), size_t(kPasses));
    const auto& first = passes.passes.front();
    EXPECT_EQ(first.size(), size_t(rangeFrames));
    for (size_t p = 1; p < passes.passes.size(); ++p) {
        const auto& pass = passes.passes[p];
        ASSERT_EQ(pass.size(), first.size()) << "pass " << p + 1;
        for (size_t f = 0; f < pass.size(); ++f) {
            EXPECT_EQ(pass[f].first, first[f].first) << "pass " << p + 1 << ", frame " << f;
            EXPECT_TRUE(pass[f].second == first[f].second) << "pass " << p + 1 << ", frame " << f << " at "
                                                             << pass[f].first << " ms";
        }
    }
}
