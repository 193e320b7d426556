// Seeks into the real show land on the show's own frames: from a cold start, the first frame
// drawn and the frames one, 30 and 120 after it are those a run from the beginning draws
// there, byte for byte, in every section whose picture carries over or feeds back (the trails,
// the letterbox, the radial blurs); and a loop range wraps to the same frames pass after pass.
#include "runtime/base/clock.h"
#include "runtime/play/frame_clock.h"
#include "runtime/play/pacer.h"
#include "runtime/play/player.h"
#include "tests/support/show_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace glimmerq;
using glimmerq::testing::ShowFixture;

namespace {

constexpr int64_t kIntoSectionMs = 2000;                 // how far into a section a seek lands
constexpr int64_t kFramesAfter[] = {0, 1, 30, 120};      // compared after each seek

// Time passes only when the pacer sleeps: nothing here waits.
class StillClock : public Clock {
public:
    int64_t nowMicros() override { return micros; }
    void sleepUntil(int64_t until) override { micros = std::max(micros, until); }
    int64_t micros = 0;
};

// Keeps the pictures of the frames asked for, by their index in the run.
class FrameKeeper : public FrameOutput {
public:
    std::set<int64_t> wanted;
    std::map<int64_t, std::vector<unsigned char>> pictures;
    std::vector<int64_t> times;
    bool write(const Frame& frame, std::string*) override {
        times.push_back(frame.timeMs);
        if (wanted.count(frame.index)) frame.target->readPixels(&pictures[frame.index]);
        return true;
    }
};

// Where a seek must bring back what the picture carries: two seconds into every stretch of
// trails or letterbox, and into every run of a radial blur.
std::vector<int64_t> feedbackMoments(const ShowFixture& show) {
    std::vector<int64_t> moments;
    for (const Event& e : show.script().events) {
        const std::string effect = e.effect >= 0 ? show.effects()[size_t(e.effect)].name : "";
        const bool trailsOrLetterbox =
            e.verb == Event::Verb::Int && effect == "CLEAR" && e.intValue == 1 && (e.name == "METHOD" || e.name == "SCISSOR");
        const bool blur = e.verb == Event::Verb::Start && (effect.rfind("CBLUR", 0) == 0 || effect == "CLAND");
        if (trailsOrLetterbox || blur) moments.push_back(e.timeMs + kIntoSectionMs);
    }
    return moments;
}

// A luma-free measure for the failure message: how many bytes differ.
size_t bytesDiffering(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    size_t n = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) n += a[i] != b[i];
    return n + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

struct Size {
    int width, height, fps;
};

class SeekIntoTheShow : public ::testing::TestWithParam<Size> {};

// The run from the beginning, then each seek as a start time.
TEST_P(SeekIntoTheShow, EveryFeedbackSectionFromColdLandsOnTheShowsFrames) {
    const Size size = GetParam();
    std::vector<int64_t> moments;
    {
        ShowFixture show(size.width, size.height, GLIMMERQ_DATA_DIR);
        ASSERT_TRUE(show.ok()) << show.error();
        moments = feedbackMoments(show);
    }
    ASSERT_GE(moments.size(), 3u) << "the show has trails, a letterbox and blurs";

    // Every run in a fresh program's state: a context of its own, the effects set up once.
    StillClock clock;
    std::string error;
    const auto play = [&](int64_t startMs, int64_t frames, FrameKeeper& keeper) {
        ShowFixture show(size.width, size.height, GLIMMERQ_DATA_DIR);
        ASSERT_TRUE(show.ok()) << show.error();
        Timeline timeline(show.effects(), show.script());
        FixedStepClock frameClock(size.fps);
        Pacer pacer(clock, 0);
        PlayerSettings settings;
        settings.startMs = startMs;
        settings.showFps = size.fps;
        settings.maxFrames = frames;
        Player player(timeline, show.target(), clock, frameClock, pacer, settings);
        player.addOutput(&keeper);
        ASSERT_EQ(player.run(&error), Player::Outcome::Ended) << error;
    };

    FrameKeeper straight;
    const auto frameAt = [&](int64_t ms) { return int64_t(std::llround(double(ms) * size.fps / 1000.0)); };
    for (int64_t ms : moments)
        for (int64_t k : kFramesAfter) straight.wanted.insert(frameAt(ms) + k);
    play(0, *straight.wanted.rbegin() + 1, straight);

    for (int64_t ms : moments) {
        // On the show's frames, as a seek in a window lands.
        const int64_t first = frameAt(ms);
        const int64_t startMs = fixedStepMs(first, size.fps);
        FrameKeeper seeked;
        for (int64_t k : kFramesAfter) seeked.wanted.insert(k);
        play(startMs, kFramesAfter[3] + 1, seeked);
        for (int64_t k : kFramesAfter) {
            const auto& want = straight.pictures[first + k];
            const auto& got = seeked.pictures[k];
            EXPECT_EQ(straight.times[size_t(first + k)], seeked.times[size_t(k)]);
            EXPECT_TRUE(want == got) << "seek to " << startMs << " ms, frame " << k << " after it: "
                                     << bytesDiffering(want, got) << " of " << want.size() << " bytes differ";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TwoSizes, SeekIntoTheShow, ::testing::Values(Size{64, 36, 30}, Size{96, 54, 20}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

}  // namespace
