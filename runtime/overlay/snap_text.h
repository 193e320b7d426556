// snap_text.h: the snapping a drag asks for, and the snapped time as the overlay shows it
// while dragging.
//
//   const Snap snap = snapFor(shiftHeld, altHeld);              // beats, bars, or free
//   const int64_t at = snapTime(chart.tempo, mouseMs, snap);    // runtime/edit/snap.h
//   std::string shown = snappedTimeText(chart.tempo, at);       // "9.3  0:17"
//
// Not here: the grid arithmetic (runtime/edit/snap.h).
#pragma once

#include "runtime/edit/snap.h"

#include <cstdint>
#include <string>

namespace glimmerq {

// Beats by default, bars with the bar modifier (Shift), free to the millisecond with Alt.
Snap snapFor(bool barModifier, bool alt);

// "9.3  0:17" on a beat; off the grid the beat it falls in and how far into it
// ("9.3+120ms  0:17.120"); before the first tempo line only m:ss.
std::string snappedTimeText(const TempoMap& tempo, int64_t timeMs);

}  // namespace glimmerq
