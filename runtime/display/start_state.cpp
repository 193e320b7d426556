#include "runtime/display/start_state.h"

#include <GL/gl.h>

namespace glimmerq {

StartState::StartState(const RenderTarget& target) : target_(target) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode_);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview_.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection_.data());
    glGetFloatv(GL_TEXTURE_MATRIX, texture_.data());
}

StartState::~StartState() { glPopAttrib(); }

void StartState::restore() const {
    // Popping puts the attributes back; pushing again keeps them for the next time.
    glPopAttrib();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(texture_.data());
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection_.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelview_.data());
    glMatrixMode(GLenum(matrixMode_));
    target_.clearToStart();
}

}  // namespace glimmerq
