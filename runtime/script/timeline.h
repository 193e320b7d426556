// timeline.h: plays a parsed script against the registered effects.
//
//   Timeline timeline(effects, script);
//   while (timeline.advance(nowMs)) {          // applies every event whose time has come
//       timeline.draw(nowMs, afterEffect);     // running effects, ascending layer, ties in start order
//   }
//
// Each run of an effect is bracketed: UploadTextures right before its first DrawFrame,
// ReleaseTextures after its last (when it stops, at the end, or when the timeline rewinds).
// A run that starts and stops without ever being drawn (a restored position passed over it) is
// never uploaded nor released. Null effects may be started; they are never called. `music` lines
// pass through untouched: the soundtrack follows the script through musicAt (music_cue.h).
#pragma once

#include "demogl/demogl.h"
#include "runtime/script/script.h"

#include <functional>
#include <string>
#include <vector>

namespace glimmerq {

struct RegisteredEffect {
    std::string name;
    CEffect* effect = nullptr;
};

class Timeline {
    struct Run {
        int effect;
        int layer;
        uint64_t order;  // start order, breaks ties between equal layers
        bool uploaded;
    };

public:
    // Where the timeline stands between two frames: the next event, what runs, what was drawn.
    class Position {
        friend class Timeline;

    public:
        size_t bytes() const { return sizeof *this + running.size() * sizeof(Run); }

    private:
        size_t next = 0;
        uint64_t startCounter = 0;
        bool ended = false;
        std::vector<Run> running;
    };

    Timeline(const std::vector<RegisteredEffect>& effects, Script script);

    // Applies, in file order, every event with time <= nowMs not applied yet.
    // Returns false once the `end` event has been applied.
    bool advance(int64_t nowMs);

    // Draws one frame: every running effect in order. afterEffect (may be empty) runs after
    // each DrawFrame with the effect's name.
    void draw(int64_t nowMs, const std::function<void(const std::string&)>& afterEffect = {});

    // Stops every running effect (releasing what was uploaded) and starts over at time 0.
    void rewind();
    // Stops every running effect, releasing what was uploaded.
    void stopAll();
    // Rewinds and plays another script from now on (a reloaded one).
    void replaceScript(Script script);

    Position position() const;
    // Stands where `position` was taken (in this script): a run that runs on keeps its
    // textures; the others are released, and the runs drawn before then are uploaded again,
    // which an effect's UploadTextures may take as a new run (its kept state is restored after).
    void restore(const Position& position);
    const Script& script() const { return script_; }
    const std::vector<RegisteredEffect>& effects() const { return effects_; }

    // Whether the last frame drawn began with an effect clearing the whole picture
    // (CEffectState::ClearsWholePicture), so that it shows nothing of the frames before it.
    bool lastFrameClearedPicture() const { return lastFrameCleared_; }

    // Names of the running effects in drawing order, joined by "+" ("CLEAR+CKREUZ").
    std::string runningCombination() const;
    bool ended() const { return ended_; }
    int64_t endMs() const { return script_.endMs(); }

private:
    void apply(const Event& event);
    void stop(int effect);

    const std::vector<RegisteredEffect>& effects_;
    Script script_;
    size_t next_ = 0;
    uint64_t startCounter_ = 0;
    bool ended_ = false;
    bool lastFrameCleared_ = false;
    std::vector<Run> running_;  // kept sorted by (layer, order)
};

}  // namespace glimmerq
