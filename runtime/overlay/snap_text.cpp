#include "runtime/overlay/snap_text.h"

#include "runtime/base/show_time.h"

namespace glimmerq {

Snap snapFor(bool barModifier, bool alt) {
    if (alt) return Snap::Free;
    return barModifier ? Snap::Bar : Snap::Beat;
}

std::string snappedTimeText(const TempoMap& tempo, int64_t timeMs) {
    const std::string clock = formatShowTime(timeMs, ShowTimeStyle::Short);
    const auto where = tempo.at(timeMs);
    if (!where) return clock;
    std::string text = std::to_string(where->bar) + "." + std::to_string(where->beat);
    if (tempo.nearestBeat(timeMs, false) != timeMs) {
        const int64_t beatStart = stepOnGrid(tempo, timeMs, -1, Snap::Beat);  // off the grid: the beat before
        text += "+" + std::to_string(timeMs - beatStart) + "ms";
    }
    return text + "  " + clock;
}

}  // namespace glimmerq
