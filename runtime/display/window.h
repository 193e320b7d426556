// window.h: the SDL window, its GL context, and presenting the offscreen picture in it.
//
//   std::string error;
//   auto window = Window::open(title, 1280, 720, fullscreen, vsync, &error);
//   ... draw into the RenderTarget ...
//   window->present(target);          // scaled into the window, aspect kept, black bars
//   for (const WindowEvent& event : window->pollEvents()) ...;   // window_event.h
//
// present() is two steps that may be taken apart to draw over the picture (an overlay):
//   window->showPicture(target);      // the picture into the back buffer
//   ... draw into the default framebuffer ...
//   window->swap();
//
// The window reports its events and decides nothing about them: what a key does is the
// input room's (runtime/input/key_map.h), which calls toggleFullscreen() for F11.
// The render size never changes: resizing and full screen on or off only change how the
// picture is scaled, and a window larger than the usable desktop opens fitted to it.
// A window destroyed from outside (xkill) reads as a quit, not as a fatal X error.
// Showing the picture leaves every piece of GL state an effect can see as it found it (the
// scissor test, clear colour, colour mask and framebuffer bindings are
// saved around the blit and put back).
#pragma once

#include "runtime/display/render_target.h"
#include "runtime/display/window_event.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;

namespace glimmerq {

class Window {
public:
    // Says so in *error when there is no display to open a window on.
    static std::unique_ptr<Window> open(const std::string& title, int width, int height, bool fullscreen,
                                        bool vsync, std::string* error);
    ~Window();

    // Every event since the last poll, in order; a window destroyed from outside reads as
    // a Quit.
    std::vector<WindowEvent> pollEvents();

    // showPicture, then swap.
    void present(const RenderTarget& target);
    // The picture scaled into the back buffer, black bars around it.
    void showPicture(const RenderTarget& target);
    // Shows the back buffer (waits for the display's refresh with vsync).
    void swap();
    void toggleFullscreen();
    void setTitle(const std::string& title);
    std::string title() const;
    // The window's size in screen coordinates (not the render size).
    void size(int* width, int* height) const;
    // The size of its default framebuffer in pixels (what is drawn over the picture).
    void drawableSize(int* width, int* height) const;
    // For code that drives the window itself (the overlay's drawing with ImGui).
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
};

// Where the picture lands inside a window of the given size: aspect kept, centred.
struct Letterbox {
    int x, y, width, height;
};
Letterbox fitInside(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

}  // namespace glimmerq
