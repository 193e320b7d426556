// stepped_clock.h: a clock that moves only when a test moves it (clock.micros += ...) or when
// someone sleeps until a later time, which it then reaches at once.
#pragma once

#include "runtime/base/clock.h"

#include <algorithm>
#include <cstdint>

namespace glimmerq::testing {

class SteppedClock : public Clock {
public:
    int64_t micros = 0;
    int64_t nowMicros() override { return micros; }
    void sleepUntil(int64_t target) override { micros = std::max(micros, target); }
};

}  // namespace glimmerq::testing
