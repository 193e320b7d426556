// timeline_view.h: the timeline chart drawn with Dear ImGui, and what a mouse does on it.
//
//   TimelineLayout layout(chart, {x, y}, width, {0, chart.endMs});  // where everything goes
//   drawTimeline(ImGui::GetWindowDrawList(), layout, chart, &waveforms, marks);
//   TimelineRequest r = timelineInput(layout, chart);   // a window's frame: seek, range, tooltip
//   if (r.seekMs) ...;
//
// From top to bottom: the sections as labelled bands; the ruler, bars and beats above
// (from the script's tempo lines) and m:ss below; the music cues with the track's
// waveform; one row per layer, its runs as boxes labelled with their names, parameter
// events as ticks on them. The playhead and a marked range lie over everything. Each
// effect keeps one colour, from its place in the registered names. Times outside the view
// are clipped. It draws into any ImDrawList and calls no GL itself (overlay_renderer.h).
#pragma once

#include "runtime/overlay/timeline_chart.h"
#include "runtime/overlay/waveform.h"

#include <imgui.h>

#include <cstdint>
#include <optional>

namespace glimmerq {


struct TimeRange {
    int64_t fromMs = 0;
    int64_t toMs = 0;  // > fromMs
};

struct TimelineMarks {
    std::optional<int64_t> playheadMs;
    std::optional<TimeRange> loop;  // a marked range, shown as a band
};

class TimelineLayout {
public:
    static constexpr float kGutterWidth = 76.0f;      // pixels left of the time axis: row names
    static constexpr float kSectionHeight = 20.0f;
    static constexpr float kRulerHeight = 36.0f;
    static constexpr float kWaveHeight = 52.0f;
    static constexpr float kLaneHeight = 24.0f;
    static constexpr float kTickStripHeight = 16.0f;  // under the lanes of a row with ticks
    static constexpr float kRowGap = 3.0f;

    // topLeft and width in ImGui's pixels; view = the times at the axis' two ends.
    TimelineLayout(const TimelineChart& chart, ImVec2 topLeft, float width, TimeRange view);

    // The height the chart takes at this width (rows and lanes decide it).
    static float heightFor(const TimelineChart& chart);
    float height() const { return height_; }

    float xOf(int64_t timeMs) const;
    int64_t timeAt(float x) const;       // unclamped
    TimeRange view() const { return view_; }

    ImVec2 topLeft() const { return topLeft_; }
    float width() const { return width_; }
    float axisLeft() const { return topLeft_.x + kGutterWidth; }
    float axisRight() const { return topLeft_.x + width_; }
    float sectionsTop() const { return topLeft_.y; }
    float rulerTop() const { return topLeft_.y + kSectionHeight; }
    float waveTop() const { return rulerTop() + kRulerHeight; }
    float rowsTop() const { return waveTop() + kWaveHeight; }
    // Top of a row's lane, and of its tick strip (rows with ticks; -1: ticks of no run).
    float laneTop(size_t row, int lane) const;
    float tickStripTop(int row) const;

    bool inRuler(ImVec2 point) const;
    const ChartBox* boxAt(ImVec2 point) const;
    const ChartTick* tickAt(ImVec2 point, float slackPixels) const;

private:
    const TimelineChart& chart_;
    ImVec2 topLeft_;
    float width_;
    TimeRange view_;
    std::vector<float> rowTops_;
    std::vector<float> tickStripTops_;  // per row; rows without ticks have none (-1)
    float height_ = 0.0f;
};

// Draws the whole chart; waveforms may be null, or lack a cue's track (not decoded).
void drawTimeline(ImDrawList* list, const TimelineLayout& layout, const TimelineChart& chart,
                  const Waveforms* waveforms, const TimelineMarks& marks);

// What the mouse asked for in this frame.
struct TimelineRequest {
    std::optional<int64_t> seekMs;       // a click or drag on the ruler
    std::optional<TimeRange> markRange;  // a Shift-drag on the ruler, when released
    std::optional<TimeRange> dragRange;  // the same while it is being dragged, to show
    bool clearRange = false;             // a right click on the ruler
};

// Reads ImGui's mouse (between beginFrame and endFrame): on the ruler, a click or drag
// seeks to the nearest beat (Alt: to the exact time); Shift-drag marks a range from beat
// to beat; a right click clears it. Hovering a box or tick shows its script line in a
// tooltip ("CKREUZ 0:28-0:40" over "demoflow:42").
TimelineRequest timelineInput(const TimelineLayout& layout, const TimelineChart& chart);

}  // namespace glimmerq
