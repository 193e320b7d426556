// overlay_panel.h: the overlay's two ImGui windows: the timeline along the bottom and a
// small panel of where the show is.
//
//   overlay.beginFrame(width, height);
//   TimelineRequest r = drawTimelineWindow(chart, &waveforms, view, marks);  // mouse requests
//   drawOverlayPanel(chart, {nowMs, fps, lastFrameMs, paused});
//   overlay.endFrame();
//
// The timeline window spans the display's width at its bottom, as high as the chart needs;
// the panel sits at the upper left: time, bar.beat, section, frames per second, the last
// frame's time, and the running effects in drawing order. Both are see-through and never
// take the keyboard.
#pragma once

#include "runtime/overlay/timeline_view.h"

namespace glimmerq {

struct PanelInfo {
    int64_t timeMs = 0;
    double framesPerSecond = 0;  // measured over the last second or so
    double lastFrameMs = 0;      // the last frame's drawing time
    bool paused = false;
};

TimelineRequest drawTimelineWindow(const TimelineChart& chart, const Waveforms* waveforms, TimeRange view,
                                   const TimelineMarks& marks);

void drawOverlayPanel(const TimelineChart& chart, const PanelInfo& info);

// "32.2" (bar 32, beat 2) at a time, or "-" before the first tempo line.
std::string barBeatText(const TempoMap& tempo, int64_t timeMs);

}  // namespace glimmerq
