#include "runtime/display/async_readback.h"

#include "runtime/gl/gl_state_guard.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cassert>
#include <cstdio>

namespace glimmerq {

// The state a read depends on: the framebuffer it reads, the pack buffer and the pack modes.
constexpr unsigned kReadState = GlStateGuard::kFramebuffers | GlStateGuard::kPixelStore;

AsyncReadback::AsyncReadback(int width, int height, Sink sink)
    : width_(width), height_(height), sink_(std::move(sink)) {
    assert(width > 0 && height > 0 && sink_ && "AsyncReadback needs a size and a sink");
    GlStateGuard saved(kReadState);
    glGenBuffers(2, buffers_);
    for (GLuint buffer : buffers_) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(width) * height * 4, nullptr, GL_STREAM_READ);
    }
}

AsyncReadback::~AsyncReadback() { glDeleteBuffers(2, buffers_); }

bool AsyncReadback::start(const RenderTarget& target, std::string* error) {
    assert(target.width() == width_ && target.height() == height_ && "AsyncReadback: the target's size changed");
    {
        GlStateGuard saved(kReadState);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer());
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[next_]);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glPixelStorei(GL_PACK_SKIP_ROWS, 0);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);  // into the buffer
    }
    const int previous = 1 - next_;
    const bool hadFrame = inFlight_;
    next_ = previous;
    inFlight_ = true;
    return !hadFrame || deliver(buffers_[previous], error);
}

bool AsyncReadback::flush(std::string* error) {
    if (!inFlight_) return true;
    inFlight_ = false;
    return deliver(buffers_[1 - next_], error);
}

bool AsyncReadback::deliver(unsigned buffer, std::string* error) {
    GlStateGuard saved(kReadState);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
    const void* pixels = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
    if (!pixels) {
        char message[96];
        std::snprintf(message, sizeof message, "mapping a frame read back failed (GL error 0x%04X)",
                      unsigned(glGetError()));
        *error = message;
        return false;
    }
    const bool ok = sink_(static_cast<const unsigned char*>(pixels), error);
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    return ok;
}

}  // namespace glimmerq
