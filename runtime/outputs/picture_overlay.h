// picture_overlay.h: what the window output draws over the picture, for the person at the
// window only (the timeline overlay, runtime/overlay/timeline_overlay.h).
//
//   WindowOutput output(window);
//   output.setOverlay(&overlay);   // each shown frame: frameShown, then drawOver before the swap
//
// drawOver draws into the window's default framebuffer, bound for it, after the picture and
// before the swap: never into the render target, so screenshots, PNG frames and videos,
// which read the render target, never contain it. It leaves every other piece of GL state as
// it found it.
#pragma once

#include "runtime/play/frame_output.h"

namespace glimmerq {

class PictureOverlay {
public:
    virtual ~PictureOverlay() = default;
    // A new frame is about to be shown (not called while a paused picture is held).
    virtual void frameShown(const Frame& /*frame*/) {}
    // width x height: the default framebuffer's pixels.
    virtual void drawOver(int width, int height) = 0;
};

}  // namespace glimmerq
