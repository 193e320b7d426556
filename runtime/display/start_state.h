// start_state.h: the GL state and the picture playing starts from, kept to go back to.
//
//   StartState start(target);   // right before the first frame: remembers GL's state as it is
//   ...                         // frames drawn; the effects leave their state behind
//   start.restore();            // GL's state as it was, the picture black, depth cleared
//
// The server attributes (glPushAttrib(GL_ALL_ATTRIB_BITS): current colour, lights, fog,
// viewport, enables, texture bindings, ...) stay saved on the bottom of the attribute stack
// for the object's life, which takes one of its levels; the matrix mode and the top of the
// modelview, projection and texture stacks are kept beside them. Not kept: textures' and
// display lists' contents, which the effects make in Setup and UploadTextures.
#pragma once

#include "runtime/display/render_target.h"
#include "runtime/gl/gl_state_guard.h"

#include <array>

namespace glimmerq {

class StartState {
public:
    explicit StartState(const RenderTarget& target);
    ~StartState();
    void restore() const;

    StartState(const StartState&) = delete;
    StartState& operator=(const StartState&) = delete;

private:
    const RenderTarget& target_;
    TopMatrices matrices_;
};

}  // namespace glimmerq
