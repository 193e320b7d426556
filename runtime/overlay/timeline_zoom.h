// timeline_zoom.h: which stretch of the show the overlay's timeline shows: zoomed about a
// time, panned, and paged along with the playhead.
//
//   TimelineZoom zoom;
//   zoom.setEnd(chart.endMs);          // the whole show at first; a reload keeps the view
//   zoom.zoomAt(mouseMs, 1.25f);       // Ctrl+wheel: mouseMs stays under the mouse
//   zoom.panBy(-zoom.spanMs() / 10);   // wheel, drag, keys
//   zoom.follow(lastMs, nowMs);        // the playhead ran off the right edge: next page
//   TimelineLayout layout(chart, topLeft, width, zoom.view());
//
// The view always lies within [0, end] and spans at least kMinSpanMs, short enough for one
// bar of any usual tempo to fill the width. It computes only; the keys and the wheel are
// read by the overlay.
#pragma once

#include "runtime/overlay/timeline_view.h"

#include <cstdint>

namespace glimmerq {

class TimelineZoom {
public:
    static constexpr int64_t kMinSpanMs = 250;
    static constexpr float kFollowLead = 0.1f;  // share of the view left before the playhead when paging

    // A new end (a reload): the whole show when the view showed all of it, else the same
    // view, kept inside.
    void setEnd(int64_t endMs);
    TimeRange view() const { return view_; }
    int64_t spanMs() const { return view_.toMs - view_.fromMs; }
    bool showsAll() const { return view_.fromMs == 0 && view_.toMs == endMs_; }

    // factor > 1 zooms in, < 1 out; anchorMs keeps its place on the axis.
    void zoomAt(int64_t anchorMs, float factor);
    void panBy(int64_t deltaMs);
    void showAll();
    // A playhead that was in view and ran past its right edge turns the page.
    void follow(int64_t previousMs, int64_t nowMs);

private:
    void place(double fromMs, double spanMs);  // clamped into [0, end]

    int64_t endMs_ = 1;
    TimeRange view_{0, 1};
};

}  // namespace glimmerq
