#include "runtime/base/clock.h"

#include <thread>

namespace glimmerq {

void SteadyClock::sleepUntil(int64_t micros) {
    const int64_t wait = micros - nowMicros();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::microseconds(wait));
}

}  // namespace glimmerq
