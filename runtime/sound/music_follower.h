// music_follower.h: plays the music the script asks for in step with the timeline, and
// gives the timeline its time while the music sounds.
//
//   MusicFollower music(player, timeline, clock);
//   FollowingClock frameClock(clock, music);   // the picture follows what is heard
//   player.addListener(&music);                // starts, seeks, pauses and stops the music
//
// Each frame the script's cue for the frame's time is compared with what plays: a new cue
// starts its member at the matching offset (also after --start, a seek or a loop), no cue
// stops it. Between the end of a track and the next cue the wall clock carries the picture.
#pragma once

#include "runtime/base/clock.h"
#include "runtime/play/frame_clock.h"
#include "runtime/script/music_cue.h"
#include "runtime/sound/music_player.h"
#include "runtime/play/player.h"
#include "runtime/script/timeline.h"

#include <optional>

namespace glimmerq {

class MusicFollower : public PlaybackListener, public TimeSource {
public:
    MusicFollower(MusicPlayer& player, const Timeline& timeline, Clock& clock);

    void beforeFrame(int64_t timeMs) override;
    void restarted(int64_t timeMs) override;
    void seeking(int64_t targetMs, double fraction) override;
    void frameHeld() override;
    void pausedChanged(bool paused, int64_t timeMs) override;
    void stopped() override;
    std::optional<int64_t> timelineMs(int64_t nowMicros) override;

private:
    MusicPlayer& player_;
    const Timeline& timeline_;
    Clock& clock_;
    std::optional<MusicCue> cue_;  // what plays (or failed to), in timeline terms
    bool paused_ = false;
};

}  // namespace glimmerq
