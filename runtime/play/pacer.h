// pacer.h: keeps real-time runs at a frame rate.
//
//   Pacer pacer(clock, 60);     // 0 = no limit
//   pacer.wait();               // before each frame: returns at the frame's slot
//
// The spins and fades of the effects advance once per frame and were made for 60 frames a
// second, so a faster display would play them too fast. Slots follow a fixed schedule (no
// drift); a run that falls more than a frame behind starts a new schedule instead of
// hurrying to catch up.
#pragma once

#include "runtime/base/clock.h"

namespace glimmerq {

class Pacer {
public:
    Pacer(Clock& clock, int framesPerSecond);
    void wait();
    // The next frame starts a new schedule (after a pause, a seek or a reload).
    void reset() { started_ = false; }
    int framesPerSecond() const { return framesPerSecond_; }

private:
    Clock& clock_;
    int framesPerSecond_;
    bool started_ = false;
    int64_t originMicros_ = 0;
    int64_t frame_ = 0;  // slots since originMicros_
};

}  // namespace glimmerq
