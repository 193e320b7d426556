// async_readback.h: reads finished frames back one frame late, through two pixel buffers.
//
//   AsyncReadback readback(width, height, [&](const unsigned char* rgba, std::string* error) {
//       return video->writeFrame(rgba, error);            // bottom row first
//   });
//   for (...) { draw(); if (!readback.start(target, &error)) ...; present(); }
//   if (!readback.flush(&error)) ...;                     // the last frame
//
// start() asks GL to copy the target's colour buffer into one pixel-pack buffer
// (GL_STREAM_READ) and returns at once; then it maps the other buffer, which holds the frame
// started one call earlier, hands it to the sink and unmaps it. So fetching frame n overlaps
// drawing frame n + 1, and the sink sees every frame, in order, once. The pixels are RGBA8,
// bottom row first, tightly packed (width * 4 bytes a row), valid only during the call.
//
// GL state is as found afterwards: the pixel-pack buffer binding, the pack row length,
// skips and alignment, and the read framebuffer binding. Needs GL 2.1 (pixel buffer
// objects) and a current context for its whole life; the target's size must match.
//
// Not here: flipping rows, converting formats, more than one frame in flight.
#pragma once

#include "runtime/display/render_target.h"

#include <functional>
#include <string>

namespace glimmerq {

class AsyncReadback {
public:
    // Gets one whole frame; false (with a reason) stops the run: start/flush return it.
    using Sink = std::function<bool(const unsigned char* rgbaBottomUp, std::string* error)>;

    AsyncReadback(int width, int height, Sink sink);
    ~AsyncReadback();  // deletes the buffers; a frame not flushed is dropped

    // Starts reading the target's current picture and hands out the previous one, if any.
    bool start(const RenderTarget& target, std::string* error);
    // Hands out the frame still in flight, if any.
    bool flush(std::string* error);

    AsyncReadback(const AsyncReadback&) = delete;
    AsyncReadback& operator=(const AsyncReadback&) = delete;

private:
    bool deliver(unsigned buffer, std::string* error);

    int width_, height_;
    Sink sink_;
    unsigned buffers_[2] = {0, 0};
    int next_ = 0;           // the buffer the next start() reads into
    bool inFlight_ = false;  // the other buffer holds a frame not yet handed out
};

}  // namespace glimmerq
