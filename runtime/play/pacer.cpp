#include "runtime/play/pacer.h"

namespace glimmerq {

namespace {
constexpr int64_t kMicrosPerSecond = 1000000;
}

Pacer::Pacer(Clock& clock, int framesPerSecond) : clock_(clock), framesPerSecond_(framesPerSecond) {}

void Pacer::wait() {
    if (framesPerSecond_ <= 0) return;
    const int64_t now = clock_.nowMicros();
    const auto slot = [&](int64_t n) { return originMicros_ + n * kMicrosPerSecond / framesPerSecond_; };
    if (started_) {
        ++frame_;
        if (now > slot(frame_ + 1)) started_ = false;  // more than a frame behind
    }
    if (!started_) {
        started_ = true;
        originMicros_ = now;
        frame_ = 0;
        return;
    }
    clock_.sleepUntil(slot(frame_));
}

}  // namespace glimmerq
