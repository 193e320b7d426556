#include "runtime/display/start_state.h"

#include <GL/gl.h>

namespace glimmerq {

StartState::StartState(const RenderTarget& target) : target_(target) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    matrices_.read();
}

StartState::~StartState() { glPopAttrib(); }

void StartState::restore() const {
    // Popping puts the attributes back; pushing again keeps them for the next time.
    glPopAttrib();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    matrices_.load();
    target_.clearToStart();
}

}  // namespace glimmerq
