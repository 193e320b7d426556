// player.h: the frame loop. One clock gives each frame its time, a pacer holds real-time
// runs to their rate, the timeline draws, and every output gets the frame.
//
//   Player player(timeline, target, clock, frameClock, pacer, settings);
//   player.addOutput(&pngFrames);            // window, PNG files, video, statistics, ...
//   player.addControls(&keys);               // pause, seek, restart, reload, quit; any number
//   player.addListener(&music);              // told of every frame, restart and pause
//   Player::Outcome outcome = player.run(&error);
//
// Which clock, pace and outputs a run gets is decided elsewhere (app/run_plan.h).
// Every way to a time (the start, a seek, Home, a loop, a range's wrap, the replay after a
// reload) goes through the seeker (seeker.h), so the first frame drawn there is the show's own.
// A real-time run plays the show's frames: each frame's time is the show frame nearest the
// clock's, and frames the clock passed over are played without drawing. A seek works in
// slices in real time (the keys stay live; one taking long tells the listeners how far it is).
// While paused nothing is drawn (the spins would move on): the outputs are asked to hold the
// picture. Every source of controls is polled once a frame, in the order they were added, and
// what they asked for is taken together. A marked range loops: a frame that reaches its end,
// coming from inside it or before it, goes back to its start, as --loop does at the end.
#pragma once

#include "runtime/base/clock.h"
#include "runtime/play/frame_clock.h"
#include "runtime/play/frame_output.h"
#include "runtime/play/pacer.h"
#include "runtime/play/seeker.h"
#include "runtime/display/render_target.h"
#include "runtime/script/timeline.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

// A stretch of the timeline the run loops in: [fromMs, toMs), toMs > fromMs.
struct LoopRange {
    int64_t fromMs = 0;
    int64_t toMs = 0;
    bool operator==(const LoopRange& o) const { return fromMs == o.fromMs && toMs == o.toMs; }
};

// What the person at the keyboard (or the mouse) asked for since the last look.
struct Commands {
    bool quit = false;
    bool togglePause = false;
    bool restart = false;
    bool reload = false;
    int64_t seekMs = 0;                // relative, negative = back
    std::optional<int64_t> seekToMs;   // absolute; wins over seekMs
    bool rangeStartHere = false;       // the loop range starts at the playhead
    bool rangeEndHere = false;         // ... ends at the playhead
    std::optional<LoopRange> range;    // a whole range, marked with the mouse
    bool clearRange = false;           // no loop range: play on

    // Takes in what a later source asked for: flags add up, two pause toggles cancel, seeks
    // add up, and the later absolute seek or range wins.
    void add(const Commands& later);
};

// Where commands come from: the keys, the overlay's mouse, an editor, a watched folder.
class Controls {
public:
    virtual ~Controls() = default;
    virtual Commands poll() = 0;
};

class PlaybackListener {
public:
    virtual ~PlaybackListener() = default;
    // Before the timeline is advanced to the frame's time.
    virtual void beforeFrame(int64_t /*timeMs*/) {}
    // The next frame shows timeMs: the run began, looped, or was seeked.
    virtual void restarted(int64_t /*timeMs*/) {}
    // A real-time run holds its last frame a moment for the clock to catch up with the show's
    // frames; what plays meanwhile (the music) plays on.
    virtual void frameHeld() {}
    // A seek to targetMs is under way and has taken long enough to say so; fraction 0 ... 1.
    virtual void seeking(int64_t /*targetMs*/, double /*fraction*/) {}
    virtual void pausedChanged(bool /*paused*/, int64_t /*timeMs*/) {}
    // The loop range was marked, moved or cleared (nullopt).
    virtual void rangeChanged(const std::optional<LoopRange>& /*range*/) {}
    // The run is over (ended, quit, failed or interrupted).
    virtual void stopped() {}
};

struct PlayerSettings {
    int64_t startMs = 0;
    // The show's frame rate: seeks land on the frames a fixed step from 0 at this rate draws.
    int showFps = 60;
    // Real time: every frame is one of the show's frames (see above).
    bool playShowFrames = false;
    // A seek works this long between looks at the keys; 0 = all at once.
    int64_t seekSliceMicros = 0;
    bool loop = false;
    int64_t maxFrames = 0;  // 0 = no limit
    // Called after each effect's DrawFrame (--check-gl); may be empty.
    std::function<void(const std::string& effect, int64_t timeMs)> afterEffect;
    // Asked once a frame; true ends the run as interrupted.
    std::function<bool()> interrupted;
    // Reloads the data; the timeline then replays to the current time. False keeps playing
    // what was there.
    std::function<bool()> reload;
    // Asked when the show reaches its end (without loop); true holds the last frame, as a
    // pause does, instead of ending: the person at the overlay keeps working.
    std::function<bool()> holdAtEnd;
};

class Player {
public:
    enum class Outcome { Ended, Quit, Interrupted, Failed };

    Player(Timeline& timeline, const RenderTarget& target, Clock& clock, FrameClock& frameClock, Pacer& pacer,
           PlayerSettings settings);
    ~Player();

    void addOutput(FrameOutput* output) { outputs_.push_back(output); }
    void addListener(PlaybackListener* listener) { listeners_.push_back(listener); }
    void addControls(Controls* controls) { controls_.push_back(controls); }

    // *error is set for Failed.
    Outcome run(std::string* error);
    int64_t framesWritten() const { return frameIndex_; }
    const std::optional<LoopRange>& range() const { return range_; }
    // While run() plays (for tests and measurements): what the seeks keep.
    const Seeker* seeker() const { return seeker_.get(); }

private:
    void seekTo(int64_t timeMs);
    bool seekOn();  // true when the seek under way is done
    void restartAt(int64_t timeMs);
    int64_t playheadMs() const;
    // The frame's time on the show's frames; nullopt: the clock is behind the last one drawn.
    std::optional<int64_t> showFrameMs(int64_t clockMs);
    void setPaused(bool paused);
    void markRange(const Commands& commands);
    void setRange(std::optional<LoopRange> range);
    Commands pollControls();
    bool handle(const Commands& commands);  // false: quit
    bool drawFrame(int64_t timeMs, std::string* error);  // false: an output failed
    Outcome finish(Outcome outcome, std::string* error);

    Timeline& timeline_;
    const RenderTarget& target_;
    Clock& clock_;
    FrameClock& frameClock_;
    Pacer& pacer_;
    PlayerSettings settings_;
    std::vector<FrameOutput*> outputs_;
    std::vector<PlaybackListener*> listeners_;
    std::vector<Controls*> controls_;
    std::unique_ptr<Seeker> seeker_;
    int64_t seekBeganMicros_ = 0;

    int64_t frameIndex_ = 0;         // frames drawn in the whole run
    int64_t framesSinceRestart_ = 0;
    bool paused_ = false;
    bool drawWhilePaused_ = false;   // one frame to show where a seek landed
    bool finishEachFrame_ = false;   // an output times the drawing: glFinish before the outputs
    std::optional<LoopRange> range_;
    int64_t lastMs_ = 0;             // the last frame's time, or where the run restarted
};

}  // namespace glimmerq
