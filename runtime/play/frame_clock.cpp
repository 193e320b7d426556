#include "runtime/play/frame_clock.h"

#include <algorithm>

namespace glimmerq {

int64_t fixedStepFrameCount(int64_t startMs, int64_t endMs, int fps) {
    const int64_t durationMs = endMs - startMs;
    if (durationMs <= 0) return 0;
    // The estimate is within a frame of the answer; the clock's own rounding settles it.
    int64_t frames = std::max<int64_t>(0, durationMs * fps / 1000 - 1);
    while (fixedStepMs(frames, fps) < durationMs) ++frames;
    return frames;
}

int64_t FixedStepClock::nextFrameMs() {
    if (!paused_) currentMs_ = startMs_ + fixedStepMs(frame_++, fps_);
    return currentMs_;
}

void FixedStepClock::restart(int64_t timelineMs) {
    startMs_ = currentMs_ = timelineMs;
    frame_ = 0;
}

WallClock::WallClock(Clock& source) : source_(source), originMicros_(source.nowMicros()) {}

int64_t WallClock::readMs() const { return startMs_ + (source_.nowMicros() - originMicros_) / 1000; }

int64_t WallClock::nextFrameMs() {
    if (!paused_) currentMs_ = std::max(currentMs_, readMs());
    return currentMs_;
}

void WallClock::restart(int64_t timelineMs) {
    originMicros_ = source_.nowMicros();
    startMs_ = currentMs_ = timelineMs;
}

void WallClock::setPaused(bool paused) {
    if (paused == paused_) return;
    if (paused) currentMs_ = std::max(currentMs_, readMs());
    paused_ = paused;
    if (!paused) restart(currentMs_);
}

FollowingClock::FollowingClock(Clock& source, TimeSource& follow) : source_(source), follow_(follow), wall_(source) {}

int64_t FollowingClock::nextFrameMs() {
    if (paused_) return wall_.nextFrameMs();
    const std::optional<int64_t> followed = follow_.timelineMs(source_.nowMicros());
    if (!followed) return wall_.nextFrameMs();
    // Only forward: a source that lags the picture holds it until the source catches up.
    const int64_t timeMs = std::max(wall_.currentMs(), *followed);
    wall_.restart(timeMs);
    return timeMs;
}

void FollowingClock::restart(int64_t timelineMs) { wall_.restart(timelineMs); }

void FollowingClock::setPaused(bool paused) {
    paused_ = paused;
    wall_.setPaused(paused);
}

}  // namespace glimmerq
