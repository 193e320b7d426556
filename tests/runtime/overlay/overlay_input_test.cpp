// The overlay and the keys in one real window, wired as a window run wires them (the overlay
// handed the events before the keys): keys keep working while a mouse button is held on the
// overlay and right after it is let go, and hovering follows the window's motion events,
// also under a real X server, where SDL's global mouse state stays where a button left it.
#include "runtime/input/key_controls.h"
#include "runtime/input/window_input.h"
#include "runtime/overlay/timeline_overlay.h"
#include "runtime/overlay/timeline_view.h"
#include "tests/runtime/overlay/layered_show.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/xvfb.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <cstdlib>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define GLIMMERQ_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GLIMMERQ_LEAK_CHECKED 1
#endif
#endif
#ifdef GLIMMERQ_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

using namespace glimmerq;

namespace {

constexpr int kWidth = 640, kHeight = 360;

class OverlayInputTest : public ::testing::Test {
protected:
    std::unique_ptr<glimmerq::Window> window;
    std::unique_ptr<TimelineOverlay> overlay;
    MemoryDataSource data;
    WindowInput* input = nullptr;
    KeyControls keys;
    std::string error;

    // Opens the window on the video driver asked for and wires the overlay and the keys.
    void open(const char* driver) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        window = glimmerq::Window::open("overlay input", kWidth, kHeight, false, false, &error);
        ASSERT_TRUE(window) << error;
        int count = 0;
        const EffectEntry* table = DemoEffectTable(&count);
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) names.push_back(table[i].name);
        auto script = parseScript(glimmerq::testing::kLayeredScript, names, &error);
        ASSERT_TRUE(script) << error;
        data.put("demoflow", std::string(glimmerq::testing::kLayeredScript));
        overlay = TimelineOverlay::create(*window, data, "demoflow", names, {}, &error);
        ASSERT_TRUE(overlay) << error;
        overlay->useScript(*script);
        input_ = std::make_unique<WindowInput>(*window);
        input = input_.get();
        input->addHandler(overlay.get());
        input->addHandler(&keys);
        keys.onAction(KeyAction::ToggleOverlay, [this] { overlay->toggle(); });
    }
    void TearDown() override { close(); }
    void close() {
        overlay.reset();
        input_.reset();
        window.reset();
        unsetenv("SDL_VIDEODRIVER");
    }

    // One poll and one shown frame, as the player and the window output take them.
    Commands step() {
        Commands commands = input->poll();
        commands.add(keys.poll());
        commands.add(overlay->poll());
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        int width = 0, height = 0;
        window->drawableSize(&width, &height);
        overlay->drawOver(width, height);
        return commands;
    }

    static void push(SDL_Event event) { SDL_PushEvent(&event); }
    static void key(SDL_Keycode code) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = code;
        push(event);
    }
    static void button(bool down, int x, int y) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.x = x;
        event.button.y = y;
        push(event);
    }
    static void motion(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        push(event);
    }

    // Tab, and the mouse held down on the timeline's window until ImGui holds it as its own:
    // the state in which keys used to go to ImGui instead of the show.
    void holdButtonOnTheOverlay() {
        key(SDLK_TAB);
        step();
        ASSERT_TRUE(overlay->visible());
        motion(kWidth / 2, kHeight - 2);
        button(true, kWidth / 2, kHeight - 2);
        step();
        step();
        ASSERT_TRUE(ImGui::GetIO().WantCaptureMouse) << "the button is held on the overlay";
        ASSERT_TRUE(ImGui::GetIO().WantCaptureKeyboard) << "ImGui holds an item active";
    }

    // The middle of a run's box on the shown timeline, in window points (whole points, as
    // the events carry them, stay inside it).
    ImVec2 aBox() const {
        const TimelineLayout layout = overlay->layout();  // where it was drawn last
        const ChartBox& box = overlay->chart().rows.at(0).boxes.at(0);
        return ImVec2(layout.xOf((box.startMs + box.endMs) / 2), layout.laneTop(0, box.lane) + layout.laneHeight() * 0.5f);
    }

    static bool tooltipShown() {
        const ImGuiWindow* tooltip = ImGui::FindWindowByName("##Tooltip_00");
        return tooltip && tooltip->Active;
    }

    // Moves the mouse to a box, then off the timeline, and says whether the tooltip followed.
    void expectHoverFollows(const std::function<void(int x, int y)>& moveMouse) {
        key(SDLK_TAB);
        step();
        ASSERT_TRUE(overlay->visible());
        const ImVec2 box = aBox();
        moveMouse(int(box.x), int(box.y));
        step();
        step();
        EXPECT_TRUE(tooltipShown()) << "the mouse at " << box.x << "," << box.y << " is over a box";
        moveMouse(kWidth / 2, 10);
        step();
        step();
        EXPECT_FALSE(tooltipShown()) << "the mouse left the box";
    }

