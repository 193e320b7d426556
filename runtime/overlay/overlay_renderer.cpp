#include "runtime/overlay/overlay_renderer.h"

#include "runtime/overlay/gl_state_guard.h"

#include <SDL.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>

#include <cfloat>

namespace glimmerq {

namespace {

constexpr float kHeadlessFrameSeconds = 1.0f / 60.0f;
constexpr int kImGuiKeyCount = 512;  // io.KeysDown, indexed by SDL's scancode as the backend maps them

// SDL's buttons 1 left, 2 middle, 3 right; ImGui's 0 left, 1 right, 2 middle. -1: none of them.
int imguiButton(int button) {
    switch (button) {
    case 1: return 0;
    case 2: return 2;
    case 3: return 1;
    default: return -1;
    }
}

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

bool OverlayRenderer::handleEvent(const WindowEvent& event) {
    if (!windowAttached_) return false;
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    using Kind = WindowEvent::Kind;
    switch (event.kind) {
    case Kind::Motion:
    case Kind::ButtonDown:
    case Kind::ButtonUp: {
        mouseKnown_ = true;
        mouseX_ = event.x;
        mouseY_ = event.y;
        const int button = imguiButton(event.button);
        if (event.kind != Kind::Motion && button >= 0) {
            buttonDown_[button] = event.kind == Kind::ButtonDown;
            if (buttonDown_[button]) buttonPressed_[button] = true;
        }
        return io.WantCaptureMouse;
    }
    case Kind::Left:
        mouseKnown_ = false;
        return false;
    case Kind::Wheel:
        io.MouseWheelH += event.wheelX;
        io.MouseWheel += event.wheelY;
        return io.WantCaptureMouse;
    case Kind::KeyDown:
    case Kind::KeyUp:
        if (event.scancode >= 0 && event.scancode < kImGuiKeyCount)
            io.KeysDown[event.scancode] = event.kind == Kind::KeyDown;
        io.KeyShift = event.modifiers & kShift;
        io.KeyCtrl = event.modifiers & kCtrl;
        io.KeyAlt = event.modifiers & kAlt;
        io.KeySuper = event.modifiers & kSuper;
        return io.WantTextInput;
    case Kind::Text:
        io.AddInputCharactersUTF8(event.text.c_str());
        return io.WantTextInput;
    default:
        return false;
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
        io.MousePos = mouseKnown_ ? ImVec2(mouseX_, mouseY_) : ImVec2(-FLT_MAX, -FLT_MAX);
        for (int button = 0; button < kButtons; ++button) {
            io.MouseDown[button] = buttonDown_[button] || buttonPressed_[button];
            buttonPressed_[button] = false;
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
