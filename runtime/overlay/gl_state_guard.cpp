#include "runtime/overlay/gl_state_guard.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace glimmerq {

namespace {

int getInt(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

}  // namespace

GlStateGuard::GlStateGuard() {
    drawFramebuffer_ = getInt(GL_DRAW_FRAMEBUFFER_BINDING);
    readFramebuffer_ = getInt(GL_READ_FRAMEBUFFER_BINDING);
    program_ = getInt(GL_CURRENT_PROGRAM);
    arrayBuffer_ = getInt(GL_ARRAY_BUFFER_BINDING);
    elementBuffer_ = getInt(GL_ELEMENT_ARRAY_BUFFER_BINDING);
    packBuffer_ = getInt(GL_PIXEL_PACK_BUFFER_BINDING);
    unpackBuffer_ = getInt(GL_PIXEL_UNPACK_BUFFER_BINDING);
    activeTexture_ = getInt(GL_ACTIVE_TEXTURE);
    clientActiveTexture_ = getInt(GL_CLIENT_ACTIVE_TEXTURE);
    matrixMode_ = getInt(GL_MATRIX_MODE);
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview_.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection_.data());
    glGetFloatv(GL_TEXTURE_MATRIX, texture_.data());

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glUseProgram(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
}

// In reverse order of saving: the attribute stacks first, then what they do not hold.
GlStateGuard::~GlStateGuard() {
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, GLuint(unpackBuffer_));
    glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(packBuffer_));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, GLuint(elementBuffer_));
    glBindBuffer(GL_ARRAY_BUFFER, GLuint(arrayBuffer_));
    glUseProgram(GLuint(program_));
    // The client attributes hold the array pointers, which refer to the buffer bound
    // when they were set: they come back after the buffers, as they were saved.
    glPopClientAttrib();
    glPopAttrib();

    glActiveTexture(GL_TEXTURE0);
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(texture_.data());
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection_.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelview_.data());
    glMatrixMode(GLenum(matrixMode_));
    glClientActiveTexture(GLenum(clientActiveTexture_));
    glActiveTexture(GLenum(activeTexture_));

    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFramebuffer_));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFramebuffer_));
}

}  // namespace glimmerq
