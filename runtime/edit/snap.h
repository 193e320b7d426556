// snap.h: where a dragged or nudged time lands on the tempo lines' grid.
//
//   snapTime(script.tempo, 17230, Snap::Beat);      // 17000: the nearest beat
//   snapTime(script.tempo, 17230, Snap::Bar);       // 18000: the nearest downbeat
//   snapTime(script.tempo, 17230, Snap::Free);      // 17230: to the millisecond
//   stepOnGrid(script.tempo, 17000, +1, Snap::Beat); // 17500: the next beat
//   stepOnGrid(script.tempo, 17000, -1, Snap::Bar);  // 15000: a bar (four beats) earlier
//
// Before the first tempo line (or in a script without one) the grid is 120 beats a minute,
// 4 beats a bar from 0. stepOnGrid counts beats: a bar is as many beats as the bar holds
// where the step begins, so a time keeps its beat in the bar. A time off the grid counts its
// first beat to the next beat in that direction. It stops at 0. It only computes.
#pragma once

#include "runtime/script/tempo_map.h"

#include <cstdint>

namespace glimmerq {

enum class Snap {
    Beat,  // the nearest beat (the default for a drag)
    Bar,   // the nearest downbeat
    Free,  // no snapping: whole milliseconds
};

int64_t snapTime(const TempoMap& tempo, int64_t timeMs, Snap snap);

// steps beats (Snap::Beat) or bars (Snap::Bar) from timeMs; Snap::Free steps by 1 ms.
int64_t stepOnGrid(const TempoMap& tempo, int64_t timeMs, int steps, Snap unit);

}  // namespace glimmerq
