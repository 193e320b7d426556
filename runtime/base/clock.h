// clock.h: the runtime's one clock. Monotonic, in microseconds since an arbitrary origin.
// Tests replace it with a clock they step by hand.
#pragma once

#include <chrono>
#include <cstdint>

namespace glimmerq {

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t nowMicros() = 0;
    // Waits until the clock reaches the given time (returns at once when it has passed).
    virtual void sleepUntil(int64_t micros) = 0;
};

class SteadyClock : public Clock {
public:
    int64_t nowMicros() override {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void sleepUntil(int64_t micros) override;
};

// Frame n of a fixed-step run starts round(n * 1000 / fps) milliseconds after the start.
inline int64_t fixedStepMs(int64_t frame, int fps) { return (frame * 2000 / fps + 1) / 2; }

}  // namespace glimmerq
