#include "runtime/sound/music_follower.h"

namespace glimmerq {

MusicFollower::MusicFollower(MusicPlayer& player, const Timeline& timeline, Clock& clock)
    : player_(player), timeline_(timeline), clock_(clock) {}

void MusicFollower::beforeFrame(int64_t timeMs) {
    if (paused_) return;  // a frame drawn while paused (after a seek) stays silent
    const int64_t now = clock_.nowMicros();
    const std::optional<MusicCue> wanted = musicAt(timeline_.script(), timeMs);
    if (!(wanted == cue_)) {
        cue_ = wanted;
        if (wanted)
            player_.play(wanted->member, timeMs - wanted->startMs, now);
        else
            player_.stop();
    }
    player_.pump(now);
}

// The picture waits for the clock, which the music gives: keep the device fed meanwhile.
void MusicFollower::frameHeld() {
    if (cue_) player_.pump(clock_.nowMicros());
}

// A seek that takes a while: the music it leaves stops at once, not when it lands.
void MusicFollower::seeking(int64_t, double) {
    cue_.reset();
    player_.stop();
}

void MusicFollower::restarted(int64_t) {
    // The next frame's cue starts the music again at the right place.
    cue_.reset();
    player_.stop();
}

// Paused, the sound stops at once; the first frame after resuming starts it again from
// where the picture is.
void MusicFollower::pausedChanged(bool paused, int64_t) {
    paused_ = paused;
    cue_.reset();
    player_.stop();
}

void MusicFollower::stopped() {
    cue_.reset();
    player_.stop();
}

std::optional<int64_t> MusicFollower::timelineMs(int64_t nowMicros) {
    if (!cue_ || !player_.playing()) return std::nullopt;
    const std::optional<int64_t> heard = player_.positionMs(nowMicros);
    if (!heard) return std::nullopt;
    return cue_->startMs + *heard;
}

}  // namespace glimmerq
