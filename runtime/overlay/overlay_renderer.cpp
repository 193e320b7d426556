#include "runtime/overlay/overlay_renderer.h"

#include "runtime/overlay/gl_state_guard.h"

#include <SDL.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>

namespace glimmerq {

namespace {

constexpr float kHeadlessFrameSeconds = 1.0f / 60.0f;

}  // namespace

std::unique_ptr<OverlayRenderer> OverlayRenderer::create(std::string* error) {
    std::unique_ptr<OverlayRenderer> overlay(new OverlayRenderer());
    ImGuiContext* previous = ImGui::GetCurrentContext();
    overlay->context_ = ImGui::CreateContext();
    ImGui::SetCurrentContext(overlay->context_);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing is left behind in the current directory
    io.LogFilename = nullptr;
    ImGui::StyleColorsDark();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = 4.0f;
    style.WindowBorderSize = 0.0f;
    io.Fonts->AddFontDefault();

    GlStateGuard guard;
    if (!ImGui_ImplOpenGL2_Init() || !ImGui_ImplOpenGL2_CreateDeviceObjects()) {
        *error = "the overlay cannot set up its OpenGL drawing";
        ImGui::DestroyContext(overlay->context_);
        overlay->context_ = nullptr;
        ImGui::SetCurrentContext(previous);
        return nullptr;
    }
    return overlay;
}

OverlayRenderer::~OverlayRenderer() {
    if (!context_) return;
    ImGui::SetCurrentContext(context_);
    if (inFrame_) ImGui::EndFrame();
    {
        GlStateGuard guard;
        ImGui_ImplOpenGL2_Shutdown();
    }
    if (windowAttached_) ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext(context_);
}

bool OverlayRenderer::attachWindow(SDL_Window* window, void* glContext, std::string* error) {
    ImGui::SetCurrentContext(context_);
    if (windowAttached_ || !ImGui_ImplSDL2_InitForOpenGL(window, glContext)) {
        *error = "the overlay cannot read the window's input";
        return false;
    }
    windowAttached_ = true;
    return true;
}

bool OverlayRenderer::handleEvent(const SDL_Event& event) {
    if (!windowAttached_) return false;
    ImGui::SetCurrentContext(context_);
    ImGui_ImplSDL2_ProcessEvent(&event);
    if (event.type == SDL_MOUSEMOTION) {
        mouseSeen_ = true;
        mouseX_ = float(event.motion.x);
        mouseY_ = float(event.motion.y);
    } else if ((event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) && event.button.button >= 1 &&
               event.button.button <= 3) {
        mouseSeen_ = true;
        mouseX_ = float(event.button.x);
        mouseY_ = float(event.button.y);
        // SDL numbers left, middle, right; ImGui left, right, middle.
        static const int kImGuiButton[3] = {0, 2, 1};
        buttonsDown_[kImGuiButton[event.button.button - 1]] = event.type == SDL_MOUSEBUTTONDOWN;
    } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_LEAVE) {
        mouseSeen_ = false;
    }
    const ImGuiIO& io = ImGui::GetIO();
    switch (event.type) {
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL: return io.WantCaptureMouse;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT: return io.WantCaptureKeyboard;
        default: return false;
    }
}

void OverlayRenderer::beginFrame(int width, int height) {
    IM_ASSERT(!inFrame_ && "endFrame() was not called after the last beginFrame()");
    ImGui::SetCurrentContext(context_);
    {
        GlStateGuard guard;
        ImGui_ImplOpenGL2_NewFrame();
    }
    ImGuiIO& io = ImGui::GetIO();
    if (windowAttached_) {
        // Input, time, and the window's size in the points its mouse moves in, with the
        // drawable's pixels per point (2 on a HiDPI display), so the mouse meets what it sees.
        ImGui_ImplSDL2_NewFrame();
        if (mouseSeen_) {
            io.MousePos = ImVec2(mouseX_, mouseY_);
            for (int i = 0; i < 3; ++i) io.MouseDown[i] = io.MouseDown[i] || buttonsDown_[i];
        }
    } else {
        io.DeltaTime = kHeadlessFrameSeconds;
        io.DisplaySize = ImVec2(float(width), float(height));
        io.DisplayFramebufferScale = ImVec2(1.0f, 1.0f);
    }
    ImGui::NewFrame();
    inFrame_ = true;
}

void OverlayRenderer::endFrame() {
    IM_ASSERT(inFrame_ && "beginFrame() was not called");
    ImGui::SetCurrentContext(context_);
    ImGui::Render();
    inFrame_ = false;
    GlStateGuard guard;
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

}  // namespace glimmerq
