#include "runtime/outputs/window_output.h"

#include "runtime/gl/gl_state_guard.h"

namespace glimmerq {

bool WindowOutput::write(const Frame& frame, std::string*) {
    if (overlay_) overlay_->frameShown(frame);
    show(*frame.target);
    return true;
}

void WindowOutput::hold(const RenderTarget& target) { show(target); }

void WindowOutput::show(const RenderTarget& target) {
    window_.showPicture(target);
    showOver();
    window_.swap();
}

// The effects draw into the render target, bound as the draw framebuffer; the overlay
// draws into the window's and the render target is bound again for the next frame.
void WindowOutput::showOver() {
    if (!overlay_) return;
    GlStateGuard guard(GlStateGuard::kFramebuffers);
    window_.bindForDrawingOver();
    int width = 0, height = 0;
    window_.drawableSize(&width, &height);
    overlay_->drawOver(width, height);
}

}  // namespace glimmerq
