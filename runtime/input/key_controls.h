// key_controls.h: the keys of key_map.h as the player's commands, and as the window's own
// actions.
//
//   KeyControls keys;
//   keys.onAction(KeyAction::Screenshot, [&] { screenshots.request(); });
//   keys.onAction(KeyAction::ToggleFullscreen, [&] { window.toggleFullscreen(); });
//   keys.onAction(KeyAction::ToggleOverlay, [&] { overlay.toggle(); });
//   input.addHandler(&keys);          // window_input.h hands it the events
//   player.addControls(&keys);        // the commands, once a poll
//
// Pause, seeks, restart, reload, the loop range's marks and quit become Commands; the rest
// (S, F11, Tab) run at once what onAction gave them, and do nothing without it. Space
// pressed twice between two polls changes nothing. It takes only the key presses it acts
// on and lets everything else through.
#pragma once

#include "runtime/input/input_handler.h"
#include "runtime/input/key_map.h"
#include "runtime/play/player.h"

#include <functional>
#include <map>

namespace glimmerq {

class KeyControls : public InputHandler, public Controls {
public:
    void onAction(KeyAction action, std::function<void()> run) { runs_[action] = std::move(run); }

    bool handle(const WindowEvent& event) override;
    Commands poll() override;

private:
    Commands pending_;
    std::map<KeyAction, std::function<void()>> runs_;
};

}  // namespace glimmerq
