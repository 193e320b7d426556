// run_assembly.h: builds the objects of a run from its plan and plays it.
//
//   auto run = AssembledRun::assemble(plan, parts, hooks, &error);   // null: *error says why
//   Player::Outcome outcome = run->play(&error);
//
// Everything the plan names is made here and lives as long as the run: the music and its
// follower, the frame clock, the pacer, the outputs in the plan's order, the window's input
// and keys and the player, and in a window the timeline overlay (Tab). The window's events go
// to the overlay, then to the hooks' handlers (an editor), then to the keys. The player's
// controls, polled in this order: the window's input, the overlay's mouse, the keys, then
// the hooks' sources (a watched folder, an editor). Needs the GL context current
// (the video reads frames back, the overlay sets up its drawing).
// Not here: deciding what a run is made of (run_plan.h), opening data or graphics, reloads
// (session.h).
#pragma once

#include "app/run_plan.h"
#include "runtime/base/clock.h"
#include "runtime/base/messages.h"
#include "runtime/data/data_source.h"
#include "runtime/display/render_target.h"
#include "runtime/display/window.h"
#include "runtime/input/input_handler.h"
#include "runtime/play/frame_output.h"
#include "runtime/play/pacer.h"
#include "runtime/play/player.h"
#include "runtime/script/timeline.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace glimmerq {

class MusicPlayer;
class MusicFollower;
class WindowTitle;
class Screenshots;
class WindowInput;
class KeyControls;
class WindowOutput;
class TimelineOverlay;

// What the session has opened for the run.
struct RunParts {
    const Options& options;
    Timeline& timeline;
    const RenderTarget& target;
    Clock& clock;
    const Messages& messages;
    const DataSource& data;
    Window* window = nullptr;  // null headless
    std::string title;         // the window's title
    std::string scriptName;    // the script's member in the data ("demoflow")
    std::vector<std::string> effectNames;  // registered, in table order
    double startupMs = 0;      // from the program's start to the first frame's set-up
};

// What the session does for the run while it plays.
struct RunHooks {
    // After each effect's DrawFrame (--check-gl); may be empty.
    std::function<void(const std::string& effect, int64_t timeMs)> afterEffect;
    // Asked once a frame; true ends the run as interrupted.
    std::function<bool()> interrupted;
    // Reloads the data; `show` puts a message where the viewer looks (the window's title).
    std::function<bool(const std::function<void(const std::string&)>& show)> reload;
    // More sources of commands, polled after the keys and the overlay (a watched folder).
    std::vector<Controls*> controls;
    // More takers of the window's events, handed them after the overlay and before the keys,
    // so that they may keep a key from them (an editor's arrows while something is selected).
    std::vector<InputHandler*> handlers;
    // An archive only: unpacks it into a new folder the run carries on from (the overlay
    // offers it); the folder, or nullopt with *error. Then the player also polls what
    // watchUnpacked gives (the folder's watch, as with --watch).
    std::function<std::optional<std::string>(std::string* error)> unpack;
    std::function<Controls*()> watchUnpacked;
};

class AssembledRun {
public:
    static std::unique_ptr<AssembledRun> assemble(const RunPlan& plan, const RunParts& parts, RunHooks hooks,
                                                  std::string* error);
    ~AssembledRun();

    Player::Outcome play(std::string* error) { return player_->run(error); }

private:
    AssembledRun() = default;
    bool addOutputs(const RunPlan& plan, const RunParts& parts, std::string* error);
    void addOverlay(const RunParts& parts, RunHooks& hooks);
    void addKeys(const RunParts& parts);

    std::unique_ptr<MusicPlayer> music_;
    std::unique_ptr<MusicFollower> musicFollower_;
    std::unique_ptr<FrameClock> frameClock_;
    std::unique_ptr<Pacer> pacer_;
    std::vector<std::unique_ptr<FrameOutput>> outputs_;
    WindowTitle* title_ = nullptr;
    Screenshots* screenshots_ = nullptr;
    std::unique_ptr<WindowInput> input_;
    std::unique_ptr<KeyControls> keys_;
    WindowOutput* windowOutput_ = nullptr;
    std::unique_ptr<TimelineOverlay> overlay_;  // a window's, when ImGui could be set up
    std::unique_ptr<Player> player_;
};

}  // namespace glimmerq
