// The overlay's view of the show: zoomed about a time, panned, kept inside the show, and
// paged along with the playhead.
#include "runtime/overlay/timeline_zoom.h"

#include <gtest/gtest.h>

using namespace glimmerq;

TEST(TimelineZoom, ZoomsAboutATimePansAndStaysInsideTheShow) {
    enum class Op { Zoom, Pan, All, End, Follow };
    struct Step {
        Op op;
        int64_t at;   // Zoom: the anchor; Pan: the delta; End: the end; Follow: the playhead's new time
        float factor; // Zoom
        int64_t fromMs, toMs;
    };
    const Step steps[] = {
        {Op::End, 152000, 0, 0, 152000},           // the whole show at first
        {Op::Zoom, 76000, 2.0f, 38000, 114000},     // the anchor keeps its place, the middle
        {Op::Zoom, 38000, 2.0f, 38000, 76000},      // at the left edge
        {Op::Pan, -50000, 0, 0, 38000},             // not before 0
        {Op::Pan, 1000000, 0, 114000, 152000},      // not past the end
        {Op::Zoom, 152000, 1e6f, 151750, 152000},   // no narrower than the shortest span
        {Op::Follow, 152001, 0, 151750, 152000},    // the playhead cannot page past the end
        {Op::Zoom, 100000, 1e-6f, 0, 152000},       // no wider than the show
        {Op::Zoom, 0, 19.0f, 0, 8000},
        {Op::Follow, 10000, 0, 9200, 17200},        // ran past the right edge: next page
        {Op::End, 160000, 0, 9200, 17200},          // a reload keeps a zoomed view
        {Op::Pan, 200000, 0, 152000, 160000},
        {Op::End, 100000, 0, 92000, 100000},        // a shorter show keeps the view inside
        {Op::All, 0, 0, 0, 100000},
        {Op::End, 90000, 0, 0, 90000},              // the whole show stays the whole show
    };
    TimelineZoom zoom;
    int64_t playhead = 0;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        switch (s.op) {
            case Op::Zoom: zoom.zoomAt(s.at, s.factor); break;
            case Op::Pan: zoom.panBy(s.at); break;
            case Op::All: zoom.showAll(); break;
            case Op::End: zoom.setEnd(s.at); break;
            case Op::Follow:
                // The playhead was in view the frame before.
                playhead = (zoom.view().fromMs + zoom.view().toMs) / 2;
                zoom.follow(playhead, s.at);
                break;
        }
        EXPECT_EQ(zoom.view().fromMs, s.fromMs) << "step " << i;
        EXPECT_EQ(zoom.view().toMs, s.toMs) << "step " << i;
    }
}

TEST(TimelineZoom, OneBarCanFillTheWidthAndAPlayheadOutOfViewIsNotFollowed) {
    TimelineZoom zoom;
    zoom.setEnd(152000);
    zoom.zoomAt(60000, 1000.0f);
    EXPECT_LE(zoom.spanMs(), 2000) << "a bar of 120 BPM in 4/4";
    const TimeRange before = zoom.view();
    zoom.follow(before.toMs + 5000, before.toMs + 5020);  // the maker panned away from it
    EXPECT_EQ(zoom.view().fromMs, before.fromMs);
}
