// seeker.h: brings the show to any moment exactly: the effects' state, the timeline, GL's state
// and the picture are those a run playing from the beginning at the same frame rate has there.
//
//   Seeker seeker(timeline, target, 60);    // right before the first frame
//   seeker.begin(targetMs);                 // the next frame drawn shows targetMs
//   while (!seeker.step(clock, untilMicros)) ...   // a slice at a time; progress() says how far
//   seeker.frameStarting(timeMs); ... seeker.frameDrawn();   // around every frame played
//
// The show's own frames are those of a fixed step from 0: frame n at round(n * 1000 / fps) ms.
// The effects move once per frame drawn, and GL's state and the picture carry over from frame
// to frame, so a moment is reached by playing the frames before it from the nearest state kept
// at or before it, with the rasterizer discarding everything: the effects and GL's state move
// on exactly and no pixel is filled. Only the picture is then missing. A frame that begins by
// clearing the whole picture (CEffectState::ClearsWholePicture) needs none of it, so the last
// frame before the target is drawn in full; where the picture carries over (trails, a
// letterbox's untouched rows), the seek draws every frame from the last one that cleared it, or
// starts from a picture kept there.
// Kept while playing and seeking, within kKeptBytes (the least recently used dropped first, the
// start never; what is dropped costs time, never exactness): the state before every
// kCheckpointEvery-th frame, a few kilobytes each; where the picture carries over, the picture
// (colour and depth) every kPictureEvery frames with the state that drew it; and the picture
// before a place asked for (a loop range's start), so returning there costs about one frame.
#pragma once

#include "runtime/base/clock.h"
#include "runtime/display/render_target.h"
#include "runtime/display/start_state.h"
#include "runtime/play/effect_states.h"
#include "runtime/script/timeline.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace glimmerq {

// What a seek under way says where the person looks: "seeking to 1:44 … 40 %" (with "..." for
// a font without the ellipsis).
std::string seekingText(int64_t targetMs, double fraction, bool asciiOnly = false);

class Seeker {
public:
    static constexpr int64_t kCheckpointEvery = 30;   // frames between kept states
    static constexpr int64_t kPictureEvery = 90;      // frames between kept pictures
    static constexpr size_t kKeptBytes = 128u << 20;  // all kept states and pictures together

    // Takes the start: the effects as set up, GL's state and the black picture. keptBytes
    // bounds what is kept besides the start.
    Seeker(Timeline& timeline, const RenderTarget& target, int fps, size_t keptBytes = kKeptBytes);
    ~Seeker();

    int fps() const { return fps_; }
    // The show's frame n, in ms; how many frames come before a time; the frame nearest to it.
    int64_t frameMs(int64_t frame) const { return fixedStepMs(frame, fps_); }
    int64_t framesBefore(int64_t timeMs) const;
    int64_t frameNearest(int64_t timeMs) const;

    // Starts bringing the show to timeMs: every frame before it is played; the next frame
    // drawn is the caller's, at timeMs. A begin while a seek is under way replaces it.
    void begin(int64_t timeMs);
    // Works on until done (true) or until the clock passes untilMicros (0: to the end).
    bool step(Clock& clock, int64_t untilMicros);
    bool seeking() const { return seeking_; }
    int64_t targetMs() const { return targetMs_; }
    double progress() const;  // 0 ... 1 of the work planned so far

    // Around every frame the caller draws (not those of a seek): frameStarting before the
    // timeline advances to timeMs, frameDrawn after the last layer.
    void frameStarting(int64_t timeMs);
    void frameDrawn();
    // Plays the show's frames from here up to (not including) `frame` without drawing them:
    // a real-time run that fell behind keeps the effects where the show is.
    void skipTo(int64_t frame);
    // Whether the state is the show's before frame position() (false after a frame off the
    // show's frames), and whether the picture is too.
    bool exact() const { return exact_; }
    bool pictureExact() const { return exact_ && pictureExact_; }
    int64_t position() const { return position_; }

    // Keeps the picture before the frame at timeMs when a run passes it (nullopt: none).
    void keepPictureAt(std::optional<int64_t> timeMs);
    // Whether to keep a picture every kPictureEvery frames (the default). A run that never
    // seeks again (no keys, no reload) has no use for them, and each costs a copy of the
    // whole picture in the frame that keeps it; states, being small, are kept either way.
    void keepPictures(bool keep) { keepPictures_ = keep; }
    // The script or the effects changed: everything kept but the start is stale.
    void forget();

    // What the seeks have done so far (bench/seek says where their time goes).
    struct Counts {
        int64_t discarded = 0;       // frames played with the rasterizer discarding
        int64_t drawn = 0;           // frames drawn in full for a seek
        int64_t restored = 0;        // kept states put back
        int64_t pictures = 0;        // kept pictures put back
        int64_t retries = 0;         // seeks that drew again from the last clear
    };
    const Counts& counts() const { return counts_; }

    size_t keptBytes() const { return keptBytes_; }  // the start included
    size_t checkpointCount() const { return checkpoints_.size(); }
    size_t pictureCount() const { return pictures_.size(); }

private:
    struct Checkpoint {
        Timeline::Position timeline;
        EffectStates::Snapshot effects;
        int64_t lastClear = 0;  // the last frame before it that cleared the picture
        size_t bytes = 0;
        uint64_t lastUse = 0;
    };
    struct KeptPicture {
        Checkpoint before;  // the state before the frame that drew it
        RenderTarget copy;  // the picture after that frame
        uint64_t lastUse = 0;
    };
    // Frames [next, end) are still to play; those before drawFrom with the rasterizer off.
    struct Plan {
        int64_t next = 0;
        int64_t drawFrom = 0;
        int64_t end = 0;
        bool retried = false;  // the picture carried over: played again from its last clear
    };

    Checkpoint capture();
    void keep(int64_t frame);
    void keepPicture(int64_t frame);
    bool dropLeastUsed();  // false: only the start is left
    size_t pictureBytes() const;
    void restore(int64_t frame, Checkpoint& checkpoint);
    void restorePicture(int64_t frame, KeptPicture& picture);
    void playFrame(int64_t frame, bool drawn);
    void planFrom(int64_t target);
    void retryFromLastClear();

    Timeline& timeline_;
    const RenderTarget& target_;
    int fps_;
    EffectStates effects_;
    StartState start_;
    std::map<int64_t, Checkpoint> checkpoints_;  // by the frame they stand before
    std::map<int64_t, KeptPicture> pictures_;    // by the frame they stand before
    std::optional<Checkpoint> pending_;          // the state before the frame about to be drawn
    std::optional<int64_t> wantedPicture_;
    bool keepPictures_ = true;
    size_t keptBound_;
    size_t keptBytes_ = 0;
    uint64_t useCounter_ = 0;

    int64_t position_ = 0;      // the state stands before this frame of the show
    bool exact_ = true;
    bool pictureExact_ = true;  // the picture is the show's before position_
    int64_t lastClear_ = 0;     // the last frame before position_ that cleared the picture

    bool seeking_ = false;
    int64_t targetMs_ = 0;
    int64_t targetFrame_ = 0;
    Plan plan_;
    Counts counts_;
    double workDone_ = 0, workPlanned_ = 0;
};

}  // namespace glimmerq
