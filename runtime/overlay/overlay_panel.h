// overlay_panel.h: the overlay's two ImGui windows: the timeline along the bottom and a
// small panel of where the show is.
//
//   overlay.beginFrame(width, height);
//   TimelineWindowInput in = drawTimelineWindow(chart, &waveforms, marks, state);  // mouse requests
//   drawOverlayPanel(chart, {nowMs, fps, lastFrameMs, paused}, state.scale);
//   overlay.endFrame();
//
// The timeline window spans the display's width at its bottom, as high as the chart needs at
// the overlay's scale (overlay_scale.h): one line for what the maker must know (a script
// error, a refused edit, an archive that cannot be edited), the chart, and a legend of the
// ticks. The panel sits at the upper left: time, bar.beat, section, frames per second, the
// last frame's time, and the running effects in drawing order. Both are see-through and
// never take the keyboard. The wheel zooms (with Ctrl) and pans the chart, and so does a
// drag with the middle button; a right click on a row, or the gutter's "+" button, opens
// the list of effects to add a run of at the playhead.
#pragma once

#include "runtime/overlay/timeline_editing.h"
#include "runtime/overlay/timeline_selection.h"
#include "runtime/overlay/timeline_view.h"
#include "runtime/overlay/timeline_zoom.h"

#include <string>
#include <vector>

namespace glimmerq {

struct PanelInfo {
    int64_t timeMs = 0;
    double framesPerSecond = 0;  // measured over the last second or so
    double lastFrameMs = 0;      // the last frame's drawing time
    bool paused = false;
    std::string seeking;         // "seeking to 1:44 … 40 %" while a long seek is under way
};

// The status line over the chart.
struct StatusLine {
    enum class Kind { None, Error, Note };
    Kind kind = Kind::None;
    std::string text;          // one line: "mydata/demoflow:15:9: unknown verb 'strat'"
    std::string action;        // a button after it ("unpack to glimmerQ-data/"); empty: none
};

// What the timeline window reads and keeps from frame to frame.
struct TimelineWindowState {
    TimelineZoom zoom;
    TimelineSelection selection;
    TimelineEditing editing;
    StatusLine status;
    std::vector<std::string> effectNames;  // for the list of effects to add
    bool editable = false;                 // edits can be written (a data directory)
    // Where the chart was drawn last (set by drawTimelineWindow): the panel's scale, and what
    // rebuilds its layout outside the frame.
    float scale = 1.0f;
    ImVec2 chartTopLeft{0.0f, 0.0f};
    float chartWidth = 0.0f;
};

// What the mouse asked for in the timeline window this frame.
struct TimelineWindowInput {
    TimelineRequest ruler;
    EditRequest edit;
    bool actionPressed = false;  // the status line's button
};

TimelineWindowInput drawTimelineWindow(const TimelineChart& chart, const Waveforms* waveforms,
                                       const TimelineMarks& marks, TimelineWindowState* state);

void drawOverlayPanel(const TimelineChart& chart, const PanelInfo& info, float scale);

// "32.2" (bar 32, beat 2) at a time, or "-" before the first tempo line.
std::string barBeatText(const TempoMap& tempo, int64_t timeMs);

// "ticks: M METHOD, S SCISSOR": what the short labels of the chart's ticks stand for.
std::string tickLegend(const TimelineChart& chart);

}  // namespace glimmerq
