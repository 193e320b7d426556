// overlay_renderer.h: Dear ImGui on the demo's GL context, drawn without disturbing it.
//
//   auto overlay = OverlayRenderer::create(&error);   // with the GL context current
//   overlay->attachWindow(sdlWindow, glContext);       // a window: ImGui reads its input
//   overlay->handleEvent(event);                       // every window event; true = ImGui's
//   overlay->beginFrame(width, height);                // pixels drawn into (a window: its own size)
//   drawTimeline(ImGui::GetWindowDrawList(), ...);     // any ImGui calls (timeline_view.h)
//   overlay->endFrame();                               // into the bound draw framebuffer
//
// endFrame draws inside a GlStateGuard (gl_state_guard.h), and so does everything else
// that touches GL here (the font texture): the effects find the state they left. Without
// a window, each frame advances ImGui by kHeadlessFrameSeconds and has no input. With one,
// the mouse is where the window's last mouse event put it: SDL's global mouse state, which
// ImGui's SDL backend reads, moves under some X servers (Xvfb) only when a button changes,
// and there hovering showed nothing. No
// imgui.ini is read or written. One renderer at a time per process: ImGui's SDL backend
// keeps the window in globals.
#pragma once

#include "runtime/display/window_event.h"

#include <memory>
#include <string>

struct ImGuiContext;
struct SDL_Window;

namespace glimmerq {

class OverlayRenderer {
public:
    static std::unique_ptr<OverlayRenderer> create(std::string* error);
    ~OverlayRenderer();
    OverlayRenderer(const OverlayRenderer&) = delete;
    OverlayRenderer& operator=(const OverlayRenderer&) = delete;

    // Lets ImGui read the mouse and keys of a window; false with *error when it cannot.
    bool attachWindow(SDL_Window* window, void* glContext, std::string* error);
    // Passes one window event on (only with a window attached); true when ImGui wants it:
    // a mouse event while the mouse is over one of its windows or drags from one, a key or
    // text while a text field has the keyboard. The caller then does not act on it itself.
    // Keys are never ImGui's only because a mouse button is held on one of its windows.
    bool handleEvent(const WindowEvent& event);

    // Starts a frame for a framebuffer of width x height pixels; ImGui's coordinates are
    // those pixels, origin upper left. With a window attached they are the window's points
    // instead, as SDL reports it and its mouse (the drawable may hold more pixels).
    void beginFrame(int width, int height);
    // Draws the frame into the bound draw framebuffer, with the whole of it as viewport.
    void endFrame();

private:
    OverlayRenderer() = default;
    ImGuiContext* context_ = nullptr;
    bool windowAttached_ = false;
    bool inFrame_ = false;

    // The mouse as the window's events left it (ImGui's buttons: 0 left, 1 right, 2 middle).
    static constexpr int kButtons = 3;
    bool mouseKnown_ = false;       // a mouse event came, and the mouse has not left since
    float mouseX_ = 0.0f, mouseY_ = 0.0f;
    bool buttonDown_[kButtons] = {};
    bool buttonPressed_[kButtons] = {};  // went down since the last frame: a click shorter
                                         // than a frame still reaches ImGui
};

}  // namespace glimmerq
