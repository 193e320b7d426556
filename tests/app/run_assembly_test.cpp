// A window run as the session assembles it, in a real window (SDL's offscreen driver): with
// the timeline overlay shown, the end holds the last frame for the person at work; hidden,
// the show ends there as it always did.
#include "app/run_assembly.h"
#include "tests/support/offscreen_gl.h"
#include "tests/support/stepped_clock.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace glimmerq;

namespace {

constexpr char kScript[] = "0 start A layer 0\n0.3 end\n";  // three frames at 10 a second
constexpr int kPollsBeforeQuitting = 20;

using glimmerq::testing::SteppedClock;

// Counts the player's polls and quits at the last: a held end never ends by itself.
class QuitAfter : public Controls {
public:
    int polls = 0;
    Commands poll() override {
        Commands commands;
        commands.quit = ++polls == kPollsBeforeQuitting;
        return commands;
    }
};

struct Outcome {
    Player::Outcome outcome = Player::Outcome::Failed;
    int polls = 0;
};

// Takes Esc, as an editor takes the keys it uses.
class TakesEscape : public InputHandler {
public:
    bool handle(const WindowEvent& event) override {
        return event.kind == WindowEvent::Kind::KeyDown && event.key == keys::kEscape;
    }
};

Outcome playToTheEnd(bool showOverlay, SDL_Keycode pressed = SDLK_UNKNOWN, InputHandler* handler = nullptr) {
    Outcome result;
    glimmerq::testing::holdOffscreenGlLibrary();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::string error;
    auto window = Window::open("end", 160, 90, false, false, &error);
    EXPECT_TRUE(window) << error;
    if (!window) return result;
    RenderTarget target;
    EXPECT_TRUE(target.create(160, 90, &error)) << error;
    CEffect effect;
    auto script = parseScript(kScript, {"A"}, &error);
    EXPECT_TRUE(script) << error;
    const std::vector<RegisteredEffect> effects{{"A", &effect}};
    Timeline timeline(effects, std::move(*script));
    MemoryDataSource data;
    data.put("demoflow", kScript);
    std::FILE* sink = std::tmpfile();
    const Messages messages(sink, sink);
    SteppedClock clock;
    Options options;
    options.fps = 10;
    options.mute = true;
    const RunPlan plan = planRun(options, {true, 60, false, timeline.endMs()});
    EXPECT_TRUE(plan.keys && plan.overlay);
    const RunParts parts{options, timeline, target, clock, messages, data, window.get(), "end", "demoflow", {"A"}, 0};
    QuitAfter quitter;
    RunHooks hooks;
    hooks.controls.push_back(&quitter);
    if (handler) hooks.handlers.push_back(handler);
    auto run = AssembledRun::assemble(plan, parts, std::move(hooks), &error);
    EXPECT_TRUE(run) << error;
    if (run) {
        for (SDL_Keycode code : {SDL_Keycode(showOverlay ? SDLK_TAB : SDLK_UNKNOWN), pressed}) {
            SDL_Event key{};
            key.type = SDL_KEYDOWN;
            key.key.keysym.sym = code;
            if (code != SDLK_UNKNOWN) SDL_PushEvent(&key);
        }
        result.outcome = run->play(&error);
        result.polls = quitter.polls;
    }
    run.reset();
    window.reset();
    std::fclose(sink);
    unsetenv("SDL_VIDEODRIVER");
    return result;
}

}  // namespace

TEST(RunAssembly, WithTheOverlayShownTheEndHoldsUntilTheQuitAndWithoutItTheShowEnds) {
    const Outcome hidden = playToTheEnd(false);
    EXPECT_EQ(hidden.outcome, Player::Outcome::Ended);
    EXPECT_LT(hidden.polls, kPollsBeforeQuitting);
    const Outcome shown = playToTheEnd(true);
    EXPECT_EQ(shown.outcome, Player::Outcome::Quit) << "held at the end until quit";
    EXPECT_EQ(shown.polls, kPollsBeforeQuitting);
}

// A handler the session adds is handed the events before the keys: what it takes never
// reaches them.
TEST(RunAssembly, AHandlerOfTheHooksKeepsTheKeysItTakesFromTheKeyMap) {
    EXPECT_EQ(playToTheEnd(false, SDLK_ESCAPE).outcome, Player::Outcome::Quit);
    TakesEscape editor;
    EXPECT_EQ(playToTheEnd(false, SDLK_ESCAPE, &editor).outcome, Player::Outcome::Ended);
}
