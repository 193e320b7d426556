// show_time.h: show times of rendered frames for the offline tools, as the program counts them.
//
//   show_time::ofFrame(startMs, frame, fps);   // the show time frame `frame` of a render shows
//
// ofFrame is the show time of a frame of a fixed-step render begun at a start time
// (`glimmerq --render DIR --start TIME --fps N`), with the runtime's own rounding. Reading
// and writing times is runtime/base/show_time.h, shared with the program.
// Not here: looping renders (a render that wraps to the show's beginning starts again at 0).
#pragma once

#include "runtime/base/clock.h"

#include <cstdint>

namespace show_time {

// Show time of frame `frame` (0 = the first written) of a render begun at startMs.
inline int64_t ofFrame(int64_t startMs, int64_t frame, int fps) {
    return startMs + glimmerq::fixedStepMs(frame, fps);
}

}  // namespace show_time
