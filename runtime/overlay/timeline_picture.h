// timeline_picture.h: the chart of a whole script as a picture, drawn without a window.
//
//   std::string error;
//   if (!writeTimelinePicture("chart.png", chart, &waveforms, &error)) ...;  // "chart.png: ..."
//
// kPictureWidth pixels wide, as high as the rows need: a title line (the script, its
// length and tempo) over the timeline of timeline_view.h from 0 to the end, on a dark
// background. It makes its own headless GL context (gl_context.h) and offscreen target,
// draws with the overlay renderer and writes the PNG; a failure leaves no file.
#pragma once

#include "runtime/overlay/timeline_chart.h"
#include "runtime/overlay/waveform.h"

#include <string>
#include <vector>

namespace glimmerq {

class OverlayRenderer;

constexpr int kPictureWidth = 1600;  // pixels

// On the current GL context: draws into a target of its own and returns the pixels (RGBA,
// top row first); the bound framebuffer and GL state are put back.
bool drawTimelinePicture(OverlayRenderer& overlay, const TimelineChart& chart, const Waveforms* waveforms,
                         std::vector<unsigned char>* rgba, int* width, int* height, std::string* error);

bool writeTimelinePicture(const std::string& path, const TimelineChart& chart, const Waveforms* waveforms,
                          std::string* error);

}  // namespace glimmerq
