#include "runtime/play/frame_fence.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

namespace glimmerq {

namespace {

constexpr GLuint64 kWaitNanos = 1000000000;  // per try; a driver that never signals still ends

void waitAndDelete(void* fence) {
    if (!fence) return;
    GLsync sync = static_cast<GLsync>(fence);
    for (int tries = 0; tries < 10; ++tries) {
        const GLenum result = glClientWaitSync(sync, GL_SYNC_FLUSH_COMMANDS_BIT, kWaitNanos);
        if (result != GL_TIMEOUT_EXPIRED) break;
    }
    glDeleteSync(sync);
}

}  // namespace

FrameFence::~FrameFence() { finishAll(); }

void FrameFence::endFrame() {
    waitAndDelete(previous_);
    previous_ = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
}

void FrameFence::finishAll() {
    waitAndDelete(previous_);
    previous_ = nullptr;
}

}  // namespace glimmerq
