// window_input.h: reads the window's events once a poll and hands each to its handlers in
// order; the first handler that takes an event keeps it from the rest.
//
//   WindowInput input(window);
//   input.addHandler(&overlay);      // first: the mouse over its windows, a text field's keys
//   input.addHandler(&keys);         // then the key map (key_controls.h)
//   player.addControls(&input);      // polled before the handlers' own commands
//   player.addControls(&keys);
//
// Its own commands: quit when the window was closed (or destroyed from outside). It must
// come before the handlers in the player's list of controls, so that what they were handed
// is in the same poll's commands.
// Not here: what a key does (key_map.h), what the mouse does on the overlay.
#pragma once

#include "runtime/display/window.h"
#include "runtime/input/input_handler.h"
#include "runtime/play/player.h"

#include <vector>

namespace glimmerq {

class WindowInput : public Controls {
public:
    explicit WindowInput(Window& window) : window_(window) {}

    void addHandler(InputHandler* handler) { handlers_.push_back(handler); }
    Commands poll() override;

private:
    Window& window_;
    std::vector<InputHandler*> handlers_;
};

}  // namespace glimmerq
