#include "runtime/overlay/overlay_renderer.h"

#include "runtime/gl/gl_state_guard.h"

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
