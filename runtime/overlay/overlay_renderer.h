// overlay_renderer.h: Dear ImGui on the demo's GL context, drawn without disturbing it.
//
//   auto overlay = OverlayRenderer::create(&error);   // with the GL context current
//   overlay->attachWindow(sdlWindow, glContext);       // a window: ImGui reads its input
//   overlay->handleEvent(event);                       // every SDL event; true = ImGui's
//   overlay->beginFrame(width, height);                // pixels drawn into (a window: its own size)
//   drawTimeline(ImGui::GetWindowDrawList(), ...);     // any ImGui calls (timeline_view.h)
//   overlay->endFrame();                               // into the bound draw framebuffer
//
// endFrame draws inside a GlStateGuard (gl_state_guard.h), and so does everything else
// that touches GL here (the font texture): the effects find the state they left. Without
// a window, each frame advances ImGui by kHeadlessFrameSeconds and has no input. No
// imgui.ini is read or written. One renderer at a time per process: ImGui's SDL backend
// keeps the window in globals.
#pragma once

#include <memory>
#include <string>

struct ImGuiContext;
struct SDL_Window;
union SDL_Event;

namespace glimmerq {

class OverlayRenderer {
public:
    static std::unique_ptr<OverlayRenderer> create(std::string* error);
    ~OverlayRenderer();
    OverlayRenderer(const OverlayRenderer&) = delete;
    OverlayRenderer& operator=(const OverlayRenderer&) = delete;

    // Lets ImGui read the mouse and keys of a window; false with *error when it cannot.
    bool attachWindow(SDL_Window* window, void* glContext, std::string* error);
    // Passes one SDL event on (only with a window); true when ImGui wants it: the mouse
    // is over one of its windows, or a text field has the keyboard. The caller then does
    // not act on it itself.
    bool handleEvent(const SDL_Event& event);

    // Starts a frame for a framebuffer of width x height pixels; ImGui's coordinates are
    // those pixels, origin upper left. With a window attached they are the window's points
    // instead, as SDL reports it and its mouse (the drawable may hold more pixels).
    void beginFrame(int width, int height);
    // Draws the frame into the bound draw framebuffer, with the whole of it as viewport.
    void endFrame();

private:
    OverlayRenderer() = default;
    ImGuiContext* context_ = nullptr;
    // The mouse as the window's events told it: SDL's own mouse state is the server's idea,
    // which misses events another program (or a test) sends the window.
    bool mouseSeen_ = false;
    float mouseX_ = 0.0f, mouseY_ = 0.0f;  // the window's points
    bool buttonsDown_[3] = {false, false, false};
    bool windowAttached_ = false;
    bool inFrame_ = false;
};

}  // namespace glimmerq
