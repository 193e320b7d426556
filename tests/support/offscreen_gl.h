// offscreen_gl.h: for tests that open windows with SDL's offscreen driver.
//
// Mesa's GL driver keeps a few allocations for as long as it is loaded, and libEGL unloads it
// when the last window closes, leaving them where the leak checker can neither reach nor name
// them. One GL library load held for the whole test process keeps the driver (and those
// allocations) in place, as in the program, which closes its window only once.
#pragma once

#include <SDL.h>

#include <cstdlib>

namespace glimmerq::testing {

inline void holdOffscreenGlLibrary() {
    static const bool held = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        const bool loaded = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && SDL_GL_LoadLibrary(nullptr) == 0;
        unsetenv("SDL_VIDEODRIVER");
        return loaded;
    }();
    (void)held;
}

}  // namespace glimmerq::testing
