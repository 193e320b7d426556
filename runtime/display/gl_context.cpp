#include "runtime/display/gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>

namespace glimmerq {

std::unique_ptr<HeadlessGlContext> HeadlessGlContext::create(std::string* error) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = EGL_NO_DISPLAY;
    if (getPlatformDisplay)
        display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        *error = "no EGL surfaceless display (is Mesa's libegl-mesa0 installed?)";
        return nullptr;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        *error = "cannot initialise EGL";
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *error = "EGL offers no desktop OpenGL";
        return nullptr;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,    EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,      EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    eglChooseConfig(display, configAttributes, &config, 1, &count);
    // Surfaceless contexts need no config; fall back to none when the platform lists none.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context =
        eglCreateContext(display, count > 0 ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        *error = "cannot create an OpenGL context through EGL";
        return nullptr;
    }
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        eglDestroyContext(display, context);
        *error = "cannot make the EGL context current";
        return nullptr;
    }
    std::unique_ptr<HeadlessGlContext> result(new HeadlessGlContext);
    result->display_ = display;
    result->context_ = context;
    return result;
}

// The display stays initialised for the life of the process: terminating it unloads the
// driver, which makes every later context (one per test) pay for loading it again and hides
// the driver's own allocations from leak checkers' suppressions.
HeadlessGlContext::~HeadlessGlContext() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
}

bool checkRuntimeGlSupport(std::string* error) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!version) {
        *error = "no current OpenGL context";
        return false;
    }
    if (std::atoi(version) >= 3) return true;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions && std::strstr(extensions, "GL_ARB_framebuffer_object")) return true;
    *error = std::string("OpenGL ") + version +
             " lacks framebuffer objects (needs OpenGL 3.0 or GL_ARB_framebuffer_object)";
    return false;
}

}  // namespace glimmerq
