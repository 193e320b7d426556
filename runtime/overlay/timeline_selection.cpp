#include "runtime/overlay/timeline_selection.h"

#include <algorithm>

namespace glimmerq {

void TimelineSelection::click(const SelectionKey& key, Modifier modifier) {
    switch (modifier) {
        case Modifier::None:
            keys_ = {key};
            break;
        case Modifier::Add:
            keys_.insert(key);
            break;
        case Modifier::Toggle:
            if (!keys_.erase(key)) keys_.insert(key);
            break;
    }
}

void TimelineSelection::band(const TimelineChart& chart, int64_t fromMs, int64_t toMs, int firstRow, int lastRow,
                             Modifier modifier) {
    if (fromMs > toMs) std::swap(fromMs, toMs);
    if (firstRow > lastRow) std::swap(firstRow, lastRow);
    std::set<SelectionKey> found;
    for (int r = std::max(firstRow, 0); r <= lastRow && size_t(r) < chart.rows.size(); ++r)
        for (const ChartBox& box : chart.rows[size_t(r)].boxes)
            if (box.startMs <= toMs && box.endMs >= fromMs) found.insert(keyOf(box));
    for (const ChartTick& tick : chart.ticks)
        if (tick.row >= firstRow && tick.row <= lastRow && tick.timeMs >= fromMs && tick.timeMs <= toMs)
            found.insert(keyOf(tick));
    if (modifier == Modifier::None) keys_.clear();
    for (const SelectionKey& key : found) {
        if (modifier == Modifier::Toggle && keys_.erase(key)) continue;
        keys_.insert(key);
    }
}

void TimelineSelection::keepOnly(const TimelineChart& chart) {
    std::set<SelectionKey> kept;
    for (const ChartBox* box : boxes(chart)) kept.insert(keyOf(*box));
    for (const ChartTick* tick : ticks(chart)) kept.insert(keyOf(*tick));
    keys_ = std::move(kept);
}

void TimelineSelection::selectLines(const TimelineChart& chart, const std::vector<int>& lines) {
    const std::set<int> wanted(lines.begin(), lines.end());
    keys_.clear();
    for (const ChartRow& row : chart.rows)
        for (const ChartBox& box : row.boxes)
            if (wanted.count(box.line) || (box.stopLine > 0 && wanted.count(box.stopLine))) keys_.insert(keyOf(box));
    for (const ChartTick& tick : chart.ticks)
        if (wanted.count(tick.line)) keys_.insert(keyOf(tick));
}

std::vector<const ChartBox*> TimelineSelection::boxes(const TimelineChart& chart) const {
    std::vector<const ChartBox*> found;
    for (const ChartRow& row : chart.rows)
        for (const ChartBox& box : row.boxes)
            if (contains(box)) found.push_back(&box);
    return found;
}

std::vector<const ChartTick*> TimelineSelection::ticks(const TimelineChart& chart) const {
    std::vector<const ChartTick*> found;
    for (const ChartTick& tick : chart.ticks)
        if (contains(tick)) found.push_back(&tick);
    return found;
}

std::vector<int> TimelineSelection::lines(const TimelineChart& chart) const {
    std::vector<int> found;
    for (const ChartBox* box : boxes(chart)) found.push_back(box->line);
    for (const ChartTick* tick : ticks(chart)) found.push_back(tick->line);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace glimmerq
