// tempo_map.h: musical time, bars and beats, over the script's timeline in milliseconds.
//
//   TempoMap tempo;
//   tempo.add(0, 120.0, 4, /*line*/ 3);      // `0 tempo 120 4`: bar 1 starts at 0 ms
//   tempo.timeOf(9, 3);                      // 17000: bar 9, beat 3, against the latest grid
//   auto where = tempo.at(17250);            // {bar 9, beat 3, 0.5 of the beat}
//
// Each `tempo` line starts a grid at its time: its first beat is a downbeat. Bars count
// from 1 and carry on across grids: a grid that starts on a downbeat of the grid before
// keeps that bar's number; one that starts inside a bar cuts that bar short and begins the
// next number. Beat times are rounded to whole milliseconds from the grid's start, so they
// never drift. Before the first grid there are no bars. It only computes: the script's
// parser checks the numbers (tempo above 0, beats in 1..beatsPerBar) before calling.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace glimmerq {

struct TempoGrid {
    int64_t startMs = 0;        // timeline time of its first downbeat
    int firstBar = 1;           // that downbeat's bar number
    double beatsPerMinute = 0;  // > 0
    int beatsPerBar = 4;        // >= 1
    int line = 0;               // the script line that set it
};

struct BarBeat {
    int bar = 0;              // from 1
    int beat = 0;             // 1..beatsPerBar
    double beatFraction = 0;  // [0, 1): how far into the beat
};

// One beat of the ruler: its place and time.
struct BeatMark {
    int bar = 0;
    int beat = 0;       // 1 = a downbeat
    int64_t timeMs = 0;
};

class TempoMap {
public:
    // Adds a grid from startMs on; startMs is not before the latest grid's start.
    void add(int64_t startMs, double beatsPerMinute, int beatsPerBar, int line = 0);

    bool empty() const { return grids_.empty(); }
    const std::vector<TempoGrid>& grids() const { return grids_; }
    const TempoGrid& latest() const { return grids_.back(); }

    // Time of bar.beat (beat from 1) in the latest grid, which must exist; the bar may run
    // past where a later grid would start (the parser knows of no later one yet).
    int64_t timeOf(int bar, int beat) const { return timeIn(grids_.back(), bar, beat); }

    // The bar and beat playing at a time; nullopt before the first grid.
    std::optional<BarBeat> at(int64_t timeMs) const;

    // Every beat in [fromMs, toMs], in time order, each in the grid that holds it.
    std::vector<BeatMark> beatsBetween(int64_t fromMs, int64_t toMs) const;

    // The downbeat or beat nearest to a time (for snapping a click); timeMs itself before
    // the first grid.
    int64_t nearestBeat(int64_t timeMs, bool downbeatsOnly) const;

    // The first beat after a time and the last beat before it (for stepping beat by beat);
    // before the first grid, beatAfter is the first grid's start and beatBefore timeMs itself.
    int64_t beatAfter(int64_t timeMs) const;
    int64_t beatBefore(int64_t timeMs) const;

    // The grid that holds a time, or null before the first.
    const TempoGrid* gridAt(int64_t timeMs) const;

private:
    static int64_t timeIn(const TempoGrid& grid, int bar, int beat);
    static int64_t beatTime(const TempoGrid& grid, int64_t beatIndex);  // from the grid's start

    std::vector<TempoGrid> grids_;  // by start time
};

}  // namespace glimmerq
