#include "runtime/input/window_input.h"

namespace glimmerq {

Commands WindowInput::poll() {
    Commands commands;
    for (const WindowEvent& event : window_.pollEvents()) {
        if (event.kind == WindowEvent::Kind::Quit) commands.quit = true;
        for (InputHandler* handler : handlers_)
            if (handler->handle(event)) break;
    }
    return commands;
}

}  // namespace glimmerq
