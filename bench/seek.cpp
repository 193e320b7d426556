// seek: what a seek costs beside drawing, on the real show at a render size.
//
//   build/seek [WIDTHxHEIGHT ...]        (default: 640x360 1280x720)
//
// For each size, on a headless context with the data the build staged beside it (data/):
//   1. a cold seek to 2:20, from effects just set up (nothing seen before);
//   2. the show drawn from the beginning to 2:20 at 60 frames a second, every frame finished
//      (glFinish): what "drawing the first 2:20" costs, and one frame's mean;
//   3. on that run, seeks to places played before, each timed and given in frames' worth;
//   4. loop ranges (4 s, one in the split screen, one in the trails of the outro): played
//      through once, then wrapped to their start three times, each wrap timed.
// Every seek says where its time went (frames discarded, frames drawn, states and pictures put
// back), and the end says what the seeker keeps (MB).
//
// Not a test: timings depend on the machine and its load; run it on a quiet machine.
#include "runtime/base/show_time.h"
#include "runtime/play/seeker.h"
#include "tests/support/show_fixture.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace glimmerq;

namespace {

constexpr int kFramesPerSecond = 60;
constexpr int64_t kColdTargetMs = 140000;  // 2:20
const int64_t kPlayedBeforeMs[] = {15000, 45000, 90000, 120000, 138000, 139000};
struct Range {
    int64_t fromMs, toMs;
};
const Range kRanges[] = {{90000, 94000}, {138000, 142000}};
constexpr int kWraps = 3;

double seconds(SteadyClock& clock, int64_t sinceMicros) { return double(clock.nowMicros() - sinceMicros) / 1e6; }

// Draws the show's frames from where the seeker stands up to (not including) the one at untilMs.
void drawUntil(Seeker& seeker, Timeline& timeline, int64_t untilMs) {
    while (seeker.frameMs(seeker.position()) < untilMs) {
        const int64_t t = seeker.frameMs(seeker.position());
        seeker.frameStarting(t);
        if (timeline.advance(t)) timeline.draw(t);
        seeker.frameDrawn();
        glFinish();
    }
}

struct Timed {
    double seconds;
    Seeker::Counts counts;
};

Timed seek(Seeker& seeker, SteadyClock& clock, int64_t toMs) {
    const Seeker::Counts before = seeker.counts();
    const int64_t start = clock.nowMicros();
    seeker.begin(toMs);
    seeker.step(clock, 0);
    glFinish();
    Timed timed{seconds(clock, start), seeker.counts()};
    timed.counts.discarded -= before.discarded;
    timed.counts.drawn -= before.drawn;
    timed.counts.restored -= before.restored;
    timed.counts.pictures -= before.pictures;
    timed.counts.retries -= before.retries;
    return timed;
}

void report(const char* what, int64_t toMs, const Timed& t, double frameSeconds) {
    std::printf("  %-22s %-8s %8.3f s  %7.1f frames  (%lld discarded, %lld drawn, %lld states, %lld pictures%s)\n", what,
                formatShowTime(toMs, ShowTimeStyle::Short).c_str(), t.seconds, t.seconds / frameSeconds,
                (long long)t.counts.discarded, (long long)t.counts.drawn, (long long)t.counts.restored,
                (long long)t.counts.pictures, t.counts.retries ? ", drawn again from the last clear" : "");
}

bool measure(int width, int height, const std::string& data) {
    SteadyClock clock;
    std::printf("%dx%d\n", width, height);
    double coldSeconds = 0;
    {
        testing::ShowFixture show(width, height, data);
        if (!show.ok()) {
            std::fprintf(stderr, "seek: %s\n", show.error().c_str());
            return false;
        }
        Timeline timeline(show.effects(), show.script());
        Seeker seeker(timeline, show.target(), kFramesPerSecond);
        const Timed cold = seek(seeker, clock, kColdTargetMs);
        coldSeconds = cold.seconds;
        std::printf("  cold seek to 2:20     %8.3f s  (%lld discarded, %lld drawn, %lld states%s)\n", cold.seconds,
                    (long long)cold.counts.discarded, (long long)cold.counts.drawn, (long long)cold.counts.restored,
                    cold.counts.retries ? ", drawn again from the last clear" : "");
    }

    testing::ShowFixture show(width, height, data);
    Timeline timeline(show.effects(), show.script());
    Seeker seeker(timeline, show.target(), kFramesPerSecond);
    const int64_t start = clock.nowMicros();
    drawUntil(seeker, timeline, kColdTargetMs);
    const double drawSeconds = seconds(clock, start);
    const double frameSeconds = drawSeconds / double(seeker.position());
    std::printf("  drawing 0:00-2:20     %8.3f s  (%lld frames, %.2f ms a frame)\n", drawSeconds,
                (long long)seeker.position(), frameSeconds * 1000.0);
    std::printf("  cold seek to 2:20 is %.1f %% of drawing there (%.1f frames)\n", 100.0 * coldSeconds / drawSeconds,
                coldSeconds / frameSeconds);

    double worstPlayed = 0;
    for (int64_t ms : kPlayedBeforeMs) {
        const Timed t = seek(seeker, clock, ms);
        report("played before", ms, t, frameSeconds);
        worstPlayed = std::max(worstPlayed, t.seconds / frameSeconds);
    }
    double worstWrap = 0;
    for (const Range& range : kRanges) {
        seeker.keepPictureAt(range.fromMs);
        seek(seeker, clock, range.fromMs);
        drawUntil(seeker, timeline, range.toMs);  // the range played through once
        for (int w = 0; w < kWraps; ++w) {
            const Timed t = seek(seeker, clock, range.fromMs);
            report(w == 0 ? "loop range wraps to" : "", range.fromMs, t, frameSeconds);
            worstWrap = std::max(worstWrap, t.seconds / frameSeconds);
            drawUntil(seeker, timeline, range.toMs);
        }
    }
    std::printf("  worst: a place played before %.1f frames, a wrap %.1f frames\n", worstPlayed, worstWrap);
    std::printf("  kept: %.1f MB (%zu states, %zu pictures)\n", double(seeker.keptBytes()) / (1 << 20),
                seeker.checkpointCount(), seeker.pictureCount());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path here = fs::read_symlink("/proc/self/exe").parent_path();
    const std::string data = (here / "data").string();
    std::vector<std::pair<int, int>> sizes;
    for (int i = 1; i < argc; ++i) {
        int w = 0, h = 0;
        if (std::sscanf(argv[i], "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0) {
            std::fprintf(stderr, "usage: seek [WIDTHxHEIGHT ...]\n");
            return 2;
        }
        sizes.emplace_back(w, h);
    }
    if (sizes.empty()) sizes = {{640, 360}, {1280, 720}};
    for (const auto& [w, h] : sizes)
        if (!measure(w, h, data)) return 1;
    return 0;
}
