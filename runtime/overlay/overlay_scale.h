// overlay_scale.h: how large the overlay is drawn in a window of a given size.
//
//   const float scale = overlayScale(io.DisplaySize.y, TimelineLayout::heightFor(chart) + lines, lines);
//   TimelineLayout layout(chart, topLeft, width, view, scale);
//   ImGui::SetWindowFontScale(overlayTextScale(scale));          // never below kMinTextScale
//
// Sizes are in ImGui's units, the window's points (SDL's backend gives the drawable's pixels
// per point to ImGui, so a HiDPI display draws the same sizes sharper). The overlay is made
// for a 720-point-high window and grows and shrinks with the window's height, within
// [kMinScale, kMaxScale]; whatever the window, the timeline covers at most kMaxCover of its
// height, so a small window still shows most of the picture (shrinking further if it must).
// Text shrinks with the rest down to kMinTextScale only, and the lines of text outside the
// chart (status, legend) are counted at that size.
#pragma once

namespace glimmerq {

constexpr float kDesignHeight = 720.0f;  // points: the height the base sizes were made for
constexpr float kMinScale = 0.6f;        // smaller than this, the default font is unreadable
constexpr float kMaxScale = 2.0f;
constexpr float kMaxCover = 0.45f;       // of the height: with the small panel, under half the picture
constexpr float kMinTextScale = 0.7f;    // the default font's 13 pixels at 9: still readable

// naturalHeight: the timeline window's height at scale 1; textLinesHeight: how much of it is
// lines of text outside the chart.
float overlayScale(float displayHeight, float naturalHeight, float textLinesHeight = 0.0f);

// The font's scale for an overlay drawn at `scale`.
float overlayTextScale(float scale);

}  // namespace glimmerq
