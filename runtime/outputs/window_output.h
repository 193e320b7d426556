// window_output.h: shows every frame in the window.
//
//   WindowOutput output(window);
//   player.addOutput(&output);          // after the outputs that read the frame back
//
//   output.setOverlay(&overlay);        // optional: drawn over the picture (picture_overlay.h)
//
// Each frame, and the held picture while paused, is shown in two steps: the picture into
// the window's back buffer, then the swap. The overlay is drawn between the two, into the
// window's default framebuffer only.
// Not here: the keys (runtime/input/key_controls.h), the title (window_title.h), screenshots
// (screenshots.h).
#pragma once

#include "runtime/display/window.h"
#include "runtime/outputs/picture_overlay.h"
#include "runtime/play/frame_output.h"

namespace glimmerq {

class WindowOutput : public FrameOutput {
public:
    explicit WindowOutput(Window& window) : window_(window) {}

    bool write(const Frame& frame, std::string* error) override;
    void hold(const RenderTarget& target) override;
    // null: nothing over the picture.
    void setOverlay(PictureOverlay* overlay) { overlay_ = overlay; }

private:
    void show(const RenderTarget& target);
    // Draws over the picture, in the window's default framebuffer, before the swap.
    void showOver();

    Window& window_;
    PictureOverlay* overlay_ = nullptr;
};

}  // namespace glimmerq
