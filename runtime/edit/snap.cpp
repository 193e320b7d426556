#include "runtime/edit/snap.h"

#include <algorithm>

namespace glimmerq {

namespace {

// The grid before the first tempo line: the show's own 120 beats a minute, 4 beats a bar.
constexpr double kFallbackBeatsPerMinute = 120.0;
constexpr int kFallbackBeatsPerBar = 4;

TempoMap withFallback(const TempoMap& tempo) {
    TempoMap grids;
    grids.add(0, kFallbackBeatsPerMinute, kFallbackBeatsPerBar);
    for (const TempoGrid& grid : tempo.grids()) grids.add(grid.startMs, grid.beatsPerMinute, grid.beatsPerBar, grid.line);
    return grids;
}

}  // namespace

int64_t snapTime(const TempoMap& tempo, int64_t timeMs, Snap snap) {
    if (snap == Snap::Free || timeMs <= 0) return std::max<int64_t>(timeMs, 0);
    return withFallback(tempo).nearestBeat(timeMs, snap == Snap::Bar);
}

int64_t stepOnGrid(const TempoMap& tempo, int64_t timeMs, int steps, Snap unit) {
    if (unit == Snap::Free) return std::max<int64_t>(timeMs + steps, 0);
    const TempoMap grids = withFallback(tempo);
    int64_t t = std::max<int64_t>(timeMs, 0);
    for (int step = 0; step < std::abs(steps) && !(steps < 0 && t == 0); ++step) {
        const TempoGrid* grid = grids.gridAt(t);
        const int beats = unit == Snap::Bar && grid ? grid->beatsPerBar : 1;
        for (int beat = 0; beat < beats && !(steps < 0 && t == 0); ++beat)
            t = steps > 0 ? grids.beatAfter(t) : std::max<int64_t>(grids.beatBefore(t), 0);
    }
    return t;
}

}  // namespace glimmerq
