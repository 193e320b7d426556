#include "runtime/display/message_box.h"

#include <SDL.h>

namespace glimmerq {

void showMessageBox(const std::string& caption, const std::string& text, bool error) {
    const Uint32 flags = error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr);
}

}  // namespace glimmerq
