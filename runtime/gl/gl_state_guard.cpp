#include "runtime/gl/gl_state_guard.h"

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

GlStateGuard::GlStateGuard(unsigned parts) : parts_(parts) {
    const bool drawing = parts_ & kDrawingState;
    const bool pixelStore = drawing || (parts_ & kPixelStore);
    if (drawing) {
        program_ = getInt(GL_CURRENT_PROGRAM);
        arrayBuffer_ = getInt(GL_ARRAY_BUFFER_BINDING);
        elementBuffer_ = getInt(GL_ELEMENT_ARRAY_BUFFER_BINDING);
        activeTexture_ = getInt(GL_ACTIVE_TEXTURE);
        clientActiveTexture_ = getInt(GL_CLIENT_ACTIVE_TEXTURE);
        glActiveTexture(GL_TEXTURE0);
        glClientActiveTexture(GL_TEXTURE0);
        matrices_.read();
        // Holds the texture bindings, the clear colour, the masks and the enables too.
        glPushAttrib(GL_ALL_ATTRIB_BITS);
    } else {
        if (parts_ & kTextureBinding) texture2D_ = getInt(GL_TEXTURE_BINDING_2D);
        if (parts_ & kClearAndMasks) {
            scissorTest_ = glIsEnabled(GL_SCISSOR_TEST);
            glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour_.data());
            glGetBooleanv(GL_COLOR_WRITEMASK, colourMask_.data());
            glGetDoublev(GL_DEPTH_CLEAR_VALUE, &clearDepth_);
            glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask_);
        }
    }
    // No attribute group holds it: saved apart, for either way of saving.
    if (parts_ & (kClearAndMasks | kDrawingState)) rasterizerDiscard_ = glIsEnabled(GL_RASTERIZER_DISCARD);
    if (pixelStore) {
        packBuffer_ = getInt(GL_PIXEL_PACK_BUFFER_BINDING);
        unpackBuffer_ = getInt(GL_PIXEL_UNPACK_BUFFER_BINDING);
        glPushClientAttrib(drawing ? GL_CLIENT_ALL_ATTRIB_BITS : GL_CLIENT_PIXEL_STORE_BIT);
    }
    if (drawing) {
        glUseProgram(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
    if (pixelStore) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    }
    if (parts_ & kFramebuffers) {
        drawFramebuffer_ = getInt(GL_DRAW_FRAMEBUFFER_BINDING);
        readFramebuffer_ = getInt(GL_READ_FRAMEBUFFER_BINDING);
    }
}

void TopMatrices::read() {
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_TEXTURE_MATRIX, texture.data());
}

void TopMatrices::load() const {
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(texture.data());
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelview.data());
    glMatrixMode(GLenum(mode));
}

GlStateGuard::~GlStateGuard() {
    const bool drawing = parts_ & kDrawingState;
    const bool pixelStore = drawing || (parts_ & kPixelStore);
    if (parts_ & kFramebuffers) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFramebuffer_));
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFramebuffer_));
    }
    if (pixelStore) {
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, GLuint(unpackBuffer_));
        glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(packBuffer_));
    }
    if (drawing) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, GLuint(elementBuffer_));
        glBindBuffer(GL_ARRAY_BUFFER, GLuint(arrayBuffer_));
        glUseProgram(GLuint(program_));
    }
    // The client attributes hold the array pointers, which refer to the buffer bound when
    // they were set: they come back after the buffers, as they were saved.
    if (pixelStore) glPopClientAttrib();
    if (drawing) {
        glPopAttrib();
        glActiveTexture(GL_TEXTURE0);
        matrices_.load();
        glClientActiveTexture(GLenum(clientActiveTexture_));
        glActiveTexture(GLenum(activeTexture_));
    } else {
        if (parts_ & kClearAndMasks) {
            glColorMask(colourMask_[0], colourMask_[1], colourMask_[2], colourMask_[3]);
            glClearColor(clearColour_[0], clearColour_[1], clearColour_[2], clearColour_[3]);
            glDepthMask(depthMask_);
            glClearDepth(clearDepth_);
            if (scissorTest_) glEnable(GL_SCISSOR_TEST);
            else glDisable(GL_SCISSOR_TEST);
        }
        if (parts_ & kTextureBinding) glBindTexture(GL_TEXTURE_2D, GLuint(texture2D_));
    }
    if (parts_ & (kClearAndMasks | kDrawingState)) {
        if (rasterizerDiscard_) glEnable(GL_RASTERIZER_DISCARD);
        else glDisable(GL_RASTERIZER_DISCARD);
    }
}

}  // namespace glimmerq
