// Editing the show on the overlay in a real window (SDL's offscreen driver), with the
// window's events as a person would make them: a drag on a run's box writes that one line
// to the script on disk and the show reloads once; Ctrl+Z puts the file back byte for byte;
// a script error after a reload shows on the overlay as one line until it is fixed; and at
// 640x360 the overlay covers at most half the picture.
#include "runtime/data/data_source.h"
#include "runtime/input/key_controls.h"
#include "runtime/input/window_input.h"
#include "runtime/outputs/window_output.h"
#include "runtime/overlay/timeline_overlay.h"
#include "runtime/play/player.h"
#include "tests/runtime/overlay/layered_show.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/scratch.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

using namespace glimmerq;
namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 640, kHeight = 360;
constexpr int kFramesPerSecond = 10;

// A maker's file: comments, alignment, a trailing comment; CKREUZ runs to the end, so moving
// it moves its start line alone.
const char kShow[] =
    "# a small show\n"
    "0        tempo 120 4\n"
    "@1       start CLEAR layer 0\n"
    "@1       int CLEAR METHOD 1     # trails\n"
    "\n"
    "@1.3     start CKREUZ layer 1   # the cross\n"
    "@6       end\n";
const char kMovedLine[] = "@2.3     start CKREUZ layer 1   # the cross\n";  // a bar later
const char kBroken[] = "0 tempo 120 4\n@1 start CLEAR layer 0\n@1 strat CKREUZ layer 1\n@6 end\n";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
    return lines;
}

void push(const SDL_Event& event) { SDL_PushEvent(const_cast<SDL_Event*>(&event)); }

void pushKey(SDL_Keycode key, uint16_t modifiers = KMOD_NONE) {
    SDL_Event down{};
    down.type = SDL_KEYDOWN;
    down.key.keysym.sym = key;
    down.key.keysym.mod = modifiers;
    push(down);
}

void pushMouse(Uint32 type, ImVec2 at, bool held) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.x = int(at.x);
        event.motion.y = int(at.y);
        event.motion.state = held ? SDL_BUTTON_LMASK : 0;
    } else {
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = int(at.x);
        event.button.y = int(at.y);
    }
    push(event);
}

// Runs the step of each frame before it is drawn: what the person does, and what is checked.
class Steps : public PlaybackListener {
public:
    std::map<int, std::function<void()>> at;
    void beforeFrame(int64_t) override {
        const auto step = at.find(frame_++);
        if (step != at.end()) step->second();
    }

private:
    int frame_ = 0;
};

}  // namespace

