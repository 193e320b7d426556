#include "runtime/script/tempo_map.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace glimmerq {

namespace {

constexpr double kMsPerMinute = 60000.0;
constexpr size_t kMaxBeatMarks = size_t(1) << 20;  // a ruler never needs more

}  // namespace

int64_t TempoMap::beatTime(const TempoGrid& grid, int64_t beatIndex) {
    return grid.startMs + std::llround(double(beatIndex) * kMsPerMinute / grid.beatsPerMinute);
}

int64_t TempoMap::timeIn(const TempoGrid& grid, int bar, int beat) {
    return beatTime(grid, int64_t(bar - grid.firstBar) * grid.beatsPerBar + (beat - 1));
}

const TempoGrid* TempoMap::gridAt(int64_t timeMs) const {
    const auto after = std::upper_bound(grids_.begin(), grids_.end(), timeMs,
                                        [](int64_t t, const TempoGrid& g) { return t < g.startMs; });
    return after == grids_.begin() ? nullptr : &*(after - 1);
}

namespace {

// The beat that holds timeMs (>= the grid's start), counted from the grid's first beat.
// Starts from the floating-point estimate and settles on the rounded beat times, so a time
// read back from timeOf lands on its own beat.
template <typename BeatTime>
int64_t beatIndexAt(const TempoGrid& grid, int64_t timeMs, BeatTime beatTime) {
    int64_t k = int64_t(std::floor(double(timeMs - grid.startMs) * grid.beatsPerMinute / kMsPerMinute));
    k = std::max<int64_t>(k, 0);
    while (beatTime(grid, k + 1) <= timeMs) ++k;
    while (k > 0 && beatTime(grid, k) > timeMs) --k;
    return k;
}

}  // namespace

void TempoMap::add(int64_t startMs, double beatsPerMinute, int beatsPerBar, int line) {
    TempoGrid grid{startMs, 1, beatsPerMinute, beatsPerBar, line};
    if (!grids_.empty()) {
        const TempoGrid& before = grids_.back();
        const int64_t k = beatIndexAt(before, startMs, beatTime);
        const int bar = before.firstBar + int(k / before.beatsPerBar);
        const bool onDownbeat = k % before.beatsPerBar == 0 && beatTime(before, k) == startMs;
        grid.firstBar = onDownbeat ? bar : bar + 1;
    }
    grids_.push_back(grid);
}

std::optional<BarBeat> TempoMap::at(int64_t timeMs) const {
    const TempoGrid* grid = gridAt(timeMs);
    if (!grid) return std::nullopt;
    const int64_t k = beatIndexAt(*grid, timeMs, beatTime);
    const int64_t begin = beatTime(*grid, k), end = beatTime(*grid, k + 1);
    BarBeat where;
    where.bar = grid->firstBar + int(k / grid->beatsPerBar);
    where.beat = int(k % grid->beatsPerBar) + 1;
    where.beatFraction = end > begin ? double(timeMs - begin) / double(end - begin) : 0.0;
    return where;
}

std::vector<BeatMark> TempoMap::beatsBetween(int64_t fromMs, int64_t toMs) const {
    std::vector<BeatMark> marks;
    for (size_t i = 0; i < grids_.size(); ++i) {
        const TempoGrid& grid = grids_[i];
        // A grid ends where the next begins; that time is the next one's first downbeat.
        const int64_t gridEnd = i + 1 < grids_.size() ? grids_[i + 1].startMs - 1 : std::numeric_limits<int64_t>::max();
        const int64_t low = std::max(fromMs, grid.startMs), high = std::min(toMs, gridEnd);
        if (low > high) continue;
        int64_t k = beatIndexAt(grid, low, beatTime);
        if (beatTime(grid, k) < low) ++k;
        for (int64_t t = beatTime(grid, k); t <= high && marks.size() < kMaxBeatMarks; t = beatTime(grid, ++k))
            marks.push_back({grid.firstBar + int(k / grid.beatsPerBar), int(k % grid.beatsPerBar) + 1, t});
    }
    return marks;
}

int64_t TempoMap::nearestBeat(int64_t timeMs, bool downbeatsOnly) const {
    const TempoGrid* grid = gridAt(timeMs);
    if (!grid) return timeMs;
    const int64_t step = downbeatsOnly ? grid->beatsPerBar : 1;
    int64_t k = beatIndexAt(*grid, timeMs, beatTime);
    k -= k % step;
    int64_t before = beatTime(*grid, k), after = beatTime(*grid, k + step);
    // The next grid's first downbeat may come before this grid's next one.
    const size_t index = size_t(grid - grids_.data());
    if (index + 1 < grids_.size()) after = std::min(after, grids_[index + 1].startMs);
    return timeMs - before <= after - timeMs ? before : after;
}

int64_t TempoMap::beatAfter(int64_t timeMs) const {
    const TempoGrid* grid = gridAt(timeMs);
    if (!grid) return grids_.empty() ? timeMs : grids_.front().startMs;
    const int64_t next = beatTime(*grid, beatIndexAt(*grid, timeMs, beatTime) + 1);
    const size_t index = size_t(grid - grids_.data());
    return index + 1 < grids_.size() ? std::min(next, grids_[index + 1].startMs) : next;
}

int64_t TempoMap::beatBefore(int64_t timeMs) const {
    // The beat that holds the millisecond before is the last one that began before timeMs.
    const TempoGrid* grid = gridAt(timeMs - 1);
    return grid ? beatTime(*grid, beatIndexAt(*grid, timeMs - 1, beatTime)) : timeMs;
}

}  // namespace glimmerq
