// timeline_layout.h: where each part of the timeline chart lies, in ImGui's coordinates, and
// what lies under a point (for the mouse).
//
//   TimelineLayout layout(chart, {x, y}, width, zoom.view(), scale);
//   float x = layout.xOf(17000);                 // a time on the axis
//   TimelineHit hit = layout.hitAt(mouse);       // a run's body or edge, a tick, the ruler, a row
//   auto layer = layout.layerAt(mouse.y);        // where a run dragged there would go
//
// From top to bottom: the section bands, the ruler, the music, then one row per layer (its
// lanes, and a strip for its ticks when it has any). Every height is the base one times the
// scale, so the overlay can shrink the chart to the window (overlay_scale.h). It computes
// only: drawing is timeline_view.h's.
#pragma once

#include "runtime/overlay/timeline_chart.h"

#include <imgui.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace glimmerq {

struct TimeRange {
    int64_t fromMs = 0;
    int64_t toMs = 0;  // > fromMs
};

// What lies under a point of the chart.
struct TimelineHit {
    enum class Part {
        Nothing,   // outside the axis' rows and ruler
        Ruler,
        RunBody,   // inside a run's box: moves the run
        RunStart,  // its left edge: moves the start only
        RunStop,   // its right edge: moves the stop only
        Tick,
        Row,       // a row's empty space
    };
    Part part = Part::Nothing;
    const ChartBox* box = nullptr;    // RunBody, RunStart, RunStop
    const ChartTick* tick = nullptr;  // Tick
    int row = -1;                     // index into the chart's rows, when over one
};

class TimelineLayout {
public:
    // Base sizes in ImGui's pixels at scale 1.
    static constexpr float kGutterWidth = 76.0f;      // left of the time axis: row names
    static constexpr float kSectionHeight = 20.0f;
    static constexpr float kRulerHeight = 36.0f;
    static constexpr float kWaveHeight = 52.0f;
    static constexpr float kLaneHeight = 24.0f;
    static constexpr float kTickStripHeight = 16.0f;  // under the lanes of a row with ticks
    static constexpr float kRowGap = 3.0f;
    static constexpr float kEdgeGrab = 5.0f;          // pixels inside a box's edge that grab the edge
    static constexpr float kTickGrab = 4.0f;          // pixels either side of a tick that grab it

    // topLeft and width in ImGui's pixels; view = the times at the axis' two ends.
    TimelineLayout(const TimelineChart& chart, ImVec2 topLeft, float width, TimeRange view, float scale = 1.0f);

    // The height the chart takes (rows and lanes decide it).
    static float heightFor(const TimelineChart& chart, float scale = 1.0f);
    float height() const { return height_; }
    float scale() const { return scale_; }

    float xOf(int64_t timeMs) const;
    int64_t timeAt(float x) const;  // unclamped
    TimeRange view() const { return view_; }

    ImVec2 topLeft() const { return topLeft_; }
    float width() const { return width_; }
    float gutterWidth() const { return kGutterWidth * scale_; }
    float sectionHeight() const { return kSectionHeight * scale_; }
    float rulerHeight() const { return kRulerHeight * scale_; }
    float waveHeight() const { return kWaveHeight * scale_; }
    float laneHeight() const { return kLaneHeight * scale_; }
    float tickStripHeight() const { return kTickStripHeight * scale_; }
    float axisLeft() const { return topLeft_.x + gutterWidth(); }
    float axisRight() const { return topLeft_.x + width_; }
    float sectionsTop() const { return topLeft_.y; }
    float rulerTop() const { return topLeft_.y + sectionHeight(); }
    float waveTop() const { return rulerTop() + rulerHeight(); }
    float rowsTop() const { return waveTop() + waveHeight(); }
    float bottom() const { return topLeft_.y + height_; }
    // Top of a row's lane, and of its tick strip (rows with ticks; -1: ticks of no run).
    float laneTop(size_t row, int lane) const;
    float tickStripTop(int row) const;
    // A row's whole band, lanes and tick strip, from top to bottom.
    float rowTop(size_t row) const { return rowTops_[row]; }
    float rowBottom(size_t row) const { return rowBottoms_[row]; }

    bool inRuler(ImVec2 point) const;
    const ChartBox* boxAt(ImVec2 point) const;
    const ChartTick* tickAt(ImVec2 point, float slackPixels) const;
    // Ticks come first (they sit in their own strips), then a box's edges, its body, the row.
    TimelineHit hitAt(ImVec2 point) const;
    // The layer a run dropped at y goes to: the row's there, one past the last row's below
    // the rows; nullopt above them.
    std::optional<int> layerAt(float y) const;

private:
    const TimelineChart& chart_;
    ImVec2 topLeft_;
    float width_;
    TimeRange view_;
    float scale_;
    std::vector<float> rowTops_;
    std::vector<float> rowBottoms_;
    std::vector<float> tickStripTops_;  // per row; rows without ticks have none (-1)
    float height_ = 0.0f;
};

}  // namespace glimmerq
