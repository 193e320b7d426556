// gl_context.h: an OpenGL (compatibility profile) context without any window or display.
//
//   std::string error;
//   auto context = HeadlessGlContext::create(&error);   // current on this thread on success
//
// Uses EGL's surfaceless platform on Mesa (llvmpipe when there is no GPU), so it needs no
// X server. There is no default framebuffer to draw into: pair it with a RenderTarget.
#pragma once

#include <memory>
#include <string>

namespace glimmerq {

class HeadlessGlContext {
public:
    static std::unique_ptr<HeadlessGlContext> create(std::string* error);
    ~HeadlessGlContext();

    HeadlessGlContext(const HeadlessGlContext&) = delete;
    HeadlessGlContext& operator=(const HeadlessGlContext&) = delete;

private:
    HeadlessGlContext() = default;
    void* display_ = nullptr;
    void* context_ = nullptr;
};

// Checks that the current context has what the runtime itself needs (framebuffer objects
// and blits). False with a one-line reason.
bool checkRuntimeGlSupport(std::string* error);

}  // namespace glimmerq
