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

#include "runtime/overlay/timeline_layout.h"
#include "runtime/overlay/waveform.h"

#include <imgui.h>

#include <cstdint>
#include <optional>

namespace glimmerq {

class TimelineSelection;

struct TimelineMarks {
    std::optional<int64_t> playheadMs;
    std::optional<TimeRange> loop;                  // a marked range, shown as a band
    const TimelineSelection* selection = nullptr;  // its runs and ticks outlined
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
// tooltip ("CKREUZ 0:28-0:40" over "demoflow:42"), and a section band its whole title.
TimelineRequest timelineInput(const TimelineLayout& layout, const TimelineChart& chart);

}  // namespace glimmerq
