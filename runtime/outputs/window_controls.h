// window_controls.h: the window's keys as the player's commands.
//
//   WindowControls controls(window, &screenshots);
//   controls.setReloadRequest(watcher);   // optional: a watched folder asks for reloads too
//   player.setControls(&controls);
//
// Esc or closing the window quits, Space pauses, Left/Right seek (Shift: further), Home
// restarts, R reloads, S asks the screenshots for a picture, [ and ] mark the loop range at
// the playhead, Backspace clears it. F11 and Alt+Enter are the window's own business (full
// screen), Tab the overlay's. Not here: what the commands do (player.h).
#pragma once

#include "runtime/display/window.h"
#include "runtime/outputs/screenshots.h"
#include "runtime/play/player.h"

#include <functional>

namespace glimmerq {

class WindowControls : public Controls {
public:
    // screenshots may be null (S does nothing).
    WindowControls(Window& window, Screenshots* screenshots) : window_(window), screenshots_(screenshots) {}

    // Asked at every poll; true adds a reload to the commands.
    void setReloadRequest(std::function<bool()> requested) { reloadRequested_ = std::move(requested); }

    Commands poll() override;

private:
    Window& window_;
    Screenshots* screenshots_;
    std::function<bool()> reloadRequested_;
};

}  // namespace glimmerq