private:
    std::unique_ptr<WindowInput> input_;
};

}  // namespace

TEST_F(OverlayInputTest, KeysKeepWorkingWhileAMouseButtonIsHeldOnTheOverlay) {
    glimmerq::testing::holdOffscreenGlLibrary();
    ASSERT_NO_FATAL_FAILURE(open("offscreen"));
    ASSERT_NO_FATAL_FAILURE(holdButtonOnTheOverlay());
    key(SDLK_SPACE);
    key(SDLK_LEFT);
    key(SDLK_RIGHTBRACKET);
    const Commands commands = step();
    EXPECT_TRUE(commands.togglePause);
    EXPECT_EQ(commands.seekMs, -5000);
    EXPECT_TRUE(commands.rangeEndHere);
    EXPECT_FALSE(commands.quit);
    key(SDLK_TAB);
    step();
    EXPECT_FALSE(overlay->visible()) << "Tab hides it with the button still held";
}

// The release and the Esc arrive in one poll, before ImGui's next frame has seen the release.
TEST_F(OverlayInputTest, EscRightAfterTheButtonIsLetGoQuits) {
    glimmerq::testing::holdOffscreenGlLibrary();
    ASSERT_NO_FATAL_FAILURE(open("offscreen"));
    ASSERT_NO_FATAL_FAILURE(holdButtonOnTheOverlay());
    button(false, kWidth / 2, kHeight - 2);
    key(SDLK_ESCAPE);
    EXPECT_TRUE(step().quit);
}

TEST_F(OverlayInputTest, HoveringABoxShowsItsLineFromMotionEvents) {
    glimmerq::testing::holdOffscreenGlLibrary();
    ASSERT_NO_FATAL_FAILURE(open("offscreen"));
    expectHoverFollows([](int x, int y) { motion(x, y); });
}

// Under X the pointer is moved by the server (a warp, as a person's mouse moves it): SDL
// reports motion events, while its global mouse state, which ImGui's SDL backend reads,
// stays where it was.
TEST_F(OverlayInputTest, HoveringWorksUnderXWhereTheGlobalMouseStateDoesNotMove) {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        GTEST_SKIP() << "an earlier test in this process holds SDL's offscreen video; run it alone (ctest does)";
    glimmerq::testing::Xvfb server;
    if (!server.ok()) GTEST_SKIP() << "Xvfb is not installed";
#ifdef GLIMMERQ_LEAK_CHECKED
    // Xlib and the windowed GL driver keep allocations for the life of the process,
    // unreachable once the window is closed (the program's X tests run without the leak
    // check for the same reason).
    __lsan::ScopedDisabler leaksOfTheXLibraries;
#endif
    const char* previous = std::getenv("DISPLAY");
    const std::string kept = previous ? previous : "";
    setenv("DISPLAY", server.display().c_str(), 1);
    open("x11");
    if (!HasFatalFailure()) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(SDL_GetWindowWMInfo(window->sdlWindow(), &info)) << SDL_GetError();
        ASSERT_EQ(info.subsystem, SDL_SYSWM_X11);
        Display* display = info.info.x11.display;
        const ::Window xwindow = info.info.x11.window;
        // Wait until the window is mapped: a warp into an unmapped window goes nowhere.
        for (int tries = 0; tries < 100 && !(SDL_GetWindowFlags(window->sdlWindow()) & SDL_WINDOW_SHOWN); ++tries)
            step();
        expectHoverFollows([&](int x, int y) {
            XWarpPointer(display, 0, xwindow, 0, 0, 0, 0, x, y);
            XSync(display, False);
            SDL_Delay(50);  // the server's motion event comes back over the connection
        });
    }
    close();  // while the server is still there
    if (previous)
        setenv("DISPLAY", kept.c_str(), 1);
    else
        unsetenv("DISPLAY");
}
