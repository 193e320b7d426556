// audio_clock.h: what the listener hears now, from what an audio device reports now and then.
//
//   AudioClock clock(48000, 1024);              // sample rate, frames per device period
//   clock.restart(nowMicros);                   // playback (re)starts at frame 0
//   clock.report(consumed, latency, nowMicros); // whenever the device says how far it got
//   int64_t heard = clock.positionMicros(nowMicros);   // once per frame, from the main thread
//
// A report gives the frames the device has taken so far and how many of them it still holds
// (its latency): the difference has been heard. Between reports the position runs on with
// the wall clock, but never past what the device was holding at the last report, nor more
// than one period past what it had played then when it claims to hold less (a device that
// stops reporting has stopped playing), never backward (a report behind the estimate holds
// the position until the sound catches up), and when a report is ahead it catches up at
// most kCatchUpSpeed times real time, so pictures that follow it never jump. Only an error
// above kResyncMicros is corrected at once. Pure arithmetic: no device, no locks, no clock
// of its own; one owner calls it.
#pragma once

#include <cstdint>

namespace glimmerq {

class AudioClock {
public:
    // Speed (times real time) at which the position closes a gap to a report that is ahead.
    static constexpr double kCatchUpSpeed = 1.5;
    // A gap larger than this (in microseconds) is closed at once rather than gradually.
    static constexpr int64_t kResyncMicros = 100000;

    AudioClock(int sampleRate, int periodFrames);

    // Forgets every report: the position is 0 at nowMicros and runs on from there.
    void restart(int64_t nowMicros);
    // consumedFrames: frames the device has taken since the restart; latencyFrames: how many
    // of them it still holds, not yet heard.
    void report(int64_t consumedFrames, int64_t latencyFrames, int64_t nowMicros);
    // Microseconds of sound heard since the restart, at nowMicros (which must not go back).
    int64_t positionMicros(int64_t nowMicros);

private:
    double estimateFrames(int64_t nowMicros) const;

    double rate_;              // frames per second
    double periodFrames_;
    double heardAtReport_ = 0.0;   // frames heard when the last report came
    double reachAtReport_ = 0.0;   // the most frames that can have been heard before the next
    int64_t reportMicros_ = 0;
    double lastFrames_ = 0.0;      // the position last returned, in frames
    int64_t lastMicros_ = 0;
};

}  // namespace glimmerq
