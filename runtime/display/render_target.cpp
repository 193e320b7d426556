#include "runtime/display/render_target.h"

#include "runtime/gl/gl_state_guard.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace glimmerq {

RenderTarget::~RenderTarget() {
    if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
    if (colorBuffer_) glDeleteRenderbuffers(1, &colorBuffer_);
    if (depthBuffer_) glDeleteRenderbuffers(1, &depthBuffer_);
}

bool RenderTarget::create(int width, int height, std::string* error) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width <= 0 || height <= 0 || width > maxSize || height > maxSize) {
        *error = "render size " + std::to_string(width) + "x" + std::to_string(height) +
                 " is outside what OpenGL offers (1 to " + std::to_string(maxSize) + ")";
        return false;
    }
    width_ = width;
    height_ = height;
    glGenRenderbuffers(1, &colorBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenRenderbuffers(1, &depthBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        *error = "the offscreen framebuffer is incomplete";
        return false;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    return true;
}

void RenderTarget::bind() const { glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_); }

namespace {

// Clearing and copying put back the framebuffers, clear values and masks they touch; the
// scissor test would clip both, and a discarding rasterizer drops clears.
constexpr unsigned kClearAndCopyState = GlStateGuard::kFramebuffers | GlStateGuard::kClearAndMasks;

void prepareClearAndCopy() {
    glDisable(GL_RASTERIZER_DISCARD);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
}

}  // namespace

void RenderTarget::clearToStart() const {
    GlStateGuard guard(kClearAndCopyState);
    prepareClearAndCopy();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RenderTarget::copyFrom(const RenderTarget& other) const {
    GlStateGuard guard(kClearAndCopyState);
    prepareClearAndCopy();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, other.framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
    glBlitFramebuffer(0, 0, other.width_, other.height_, 0, 0, width_, height_,
                      GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
}

void RenderTarget::readPixels(std::vector<unsigned char>* rgba) const {
    const size_t rowBytes = size_t(width_) * 4;
    rgba->resize(rowBytes * height_);
    {
        GlStateGuard guard(GlStateGuard::kFramebuffers | GlStateGuard::kPixelStore);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba->data());
    }
    // GL's rows run bottom-up; flip so the first row is the top of the picture.
    std::vector<unsigned char> row(rowBytes);
    for (int y = 0; y < height_ / 2; ++y) {
        unsigned char* a = rgba->data() + size_t(y) * rowBytes;
        unsigned char* b = rgba->data() + size_t(height_ - 1 - y) * rowBytes;
        std::memcpy(row.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, row.data(), rowBytes);
    }
}

}  // namespace glimmerq
