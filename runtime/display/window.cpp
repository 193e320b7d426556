#include "runtime/display/window.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace glimmerq {

namespace {
constexpr int kFallbackRefreshRate = 60;  // Hz, when the display does not say

// The program's key names are SDL's keycodes, so that events pass through unchanged.
static_assert(keys::kBackspace == SDLK_BACKSPACE && keys::kTab == SDLK_TAB && keys::kReturn == SDLK_RETURN &&
              keys::kEscape == SDLK_ESCAPE && keys::kSpace == SDLK_SPACE && keys::kDelete == SDLK_DELETE);
static_assert(keys::kF11 == SDLK_F11 && keys::kHome == SDLK_HOME && keys::kPageUp == SDLK_PAGEUP &&
              keys::kEnd == SDLK_END && keys::kPageDown == SDLK_PAGEDOWN && keys::kRight == SDLK_RIGHT &&
              keys::kLeft == SDLK_LEFT && keys::kDown == SDLK_DOWN && keys::kUp == SDLK_UP &&
              keys::kKeypadEnter == SDLK_KP_ENTER);
static_assert('r' == SDLK_r && '[' == SDLK_LEFTBRACKET && ']' == SDLK_RIGHTBRACKET);

// X errors about our drawable once the window was destroyed from outside mean it is gone:
// a quit, where Xlib's default handler would print the raw error and end the process.
bool gWindowGone = false;
int (*gPreviousXErrorHandler)(Display*, XErrorEvent*) = nullptr;

int onXError(Display* display, XErrorEvent* event) {
    if (event->error_code == BadDrawable || event->error_code == BadWindow) {
        gWindowGone = true;
        return 0;
    }
    return gPreviousXErrorHandler ? gPreviousXErrorHandler(display, event) : 0;
}

// The connection itself is gone (the client was killed): nothing can be drawn any more, and
// Xlib ends the process when this returns. End it as a quit.
int onXConnectionLost(Display*) {
    std::fflush(nullptr);
    std::_Exit(0);
}

void watchForWindowLoss(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    gWindowGone = false;
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(onXError);
    if (previous != onXError) gPreviousXErrorHandler = previous;
    XSetIOErrorHandler(onXConnectionLost);
}

// SDL hands window titles to Xlib as UTF-8, and Xlib converts them by the C library's
// character type, which is "C" until someone sets it: there, a title with more than ASCII
// (the time's em dash, a file name) never reaches _NET_WM_NAME, the name window managers
// show, and the title stays as it opened. Our text is UTF-8 whatever the environment says.
void useUtf8CharacterType() {
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
    if (!std::setlocale(LC_CTYPE, "") || std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

// Starts SDL's video without its SIGINT and SIGTERM handlers, which would turn a signal that
// comes while the show loads into a quit (exit 0): a window run stops on them as every other
// run does, with their exit codes (interrupt.h).
bool startVideo() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    useUtf8CharacterType();
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

// Shrinks a window that would not fit the usable desktop, keeping its aspect.
void fitToDesktop(int* width, int* height) {
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return;
    if (*width <= usable.w && *height <= usable.h) return;
    const Letterbox box = fitInside(*width, *height, usable.w, usable.h);
    *width = box.width;
    *height = box.height;
}
}  // namespace

Letterbox fitInside(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return {0, 0, 0, 0};
    // Compare aspects in 64-bit integers: the wider of the two decides which side fills.
    const int64_t pw = pictureWidth, ph = pictureHeight, ww = windowWidth, wh = windowHeight;
    int width, height;
    if (pw * wh >= ww * ph) {
        width = windowWidth;
        height = int(std::max<int64_t>(1, (ww * ph + pw / 2) / pw));
    } else {
        height = windowHeight;
        width = int(std::max<int64_t>(1, (wh * pw + ph / 2) / ph));
    }
    return {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
}

std::unique_ptr<Window> Window::open(const std::string& title, int width, int height, bool fullscreen,
                                     bool vsync, std::string* error) {
    const char* noDisplay = "no display to open a window on; use --render DIR (or --headless) to play without one";
    const bool anyDisplay = SDL_getenv("DISPLAY") || SDL_getenv("WAYLAND_DISPLAY") || SDL_getenv("SDL_VIDEODRIVER");
    if (!anyDisplay || !startVideo()) {
        *error = noDisplay;
        return nullptr;
    }
    // SDL falls back to drivers that show nothing; unless asked for by name, that is no display.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool invisible = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (invisible && !SDL_getenv("SDL_VIDEODRIVER")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        *error = noDisplay;
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    std::unique_ptr<Window> result(new Window);
    // The render size stays as asked; only the window (and so the picture's scale) is fitted.
    int windowWidth = width, windowHeight = height;
    fitToDesktop(&windowWidth, &windowHeight);
    result->window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth,
                                       windowHeight, flags);
    if (!result->window_) {
        *error = std::string("cannot open a window (") + SDL_GetError() + ")";
        return nullptr;
    }
    result->context_ = SDL_GL_CreateContext(result->window_);
    if (!result->context_) {
        *error = std::string("cannot create an OpenGL context (") + SDL_GetError() + ")";
        return nullptr;
    }
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);
    watchForWindowLoss(result->window_);
    if (fullscreen) SDL_ShowCursor(SDL_DISABLE);
    return result;
}

Window::~Window() {
    if (context_) SDL_GL_DeleteContext(context_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool Window::desktopSize(int* width, int* height) {
    if (!startVideo()) return false;
    SDL_DisplayMode mode;
    const bool ok = SDL_GetDesktopDisplayMode(0, &mode) == 0;
    if (ok) {
        *width = mode.w;
        *height = mode.h;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return ok;
}

int Window::refreshRate() const {
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
    return kFallbackRefreshRate;
}

void Window::toggleFullscreen() {
    const bool isFullscreen = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(window_, isFullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_ShowCursor(isFullscreen ? SDL_ENABLE : SDL_DISABLE);
    if (isFullscreen) {
        // Back from full screen into a window that may have been larger than the desktop.
        int width = 0, height = 0;
        SDL_GetWindowSize(window_, &width, &height);
        fitToDesktop(&width, &height);
        SDL_SetWindowSize(window_, width, height);
    }
}

void Window::setTitle(const std::string& title) { SDL_SetWindowTitle(window_, title.c_str()); }

std::string Window::title() const { return SDL_GetWindowTitle(window_); }

void Window::size(int* width, int* height) const { SDL_GetWindowSize(window_, width, height); }

void Window::drawableSize(int* width, int* height) const { SDL_GL_GetDrawableSize(window_, width, height); }

namespace {

uint16_t modifiersOf(Uint16 sdl) {
    uint16_t modifiers = 0;
    if (sdl & KMOD_SHIFT) modifiers |= kShift;
    if (sdl & KMOD_CTRL) modifiers |= kCtrl;
    if (sdl & KMOD_ALT) modifiers |= kAlt;
    if (sdl & KMOD_GUI) modifiers |= kSuper;
    return modifiers;
}

// The event in the program's words; false for the events nobody here asks about.
bool translate(const SDL_Event& sdl, WindowEvent* event) {
    using Kind = WindowEvent::Kind;
    switch (sdl.type) {
    case SDL_QUIT:
        event->kind = Kind::Quit;
        return true;
    case SDL_WINDOWEVENT:
        if (sdl.window.event == SDL_WINDOWEVENT_CLOSE) {
            event->kind = Kind::Quit;
            return true;
        }
        if (sdl.window.event == SDL_WINDOWEVENT_LEAVE) {
            event->kind = Kind::Left;
            return true;
        }
        if (sdl.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            event->kind = Kind::Resized;
            event->width = sdl.window.data1;
            event->height = sdl.window.data2;
            return true;
        }
        return false;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        event->kind = sdl.type == SDL_KEYDOWN ? Kind::KeyDown : Kind::KeyUp;
        event->key = sdl.key.keysym.sym;
        event->scancode = sdl.key.keysym.scancode;
        event->modifiers = modifiersOf(sdl.key.keysym.mod);
        event->repeat = sdl.key.repeat != 0;
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        event->kind = sdl.type == SDL_MOUSEBUTTONDOWN ? Kind::ButtonDown : Kind::ButtonUp;
        event->button = sdl.button.button;
        event->x = float(sdl.button.x);
        event->y = float(sdl.button.y);
        return true;
    case SDL_MOUSEMOTION:
        event->kind = Kind::Motion;
        event->x = float(sdl.motion.x);
        event->y = float(sdl.motion.y);
        return true;
    case SDL_MOUSEWHEEL: {
        const float flip = sdl.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
        event->kind = Kind::Wheel;
        event->wheelX = flip * float(sdl.wheel.x);
        event->wheelY = flip * float(sdl.wheel.y);
        return true;
    }
    case SDL_TEXTINPUT:
        event->kind = Kind::Text;
        event->text = sdl.text.text;
        return true;
    default:
        return false;
    }
}

}  // namespace

std::vector<WindowEvent> Window::pollEvents() {
    std::vector<WindowEvent> events;
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl)) {
        WindowEvent event;
        if (translate(sdl, &event)) events.push_back(std::move(event));
    }
    if (gWindowGone) events.push_back(WindowEvent{});  // a Quit
    return events;
}

void Window::present(const RenderTarget& target) {
    showPicture(target);
    swap();
}

void Window::swap() { SDL_GL_SwapWindow(window_); }

void Window::showPicture(const RenderTarget& target) {
    GLint drawFramebuffer = 0, readFramebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLfloat clearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    GLboolean colorMask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, colorMask);

    // Scissor and colour mask would clip the clear and the blit.
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    int windowWidth = 0, windowHeight = 0;
    SDL_GL_GetDrawableSize(window_, &windowWidth, &windowHeight);
    const Letterbox box = fitInside(target.width(), target.height(), windowWidth, windowHeight);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer());
    glBlitFramebuffer(0, 0, target.width(), target.height(), box.x, box.y, box.x + box.width,
                      box.y + box.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);

    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFramebuffer));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFramebuffer));
    glColorMask(colorMask[0], colorMask[1], colorMask[2], colorMask[3]);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

}  // namespace glimmerq
