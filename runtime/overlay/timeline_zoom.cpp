#include "runtime/overlay/timeline_zoom.h"

#include <algorithm>
#include <cmath>

namespace glimmerq {

void TimelineZoom::setEnd(int64_t endMs) {
    const bool all = showsAll();
    endMs_ = std::max<int64_t>(endMs, 1);
    if (all)
        showAll();
    else
        place(double(view_.fromMs), double(spanMs()));
}

void TimelineZoom::place(double fromMs, double spanMs) {
    const double end = double(endMs_);
    spanMs = std::clamp(spanMs, std::min(double(kMinSpanMs), end), end);
    fromMs = std::clamp(fromMs, 0.0, end - spanMs);
    view_.fromMs = int64_t(std::llround(fromMs));
    view_.toMs = std::min<int64_t>(view_.fromMs + std::max<int64_t>(int64_t(std::llround(spanMs)), 1), endMs_);
    if (view_.toMs <= view_.fromMs) view_.fromMs = view_.toMs - 1;
}

void TimelineZoom::zoomAt(int64_t anchorMs, float factor) {
    if (factor <= 0.0f) return;
    const double span = double(spanMs()), newSpan = span / double(factor);
    const double share = span > 0 ? double(anchorMs - view_.fromMs) / span : 0.0;
    place(double(anchorMs) - share * newSpan, newSpan);
}

void TimelineZoom::panBy(int64_t deltaMs) { place(double(view_.fromMs + deltaMs), double(spanMs())); }

void TimelineZoom::showAll() { view_ = {0, endMs_}; }

void TimelineZoom::follow(int64_t previousMs, int64_t nowMs) {
    const bool wasInView = previousMs >= view_.fromMs && previousMs <= view_.toMs;
    if (wasInView && nowMs > view_.toMs)
        place(double(nowMs) - kFollowLead * double(spanMs()), double(spanMs()));
}

}  // namespace glimmerq
