#include "runtime/overlay/timeline_layout.h"

#include <algorithm>
#include <cmath>

namespace glimmerq {

TimelineLayout::TimelineLayout(const TimelineChart& chart, ImVec2 topLeft, float width, TimeRange view, float scale)
    : chart_(chart), topLeft_(topLeft), width_(width), view_(view), scale_(scale) {
    if (view_.toMs <= view_.fromMs) view_.toMs = view_.fromMs + 1;
    std::vector<bool> ticked(chart.rows.size() + 1, false);  // the last: ticks of no run
    for (const ChartTick& tick : chart.ticks) ticked[tick.row >= 0 ? size_t(tick.row) : chart.rows.size()] = true;
    const float gap = kRowGap * scale_;
    float y = rowsTop();
    if (ticked.back()) y += tickStripHeight() + gap;
    for (size_t r = 0; r < chart.rows.size(); ++r) {
        rowTops_.push_back(y);
        y += float(chart.rows[r].lanes) * laneHeight();
        tickStripTops_.push_back(ticked[r] ? y : -1.0f);
        y += ticked[r] ? tickStripHeight() : 0.0f;
        rowBottoms_.push_back(y);
        y += gap;
    }
    height_ = y - topLeft_.y;
}

float TimelineLayout::heightFor(const TimelineChart& chart, float scale) {
    return TimelineLayout(chart, ImVec2(0, 0), 1.0f, {0, 1}, scale).height();
}

float TimelineLayout::xOf(int64_t timeMs) const {
    return axisLeft() + float(double(timeMs - view_.fromMs) / double(view_.toMs - view_.fromMs)) * (axisRight() - axisLeft());
}

int64_t TimelineLayout::timeAt(float x) const {
    const double share = double(x - axisLeft()) / double(std::max(1.0f, axisRight() - axisLeft()));
    return view_.fromMs + int64_t(std::llround(share * double(view_.toMs - view_.fromMs)));
}

float TimelineLayout::laneTop(size_t row, int lane) const { return rowTops_[row] + float(lane) * laneHeight(); }

float TimelineLayout::tickStripTop(int row) const {
    if (row < 0) return rowsTop();
    return tickStripTops_[size_t(row)] >= 0.0f ? tickStripTops_[size_t(row)] : laneTop(size_t(row), 0);
}

bool TimelineLayout::inRuler(ImVec2 p) const {
    return p.x >= axisLeft() && p.x <= axisRight() && p.y >= rulerTop() && p.y < rulerTop() + rulerHeight();
}

const ChartBox* TimelineLayout::boxAt(ImVec2 p) const {
    for (size_t r = 0; r < chart_.rows.size(); ++r) {
        for (const ChartBox& box : chart_.rows[r].boxes) {
            const float top = laneTop(r, box.lane);
            const float right = std::max(xOf(box.endMs), xOf(box.startMs) + 2.0f);
            if (p.y >= top && p.y < top + laneHeight() && p.x >= xOf(box.startMs) && p.x < right && p.x >= axisLeft())
                return &box;
        }
    }
    return nullptr;
}

const ChartTick* TimelineLayout::tickAt(ImVec2 p, float slack) const {
    const ChartTick* nearest = nullptr;
    float best = slack;
    for (const ChartTick& tick : chart_.ticks) {
        const float top = tickStripTop(tick.row);
        const float dx = std::fabs(p.x - xOf(tick.timeMs));
        if (p.y >= top && p.y < top + tickStripHeight() && dx <= best) {
            best = dx;
            nearest = &tick;
        }
    }
    return nearest;
}

TimelineHit TimelineLayout::hitAt(ImVec2 p) const {
    TimelineHit hit;
    if (p.x < axisLeft() || p.x > axisRight() || p.y < topLeft_.y || p.y >= bottom()) return hit;
    if (inRuler(p)) {
        hit.part = TimelineHit::Part::Ruler;
        return hit;
    }
    for (size_t r = 0; r < rowTops_.size(); ++r)
        if (p.y >= rowTops_[r] && p.y < rowBottoms_[r]) hit.row = int(r);
    if (const ChartTick* tick = tickAt(p, kTickGrab * scale_)) {
        hit.part = TimelineHit::Part::Tick;
        hit.tick = tick;
        return hit;
    }
    if (const ChartBox* box = boxAt(p)) {
        hit.box = box;
        const float left = xOf(box->startMs), right = xOf(box->endMs);
        // A box too narrow for two edges and a body is all body: it moves whole.
        const float edge = kEdgeGrab * scale_;
        const bool edges = right - left >= 3.0f * edge;
        if (edges && p.x < left + edge)
            hit.part = TimelineHit::Part::RunStart;
        else if (edges && p.x >= right - edge)
            hit.part = TimelineHit::Part::RunStop;
        else
            hit.part = TimelineHit::Part::RunBody;
        return hit;
    }
    if (hit.row >= 0) hit.part = TimelineHit::Part::Row;
    return hit;
}

std::optional<int> TimelineLayout::layerAt(float y) const {
    if (chart_.rows.empty() || y < rowTops_.front()) return std::nullopt;
    for (size_t r = 0; r < rowTops_.size(); ++r)
        if (y < rowBottoms_[r] + kRowGap * scale_) return chart_.rows[r].layer;
    return chart_.rows.back().layer + 1;
}

}  // namespace glimmerq
