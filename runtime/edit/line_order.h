// line_order.h: where the lines of an edited script go, so that times never decrease and
// every line the edit did not retime stays where its maker put it.
//
//   std::vector<PlacedLine> lines = ...;          // the script's lines, new ones anywhere
//   for (size_t index : orderLines(lines)) ...    // the order to write them in
//
// Lines that are not moved keep their order. A moved line stays where it stands when its new
// time still fits between the timed lines around it; else it goes right after the last
// unmoved timed line at or before its time (a stop: before its time, so that a run ending
// where another of its effect begins stops first), beside its neighbour in time and so within
// the section that holds that time; never after the end line. A fresh line (one the edit
// adds) is always placed that way. Lines that land in one place are sorted by time, then by
// their order in the input. It only orders: the caller gives times and writes the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glimmerq {

struct PlacedLine {
    bool timed = false;   // has a time (events, tempo, music, end)
    int64_t timeMs = 0;
    bool moved = false;   // retimed by the edit
    bool fresh = false;   // added by the edit (moved too)
    bool stop = false;    // a stop line
    bool end = false;     // the end line
};

std::vector<size_t> orderLines(const std::vector<PlacedLine>& lines);

}  // namespace glimmerq