TEST(OverlayEditing, ADragWritesOneLineAndReloadsCtrlZRestoresTheBytesAndAnErrorShowsUntilFixed) {
    glimmerq::testing::holdOffscreenGlLibrary();
    const fs::path dir = glimmerq::testing::scratchFolder("overlay-edit");
    const fs::path file = dir / "demoflow";
    writeFile(file, kShow);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::string error;
    auto window = Window::open("editing", kWidth, kHeight, false, false, &error);
    ASSERT_TRUE(window) << error;
    glimmerq::testing::TestHost host;
    host.useDirectory(GLIMMERQ_DATA_DIR);
    RenderTarget target;
    ASSERT_TRUE(target.create(kWidth, kHeight, &error)) << error;
    glimmerq::testing::LayeredEffects layered;
    glimmerq::testing::createLayeredEffects(kWidth, kHeight, &layered);
    const std::vector<std::string>& names = layered.names;
    auto script = parseScript(kShow, names, &error);
    ASSERT_TRUE(script) << error;
    Timeline timeline(layered.effects, std::move(*script));

    auto data = openDataSource(dir.string(), &error);
    ASSERT_TRUE(data) << error;
    auto overlay = TimelineOverlay::create(*window, *data, "demoflow", names, {}, &error);
    ASSERT_TRUE(overlay) << error;
    WindowInput input(*window);
    KeyControls keys;
    keys.onAction(KeyAction::ToggleOverlay, [&] { overlay->toggle(); });
    input.addHandler(overlay.get());
    input.addHandler(&keys);
    overlay->useScript(timeline.script());
    WindowOutput shown(*window);
    shown.setOverlay(overlay.get());

    // The session's reload, as --watch does it: the file read again, parsed, and played.
    int reloads = 0;
    PlayerSettings settings;
    settings.maxFrames = 70;
    settings.reload = [&] {
        const auto bytes = data->read("demoflow");
        std::string why;
        auto again = parseScript(std::string(bytes->begin(), bytes->end()), names, &why, file.string());
        if (!again) {
            overlay->reloadFailed(why);
            return false;
        }
        timeline.replaceScript(std::move(*again));
        overlay->useScript(timeline.script());
        ++reloads;
        return true;
    };
    SteadyClock clock;
    FixedStepClock frameClock(kFramesPerSecond);
    Pacer pacer(clock, 0);
    Player player(timeline, target, clock, frameClock, pacer, settings);
    player.addOutput(&shown);
    player.addListener(overlay.get());
    player.addControls(&input);
    player.addControls(&keys);
    player.addControls(overlay.get());

    // CKREUZ's box, grabbed in its middle and dragged a bar (2 s at 120 BPM) later.
    ImVec2 grab, drop;
    const auto aim = [&] {
        const TimelineLayout layout = overlay->layout();
        const ChartBox& cross = overlay->chart().rows.at(1).boxes.at(0);
        grab = ImVec2(layout.xOf((cross.startMs + cross.endMs) / 2), layout.laneTop(1, 0) + layout.laneHeight() * 0.5f);
        drop = ImVec2(grab.x + layout.xOf(2000) - layout.xOf(0), grab.y);
    };
    const std::vector<std::string> before = linesOf(kShow);
    std::string statusAfterBreaking;
    Steps steps;
    steps.at[1] = [] { pushKey(SDLK_TAB); };
    steps.at[4] = [&] {
        aim();
        pushMouse(SDL_MOUSEMOTION, grab, false);
    };
    steps.at[6] = [&] { pushMouse(SDL_MOUSEBUTTONDOWN, grab, true); };
    for (int i = 1; i <= 4; ++i)
        steps.at[6 + 2 * i] = [&, i] {
            pushMouse(SDL_MOUSEMOTION, ImVec2(grab.x + (drop.x - grab.x) * float(i) / 4.0f, grab.y), true);
        };
    steps.at[16] = [&] { pushMouse(SDL_MOUSEBUTTONUP, drop, false); };
    steps.at[22] = [&] {
        const std::vector<std::string> after = linesOf(readFile(file));
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(after[i], i == 5 ? std::string(kMovedLine) : before[i]) << "line " << i + 1;
        EXPECT_EQ(reloads, 1) << "the program's own write reloads the show once";
        EXPECT_EQ(timeline.script().events.at(2).timeMs, 3000) << "the show plays the moved run";
        EXPECT_EQ(overlay->selection().size(), 1u) << "the moved run stays selected";
        pushKey(SDLK_z, KMOD_LCTRL);
    };
    steps.at[28] = [&] {
        EXPECT_EQ(readFile(file), kShow) << "undone to the bytes it was loaded with";
        EXPECT_EQ(reloads, 2);
        writeFile(file, kBroken);  // another editor saves a mistake
        pushKey(SDLK_r);
    };
    steps.at[34] = [&] {
        const StatusLine& status = overlay->status();
        EXPECT_EQ(status.kind, StatusLine::Kind::Error);
        EXPECT_EQ(status.text.rfind(file.string() + ":3:4: ", 0), 0u) << status.text;
        EXPECT_EQ(status.text.find('\n'), std::string::npos) << "one line";
        statusAfterBreaking = status.text;
        pushKey(SDLK_r);  // reloading the same mistake again keeps it shown
    };
    steps.at[40] = [&] {
        EXPECT_EQ(overlay->status().text, statusAfterBreaking);
        writeFile(file, kShow);
        pushKey(SDLK_r);
    };
    steps.at[46] = [&] { EXPECT_EQ(overlay->status().kind, StatusLine::Kind::None) << overlay->status().text; };
    player.addListener(&steps);

    EXPECT_EQ(player.run(&error), Player::Outcome::Ended) << error;
    EXPECT_TRUE(overlay->visible());

    // At 640x360 the overlay covers at most half the picture (over a black one, every pixel
    // it covers changes) and does cover some of it.
    window->showPicture(target);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    overlay->drawOver(kWidth, kHeight);
    std::vector<unsigned char> rgba(size_t(kWidth) * kHeight * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    target.bind();
    size_t covered = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) covered += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
    const double share = double(covered) / double(kWidth * kHeight);
    EXPECT_LE(share, 0.5);
    EXPECT_GE(share, 0.3) << "the timeline and the panel are there";

    overlay.reset();
    window.reset();
    unsetenv("SDL_VIDEODRIVER");
}
