// input_handler.h: something that acts on the window's events (the keys, the overlay, an
// editor), handed each event in turn by WindowInput (window_input.h).
//
//   class MyHandler : public InputHandler {
//       bool handle(const WindowEvent& event) override;   // true: it is mine alone
//   };
//   input.addHandler(&myHandler);
//
// A handler that takes an event keeps it from the handlers after it. Take only what is
// really yours: a key taken while it means nothing to you is a key lost to the show.
#pragma once

#include "runtime/display/window_event.h"

namespace glimmerq {

class InputHandler {
public:
    virtual ~InputHandler() = default;
    virtual bool handle(const WindowEvent& event) = 0;
};

}  // namespace glimmerq
