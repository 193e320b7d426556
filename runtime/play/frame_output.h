// frame_output.h: where a drawn frame goes (a window, PNG files, a video, statistics).
//
//   for (FrameOutput* output : outputs) if (!output->write(frame, &error)) ...;  // each frame
//   output->finish(&error);     // the run ended: flush what is pending
//   output->abort();            // the run failed or was interrupted: drop what is partial
//   output->hold(target);       // paused: nothing is drawn; show the held picture again
//
// Outputs see the frame after every layer has drawn and before the next one starts; they
// leave every piece of GL state an effect can see as they found it.
#pragma once

#include "runtime/display/render_target.h"

#include <cstdint>
#include <string>

namespace glimmerq {

struct Frame {
    int64_t index = 0;         // frames written since the run began (file names count these)
    int64_t timeMs = 0;        // the timeline time it shows
    int64_t drawStartMicros = 0;  // when its drawing began, on the run's clock
    // How long the drawing took, in microseconds on the run's clock: until the GL finished it
    // when an output times the drawing, else until its commands were issued.
    int64_t drawMicros = 0;
    std::string effects;       // the running effects in drawing order, "CLEAR+CKREUZ"
    const RenderTarget* target = nullptr;
};

class FrameOutput {
public:
    virtual ~FrameOutput() = default;
    // False with a one-line reason stops the run.
    virtual bool write(const Frame& frame, std::string* error) = 0;
    virtual bool finish(std::string* /*error*/) { return true; }
    virtual void abort() {}
    // True: the player waits for the GL to finish each frame before any output sees it, so
    // that Frame::drawMicros holds the drawing alone, not what other outputs do with it.
    virtual bool timesDrawing() const { return false; }
    // Paused: the picture is the last frame's (a window may have been uncovered or resized).
    virtual void hold(const RenderTarget& /*target*/) {}
};

}  // namespace glimmerq
