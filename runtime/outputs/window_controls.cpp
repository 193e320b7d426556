#include "runtime/outputs/window_controls.h"

namespace glimmerq {

Commands WindowControls::poll() {
    const Window::Input input = window_.pollEvents();
    Commands commands;
    commands.quit = input.quit;
    commands.togglePause = input.togglePause;
    commands.seekMs = input.seekMs;
    commands.restart = input.restart;
    commands.rangeStartHere = input.rangeStart;
    commands.rangeEndHere = input.rangeEnd;
    commands.clearRange = input.clearRange;
    commands.reload = input.reload || (reloadRequested_ && reloadRequested_());
    if (input.screenshot && screenshots_) screenshots_->request();
    return commands;
}

}  // namespace glimmerq
