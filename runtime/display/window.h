// window.h: the SDL window, its GL context, and presenting the offscreen picture in it.
//
//   std::string error;
//   auto window = Window::open(title, 1280, 720, fullscreen, vsync, &error);
//   ... draw into the RenderTarget ...
//   window->present(target);          // scaled into the window, aspect kept, black bars
//   Window::Input input = window->pollEvents();
//
// present() is two steps that may be taken apart to draw over the picture (an overlay):
//   window->showPicture(target);      // the picture into the back buffer
//   window->bindForDrawingOver();     // the window's own framebuffer as the draw framebuffer
//   ... draw into it ...
//   window->swap();
// and every event can be seen first by an observer (setEventObserver), which may keep it
// from the keys.
//
// The render size never changes: resizing, Alt+Enter and F11 (fullscreen on/off) only change
// how the picture is scaled, and a window larger than the usable desktop opens fitted to it.
// A window destroyed from outside (xkill) reads as a quit, not as a fatal X error.
// Showing the picture leaves every piece of GL state an effect can see as it found it (the
// scissor test, clear colour, colour mask and framebuffer bindings are saved around the blit
// and put back by a GlStateGuard).
#pragma once

#include "runtime/display/render_target.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct SDL_Window;
union SDL_Event;

namespace glimmerq {

class Window {
public:
    // Says so in *error when there is no display to open a window on.
    static std::unique_ptr<Window> open(const std::string& title, int width, int height, bool fullscreen,
                                        bool vsync, std::string* error);
    ~Window();

    // What the keys asked for since the last poll.
    struct Input {
        bool quit = false;        // Esc, the window closed, or the window gone from outside
        bool togglePause = false; // Space
        int64_t seekMs = 0;       // Left/Right: -5 s/+5 s, with Shift 30 s
        bool restart = false;     // Home
        bool reload = false;      // R
        bool screenshot = false;  // S
        bool rangeStart = false;  // [: the loop range starts here
        bool rangeEnd = false;    // ]: ... ends here
        bool clearRange = false;  // Backspace
    };
    Input pollEvents();
    // Sees every event before the keys are read; true keeps the event from them.
    void setEventObserver(std::function<bool(const SDL_Event& event)> observer) {
        eventObserver_ = std::move(observer);
    }

    // showPicture, then swap.
    void present(const RenderTarget& target);
    // The picture scaled into the back buffer, black bars around it.
    void showPicture(const RenderTarget& target);
    // Binds the window's default framebuffer for drawing; the caller saves the binding before.
    void bindForDrawingOver();
    // Shows the back buffer (waits for the display's refresh with vsync).
    void swap();
    void toggleFullscreen();
    void setTitle(const std::string& title);
    std::string title() const;
    // The window's size in screen coordinates (not the render size).
    void size(int* width, int* height) const;
    // The size of its default framebuffer in pixels (what is drawn over the picture).
    void drawableSize(int* width, int* height) const;
    // For code that drives the window itself (the overlay's input and drawing).
    SDL_Window* sdlWindow() const { return window_; }
    void* glContext() const { return context_; }
    // The display's refresh rate in Hz (60 when it does not say).
    int refreshRate() const;

    // The desktop's size, for --fullscreen without --size; false when unknown.
    static bool desktopSize(int* width, int* height);

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

private:
    Window() = default;
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    std::function<bool(const SDL_Event& event)> eventObserver_;
};

// Where the picture lands inside a window of the given size: aspect kept, centred.
struct Letterbox {
    int x, y, width, height;
};
Letterbox fitInside(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

}  // namespace glimmerq
