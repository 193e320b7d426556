// The window as a person meets it: keys, a size that fits the desktop, and the window's
// pieces of a run together: input, keys, screenshots, the shown picture and the title. SDL's
// offscreen driver gives a real window and GL context without a display.
#include "runtime/display/window.h"
#include "runtime/input/key_controls.h"
#include "runtime/input/window_input.h"
#include "runtime/outputs/screenshots.h"
#include "runtime/outputs/window_output.h"
#include "runtime/outputs/window_title.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/scratch.h"
#include "tests/support/stepped_clock.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace glimmerq;

namespace {

using glimmerq::testing::SteppedClock;

class WindowTest : public ::testing::Test {
protected:
    std::unique_ptr<Window> window;
    std::string error;

    static void SetUpTestSuite() { glimmerq::testing::holdOffscreenGlLibrary(); }

    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        window = Window::open("glimmerQ/quorV0!xe!!!", 160, 90, false, false, &error);
        ASSERT_TRUE(window) << error;
    }
    void TearDown() override {
        window.reset();
        unsetenv("SDL_VIDEODRIVER");
    }

    static void key(SDL_Keycode code, Uint16 mod = KMOD_NONE, bool repeat = false) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = code;
        event.key.keysym.mod = mod;
        event.key.repeat = repeat ? 1 : 0;
        SDL_PushEvent(&event);
    }
};

}  // namespace

TEST_F(WindowTest, KeysBecomeCommandsAndOnlySeekingRepeats) {
    WindowInput input(*window);
    KeyControls keys;
    int screenshots = 0;
    keys.onAction(KeyAction::Screenshot, [&] { ++screenshots; });
    input.addHandler(&keys);
    const auto poll = [&] {
        Commands commands = input.poll();
        commands.add(keys.poll());
        return commands;
    };
    key(SDLK_LEFT);
    key(SDLK_LEFT, KMOD_NONE, true);
    key(SDLK_RIGHT, KMOD_LSHIFT);
    key(SDLK_SPACE);
    key(SDLK_SPACE, KMOD_NONE, true);  // held: still one toggle
    key(SDLK_HOME);
    key(SDLK_r);
    key(SDLK_s);
    Commands commands = poll();
    EXPECT_EQ(commands.seekMs, -5000 - 5000 + 30000);
    EXPECT_TRUE(commands.togglePause);
    EXPECT_TRUE(commands.restart);
    EXPECT_TRUE(commands.reload);
    EXPECT_EQ(screenshots, 1);
    EXPECT_FALSE(commands.quit);
    key(SDLK_SPACE);
    key(SDLK_SPACE);  // pressed twice between two looks: no change
    key(SDLK_ESCAPE);
    commands = poll();
    EXPECT_FALSE(commands.togglePause);
    EXPECT_TRUE(commands.quit);
    EXPECT_EQ(commands.seekMs, 0);

    SDL_Event closed{};
    closed.type = SDL_WINDOWEVENT;
    closed.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&closed);
    EXPECT_TRUE(poll().quit) << "closing the window quits";
}

// The handlers see every event in order; one that takes an event keeps it from the rest.
TEST_F(WindowTest, AnEventTakenByAnEarlierHandlerNeverReachesTheKeys) {
    struct TakesEscape : InputHandler {
        std::vector<WindowEvent::Kind> seen;
        bool handle(const WindowEvent& event) override {
            seen.push_back(event.kind);
            return event.kind == WindowEvent::Kind::KeyDown && event.key == keys::kEscape;
        }
    } first;
    KeyControls keys;
    WindowInput input(*window);
    input.addHandler(&first);
    input.addHandler(&keys);
    key(SDLK_ESCAPE);
    key(SDLK_SPACE, KMOD_LCTRL);  // means nothing to the keys: reaches no command
    key(SDLK_HOME);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 12;
    motion.motion.y = 34;
    SDL_PushEvent(&motion);
    EXPECT_FALSE(input.poll().quit);
    const Commands commands = keys.poll();
    EXPECT_FALSE(commands.quit);
    EXPECT_FALSE(commands.togglePause);
    EXPECT_TRUE(commands.restart);
    using Kind = WindowEvent::Kind;
    EXPECT_EQ(first.seen, (std::vector<Kind>{Kind::KeyDown, Kind::KeyDown, Kind::KeyDown, Kind::Motion}));
}

