// The overlay in a real window (SDL's offscreen driver), wired as a window run wires it: Tab
// shows it, it draws over the window's picture, and the frames real effects draw into the
// render target are byte for byte those drawn with it hidden.
#include "runtime/input/key_controls.h"
#include "runtime/input/window_input.h"
#include "runtime/outputs/window_output.h"
#include "runtime/overlay/timeline_overlay.h"
#include "runtime/play/player.h"
#include "tests/runtime/overlay/layered_show.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace glimmerq;

namespace {

constexpr int kWidth = 320, kHeight = 180;
constexpr int kFramesPerSecond = 4;
constexpr int kFrames = 8;


// Reads every frame back from the render target, as PNG frames and screenshots do.
class ReadBack : public FrameOutput {
public:
    std::vector<std::vector<unsigned char>> frames;
    bool write(const Frame& frame, std::string*) override {
        frames.emplace_back();
        frame.target->readPixels(&frames.back());
        return true;
    }
};

struct Played {
    std::vector<std::vector<unsigned char>> frames;
    bool overlayShown = false;
    bool windowChangedByOverlay = false;
};

Played play(bool pressTab) {
    Played played;
    glimmerq::testing::holdOffscreenGlLibrary();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::string error;
    auto window = Window::open("overlay", kWidth, kHeight, false, false, &error);
    EXPECT_TRUE(window) << error;
    if (!window) return played;
    glimmerq::testing::TestHost host;
    host.useDirectory(GLIMMERQ_DATA_DIR);
    RenderTarget target;
    EXPECT_TRUE(target.create(kWidth, kHeight, &error)) << error;
    glimmerq::testing::LayeredEffects layered;
    glimmerq::testing::createLayeredEffects(kWidth, kHeight, &layered);
    const std::vector<std::string>& names = layered.names;
    auto script = parseScript(glimmerq::testing::kLayeredScript, names, &error);
    EXPECT_TRUE(script) << error;
    Timeline timeline(layered.effects, std::move(*script));

    MemoryDataSource data;
    data.put("demoflow", std::string(glimmerq::testing::kLayeredScript));
    auto overlay = TimelineOverlay::create(*window, data, "demoflow", names, {}, &error);
    EXPECT_TRUE(overlay) << error;
    if (!overlay) return played;
    WindowInput input(*window);
    KeyControls keys;
    keys.onAction(KeyAction::ToggleOverlay, [&] { overlay->toggle(); });
    input.addHandler(overlay.get());
    input.addHandler(&keys);
    overlay->useScript(timeline.script());
    WindowOutput shown(*window);
    shown.setOverlay(overlay.get());
    ReadBack readBack;
    SteadyClock clock;
    FixedStepClock frameClock(kFramesPerSecond);
    Pacer pacer(clock, 0);
    PlayerSettings settings;
    settings.maxFrames = kFrames;
    Player player(timeline, target, clock, frameClock, pacer, settings);
    player.addOutput(&readBack);
    player.addOutput(&shown);
    player.addListener(overlay.get());
    player.addControls(&input);
    player.addControls(&keys);
    player.addControls(overlay.get());
    SDL_Event tab{};
    tab.type = SDL_KEYDOWN;
    tab.key.keysym.sym = SDLK_TAB;
    if (pressTab) SDL_PushEvent(&tab);
    EXPECT_EQ(player.run(&error), Player::Outcome::Ended) << error;
    played.frames = std::move(readBack.frames);
    played.overlayShown = overlay->visible();

    // The window's back buffer with the last picture, with and without the overlay over it.
    const auto windowPixels = [&](bool over) {
        window->showPicture(target);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        if (over) overlay->drawOver(kWidth, kHeight);
        std::vector<unsigned char> rgba(size_t(kWidth) * kHeight * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        target.bind();
        return rgba;
    };
    played.windowChangedByOverlay = windowPixels(false) != windowPixels(true);

    overlay.reset();
    window.reset();
    unsetenv("SDL_VIDEODRIVER");
    return played;
}

}  // namespace

TEST(TimelineOverlay, TabShowsItOverTheWindowAndTheRenderTargetsFramesStayByteIdentical) {
    const Played hidden = play(false);
    const Played shown = play(true);
    EXPECT_FALSE(hidden.overlayShown);
    EXPECT_FALSE(hidden.windowChangedByOverlay) << "hidden, it draws nothing";
    EXPECT_TRUE(shown.overlayShown);
    EXPECT_TRUE(shown.windowChangedByOverlay) << "shown, it draws over the window's picture";

    ASSERT_EQ(hidden.frames.size(), size_t(kFrames));
    for (size_t i = 0; i < hidden.frames.size(); ++i)
        EXPECT_TRUE(shown.frames.at(i) == hidden.frames[i]) << "frame " << i << ": bytes differ";
    // The frames are not all alike: the effects really drew and moved.
    EXPECT_NE(hidden.frames.front(), hidden.frames.back());
}
