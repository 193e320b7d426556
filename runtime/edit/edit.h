// edit.h: one gesture's change to the script, as a value, and what came of it.
//
//   model.apply(Edit::move({42, 57}, +2000));          // two items 2 s later
//   model.apply(Edit::move({42}, 0, /*layerDelta*/ 1)); // a run one row up
//   model.apply(Edit::nudge({42}, -1, Snap::Bar));      // a bar earlier on the tempo grid
//   model.apply(Edit::moveStop(42, 61000));             // the run starting on line 42 stops at 1:01
//   model.apply(Edit::addRun("CKREUZ", 60000, 8000));   // a new run on the lowest free layer
//
// Items are named by their line in the current text: a run by its start line (its stop line
// names it too), a parameter tick (int, float, string) by its own line. A run's start and
// stop move together. Times are milliseconds of the show; snapping them is the caller's
// choice (snap.h), except for nudges, which step on the grid. An edit never makes an
// invalid script: a time before 0 or past the end is clamped (Move, MoveStart, MoveStop) or
// refused (Nudge, Duplicate, AddRun); a stop before its start is clamped to 1 ms after it;
// two runs of one effect that would overlap are refused. Refusals say why in one sentence.
#pragma once

#include "runtime/edit/snap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace glimmerq {

struct Edit {
    enum class Kind {
        Move,       // items by deltaMs, runs also by layerDelta
        Nudge,      // items by gridSteps beats or bars of the tempo grid
        MoveStart,  // one run's start to toMs
        MoveStop,   // one run's stop to toMs (a run that lasts to the end gets a stop line)
        Delete,     // items: a run's start and stop lines, a tick's line
        Duplicate,  // items, copied to begin where the selection ends, on the same layers
        AddRun,     // a run of effect from toMs lasting lengthMs, on the lowest free layer
    };

    Kind kind = Kind::Move;
    std::vector<int> lines;    // the items
    int64_t deltaMs = 0;       // Move
    int layerDelta = 0;        // Move
    int gridSteps = 0;         // Nudge: + later, - earlier
    Snap unit = Snap::Beat;    // Nudge: Beat or Bar
    int64_t toMs = 0;          // MoveStart, MoveStop, AddRun
    int64_t lengthMs = 0;      // AddRun
    std::string effect;        // AddRun: a registered name

    static Edit move(std::vector<int> lines, int64_t deltaMs, int layerDelta = 0);
    static Edit nudge(std::vector<int> lines, int gridSteps, Snap unit);
    static Edit moveStart(int line, int64_t toMs);
    static Edit moveStop(int line, int64_t toMs);
    static Edit remove(std::vector<int> lines);
    static Edit duplicate(std::vector<int> lines);
    static Edit addRun(std::string effect, int64_t atMs, int64_t lengthMs);
};

struct EditOutcome {
    bool changed = false;    // false: refused, or nothing to change
    std::string message;     // why it was refused, or what was clamped; empty when done as asked
    // The items after the edit, as lines of the new text (a selection follows them): the
    // moved items, the copies of a Duplicate, the new run of an AddRun; empty after a Delete.
    std::vector<int> lines;
};

}  // namespace glimmerq