TEST_F(WindowTest, AWindowLargerThanTheDesktopOpensFittedToIt) {
    SDL_Rect usable;
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0) << SDL_GetError();
    window.reset();
    window = Window::open("big", usable.w * 3, usable.h * 2, false, false, &error);
    ASSERT_TRUE(window) << error;
    int width = 0, height = 0;
    window->size(&width, &height);
    EXPECT_LE(width, usable.w);
    EXPECT_LE(height, usable.h);
    EXPECT_TRUE(width == usable.w || height == usable.h) << width << "x" << height;
    // The aspect of the asked size is kept (3:2 of the desktop's).
    EXPECT_NEAR(double(width) / height, 1.5 * usable.w / usable.h, 0.02);
}

TEST_F(WindowTest, ScreenshotsAreNamedByShowTimeAndTheTitleShowsTheTimeWhenItMatters) {
    RenderTarget target;
    ASSERT_TRUE(target.create(24, 12, &error)) << error;
    SteppedClock clock;
    std::FILE* out = std::tmpfile();
    const Messages messages(stderr, out);
    Screenshots screenshots(messages);
    WindowInput input(*window);
    KeyControls keys;
    keys.onAction(KeyAction::Screenshot, [&] { screenshots.request(); });
    input.addHandler(&keys);
    WindowOutput shown(*window);
    WindowTitle title("glimmerQ/quorV0!xe!!!", clock, [&](const std::string& t) { window->setTitle(t); });
    // As a run wires them: each frame to every output in this order, and every event to each listener.
    const std::vector<FrameOutput*> outputs = {&screenshots, &shown, &title};
    const auto write = [&](const Frame& f) {
        for (FrameOutput* o : outputs)
            if (!o->write(f, &error)) return false;
        return true;
    };
    const auto pausedChanged = [&](bool paused, int64_t ms) {
        screenshots.pausedChanged(paused, ms);
        title.pausedChanged(paused, ms);
    };

    const fs::path here = fs::current_path();
    const fs::path dir = glimmerq::testing::scratchFolder("window");
    fs::current_path(dir);
    Frame frame;
    frame.target = &target;
    frame.timeMs = 62350;
    // The first frames name the keys; eight seconds on, the plain title comes back.
    ASSERT_TRUE(write(frame));
    EXPECT_EQ(window->title(), "glimmerQ/quorV0!xe!!! \u2014 Tab: timeline, Space: pause, Left/Right: seek, Esc: quit");
    clock.micros += 7900000;
    ASSERT_TRUE(write(frame));
    EXPECT_NE(window->title().find("Esc: quit"), std::string::npos);
    clock.micros += 200000;
    ASSERT_TRUE(write(frame));
    EXPECT_EQ(window->title(), "glimmerQ/quorV0!xe!!!");
    key(SDLK_s);
    input.poll();  // playing: the next frame is saved
    frame.timeMs = 62367;
    ASSERT_TRUE(write(frame));
    EXPECT_TRUE(fs::exists(dir / "glimmerq-1m02.367s.png"));

    pausedChanged(true, 62367);
    EXPECT_EQ(window->title(), "glimmerQ/quorV0!xe!!! \u2014 1:02.367 (paused)");
    fs::remove(dir / "glimmerq-1m02.367s.png");
    key(SDLK_s);
    input.poll();  // paused: the held picture is saved at once
    EXPECT_TRUE(fs::exists(dir / "glimmerq-1m02.367s.png"));
    pausedChanged(false, 62367);
    EXPECT_EQ(window->title(), "glimmerQ/quorV0!xe!!!");

    // For two seconds after a seek the time shows, then the plain title comes back.
    screenshots.restarted(5000);
    title.restarted(5000);
    frame.timeMs = 5000;
    ASSERT_TRUE(write(frame));
    EXPECT_EQ(window->title(), "glimmerQ/quorV0!xe!!! \u2014 0:05.000");
    clock.micros += 2100000;
    frame.timeMs = 7100;
    ASSERT_TRUE(write(frame));
    EXPECT_EQ(window->title(), "glimmerQ/quorV0!xe!!!");
    title.showMessage("demoflow:3:1: unknown verb 'x'");
    EXPECT_EQ(window->title(), "glimmerQ/quorV0!xe!!! \u2014 0:07.100 \u2014 demoflow:3:1: unknown verb 'x'");

    std::rewind(out);
    char line[128] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, out));
    EXPECT_STREQ(line, "glimmerq: saved glimmerq-1m02.367s.png\n");
    std::fclose(out);
    fs::current_path(here);
    fs::remove_all(dir);
}
