#include "runtime/outputs/window_output.h"

namespace glimmerq {

bool WindowOutput::write(const Frame& frame, std::string*) {
    show(*frame.target);
    return true;
}

void WindowOutput::hold(const RenderTarget& target) { show(target); }

void WindowOutput::show(const RenderTarget& target) {
    window_.showPicture(target);
    showOver();
    window_.swap();
}

}  // namespace glimmerq
