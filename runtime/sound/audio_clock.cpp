#include "runtime/sound/audio_clock.h"

#include <algorithm>
#include <cassert>

namespace glimmerq {

namespace {

constexpr double kMicrosPerSecond = 1e6;

}  // namespace

AudioClock::AudioClock(int sampleRate, int periodFrames) : rate_(sampleRate), periodFrames_(periodFrames) {
    assert(sampleRate > 0 && periodFrames > 0 && "an audio clock needs a rate and a period");
    restart(0);
}

void AudioClock::restart(int64_t nowMicros) {
    heardAtReport_ = 0.0;
    reachAtReport_ = periodFrames_;
    reportMicros_ = nowMicros;
    lastFrames_ = 0.0;
    lastMicros_ = nowMicros;
}

void AudioClock::report(int64_t consumedFrames, int64_t latencyFrames, int64_t nowMicros) {
    heardAtReport_ = double(std::max<int64_t>(consumedFrames - std::max<int64_t>(latencyFrames, 0), 0));
    reachAtReport_ = std::max(double(consumedFrames), heardAtReport_ + periodFrames_);
    reportMicros_ = nowMicros;
}

double AudioClock::estimateFrames(int64_t nowMicros) const {
    const double sinceReport = double(std::max<int64_t>(nowMicros - reportMicros_, 0)) * rate_ / kMicrosPerSecond;
    return std::min(heardAtReport_ + sinceReport, reachAtReport_);
}

int64_t AudioClock::positionMicros(int64_t nowMicros) {
    const double target = estimateFrames(nowMicros);
    const double wallFrames = double(std::max<int64_t>(nowMicros - lastMicros_, 0)) * rate_ / kMicrosPerSecond;
    double next = lastFrames_;
    if (target - lastFrames_ > double(kResyncMicros) * rate_ / kMicrosPerSecond)
        next = target;
    else if (target > lastFrames_)
        next = std::min(target, lastFrames_ + wallFrames * kCatchUpSpeed);
    lastFrames_ = next;
    lastMicros_ = std::max(lastMicros_, nowMicros);
    return int64_t(next * kMicrosPerSecond / rate_);
}

}  // namespace glimmerq
