// frame_clock.h: gives every frame its timeline time. One clock drives a run.
//
//   FixedStepClock clock(60);            // --fps, --render, --video, --benchmark
//   WallClock clock(steadyClock);        // real time
//   clock.restart(startMs);              // the next frame shows startMs (start, loop, seek)
//   int64_t now = clock.nextFrameMs();   // once per drawn frame
//
// A FollowingClock runs on the wall clock and, while a source (the music) says where it is,
// takes its time from there; before and after, the wall clock carries on from the last time
// the source gave. None of them ever goes backward between restarts.
#pragma once

#include "runtime/base/clock.h"

#include <cstdint>
#include <optional>

namespace glimmerq {

class FrameClock {
public:
    virtual ~FrameClock() = default;
    // The timeline time of the frame about to be drawn, in milliseconds.
    virtual int64_t nextFrameMs() = 0;
    // The next frame shows timelineMs.
    virtual void restart(int64_t timelineMs) = 0;
    // A paused clock holds its time; resuming carries on from there.
    virtual void setPaused(bool paused) = 0;
    // The time the last frame showed (the restart time before the first).
    virtual int64_t currentMs() const = 0;
};

// Frame n after a restart at S shows S + round(n * 1000 / fps).
class FixedStepClock : public FrameClock {
public:
    explicit FixedStepClock(int fps) : fps_(fps) {}
    int64_t nextFrameMs() override;
    void restart(int64_t timelineMs) override;
    void setPaused(bool paused) override { paused_ = paused; }
    int64_t currentMs() const override { return currentMs_; }

private:
    int fps_;
    int64_t startMs_ = 0;
    int64_t frame_ = 0;  // frames drawn since the restart
    int64_t currentMs_ = 0;
    bool paused_ = false;
};

// Frames a fixed-step run begun at startMs draws before the show ends at endMs: those
// whose time, as FixedStepClock gives it, is below endMs. 0 when it starts at or past the end.
int64_t fixedStepFrameCount(int64_t startMs, int64_t endMs, int fps);

// Milliseconds of the source clock since the restart, held while paused.
class WallClock : public FrameClock {
public:
    explicit WallClock(Clock& source);
    int64_t nextFrameMs() override;
    void restart(int64_t timelineMs) override;
    void setPaused(bool paused) override;
    int64_t currentMs() const override { return currentMs_; }

private:
    int64_t readMs() const;

    Clock& source_;
    int64_t originMicros_ = 0;
    int64_t startMs_ = 0;
    int64_t currentMs_ = 0;
    bool paused_ = false;
};

// Where an outside time source (the music) says the timeline is, when it says.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual std::optional<int64_t> timelineMs(int64_t nowMicros) = 0;
};

class FollowingClock : public FrameClock {
public:
    FollowingClock(Clock& source, TimeSource& follow);
    int64_t nextFrameMs() override;
    void restart(int64_t timelineMs) override;
    void setPaused(bool paused) override;
    int64_t currentMs() const override { return wall_.currentMs(); }

private:
    Clock& source_;
    TimeSource& follow_;
    WallClock wall_;
    bool paused_ = false;
};

}  // namespace glimmerq
