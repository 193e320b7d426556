// timeline_selection.h: which runs and ticks the maker has selected on the overlay.
//
//   TimelineSelection selection;
//   selection.click(TimelineSelection::keyOf(box), Modifier::None);  // only that run
//   selection.click(TimelineSelection::keyOf(tick), Modifier::Toggle); // Ctrl: in or out
//   selection.band(chart, 4000, 12000, rows, Modifier::Add);          // a band dragged on empty space
//   if (selection.contains(box)) ...;                                 // drawn highlighted
//   Edit::move(selection.lines(chart), 2000);                         // what an edit names
//   selection.selectLines(newChart, outcome.lines);                   // what the edit left
//
// An item is known by what it is, not by its line: a run by its effect and start, a tick by
// its effect, parameter and time (one effect never has two runs starting at one time: the
// script refuses overlapping runs of an effect). So a selection survives another editor's
// save that renumbers the lines; after the overlay's own edit it follows the lines the edit
// model names.
#pragma once

#include "runtime/overlay/timeline_chart.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace glimmerq {

struct SelectionKey {
    enum class Kind { Run, Tick };
    Kind kind = Kind::Run;
    int effect = -1;
    int64_t timeMs = 0;     // a run's start, a tick's time
    std::string parameter;  // ticks only
    bool operator<(const SelectionKey& o) const {
        return std::tie(kind, effect, timeMs, parameter) < std::tie(o.kind, o.effect, o.timeMs, o.parameter);
    }
    bool operator==(const SelectionKey& o) const { return !(*this < o) && !(o < *this); }
};

class TimelineSelection {
public:
    enum class Modifier {
        None,    // a plain click: only this
        Add,     // Shift: this too
        Toggle,  // Ctrl: in if out, out if in
    };

    static SelectionKey keyOf(const ChartBox& box) { return {SelectionKey::Kind::Run, box.effect, box.startMs, {}}; }
    static SelectionKey keyOf(const ChartTick& tick) {
        return {SelectionKey::Kind::Tick, tick.effect, tick.timeMs, tick.parameter};
    }

    void click(const SelectionKey& key, Modifier modifier);
    // Every run and tick of the rows in [firstRow, lastRow] that meets [fromMs, toMs].
    void band(const TimelineChart& chart, int64_t fromMs, int64_t toMs, int firstRow, int lastRow, Modifier modifier);
    void clear() { keys_.clear(); }
    // Forgets what the chart no longer holds (a run deleted, or changed by hand in the file).
    void keepOnly(const TimelineChart& chart);
    // Selects the items these lines name (a run's start or stop line, a tick's line) alone.
    void selectLines(const TimelineChart& chart, const std::vector<int>& lines);

    bool empty() const { return keys_.empty(); }
    size_t size() const { return keys_.size(); }
    bool contains(const SelectionKey& key) const { return keys_.count(key) != 0; }
    bool contains(const ChartBox& box) const { return contains(keyOf(box)); }
    bool contains(const ChartTick& tick) const { return contains(keyOf(tick)); }
    const std::set<SelectionKey>& keys() const { return keys_; }

    // The selected runs and ticks of a chart, in chart order.
    std::vector<const ChartBox*> boxes(const TimelineChart& chart) const;
    std::vector<const ChartTick*> ticks(const TimelineChart& chart) const;
    // The lines an edit names them by: a run's start line, a tick's line; in file order.
    std::vector<int> lines(const TimelineChart& chart) const;

private:
    std::set<SelectionKey> keys_;
};

}  // namespace glimmerq
