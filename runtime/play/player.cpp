#include "runtime/play/player.h"

#include "runtime/play/frame_fence.h"

#include <GL/gl.h>

#include <algorithm>

namespace glimmerq {

void Commands::add(const Commands& later) {
    quit = quit || later.quit;
    togglePause = togglePause != later.togglePause;
    restart = restart || later.restart;
    reload = reload || later.reload;
    seekMs += later.seekMs;
    if (later.seekToMs) seekToMs = later.seekToMs;
    rangeStartHere = rangeStartHere || later.rangeStartHere;
    rangeEndHere = rangeEndHere || later.rangeEndHere;
    if (later.range) range = later.range;
    clearRange = clearRange || later.clearRange;
}

Player::Player(Timeline& timeline, const RenderTarget& target, Clock& clock, FrameClock& frameClock, Pacer& pacer,
               PlayerSettings settings)
    : timeline_(timeline), target_(target), clock_(clock), frameClock_(frameClock), pacer_(pacer),
      settings_(std::move(settings)) {}

void Player::restartAt(int64_t timeMs) {
    timeline_.rewind();
    frameClock_.restart(timeMs);
    pacer_.reset();
    framesSinceRestart_ = 0;
    lastMs_ = timeMs;
    for (PlaybackListener* l : listeners_) l->restarted(timeMs);
}

void Player::setRange(std::optional<LoopRange> range) {
    if (range) {
        range->fromMs = std::clamp<int64_t>(range->fromMs, 0, timeline_.endMs());
        range->toMs = std::clamp<int64_t>(range->toMs, 0, timeline_.endMs());
        if (range->toMs <= range->fromMs) range.reset();
    }
    if (range == range_) return;
    range_ = range;
    for (PlaybackListener* l : listeners_) l->rangeChanged(range_);
}

// [ and ] move one end of the range to the playhead; the other end, when it is missing or
// on the wrong side, becomes the show's end or its beginning.
void Player::markRange(const Commands& commands) {
    if (commands.clearRange) setRange(std::nullopt);
    if (commands.range) setRange(commands.range);
    const int64_t here = frameClock_.currentMs();
    if (commands.rangeStartHere) {
        const bool endAfter = range_ && range_->toMs > here;
        setRange(LoopRange{here, endAfter ? range_->toMs : timeline_.endMs()});
    }
    if (commands.rangeEndHere) {
        const bool startBefore = range_ && range_->fromMs < here;
        setRange(LoopRange{startBefore ? range_->fromMs : 0, here});
    }
}

void Player::setPaused(bool paused) {
    if (paused == paused_) return;
    paused_ = paused;
    frameClock_.setPaused(paused);
    pacer_.reset();
    for (PlaybackListener* l : listeners_) l->pausedChanged(paused, frameClock_.currentMs());
}

Commands Player::pollControls() {
    Commands commands;
    for (Controls* controls : controls_) commands.add(controls->poll());
    return commands;
}

bool Player::handle(const Commands& commands) {
    if (commands.quit) return false;
    if (commands.togglePause) setPaused(!paused_);
    const int64_t endMs = timeline_.endMs();
    if (commands.reload && settings_.reload && settings_.reload()) {
        restartAt(std::clamp<int64_t>(frameClock_.currentMs(), 0, timeline_.endMs()));
        drawWhilePaused_ = true;
        setRange(range_);  // the new script may end inside it
    }
    markRange(commands);
    if (commands.restart) {
        restartAt(0);
        drawWhilePaused_ = true;
    } else if (commands.seekToMs || commands.seekMs != 0) {
        // A seek past the end stops just short of it, so there is a frame to see.
        const int64_t wanted = commands.seekToMs ? *commands.seekToMs : frameClock_.currentMs() + commands.seekMs;
        const int64_t target = std::clamp<int64_t>(wanted, 0, std::max<int64_t>(0, endMs - 1));
        restartAt(target);
        drawWhilePaused_ = true;
    }
    return true;
}

bool Player::drawFrame(int64_t timeMs, std::string* error) {
    Frame frame;
    frame.index = frameIndex_;
    frame.timeMs = timeMs;
    frame.target = &target_;
    frame.drawStartMicros = clock_.nowMicros();
    frame.effects = timeline_.runningCombination();
    timeline_.draw(timeMs, [&](const std::string& name) {
        if (settings_.afterEffect) settings_.afterEffect(name, timeMs);
    });
    if (finishEachFrame_) glFinish();
    frame.drawMicros = clock_.nowMicros() - frame.drawStartMicros;
    for (FrameOutput* output : outputs_)
        if (!output->write(frame, error)) return false;
    ++frameIndex_;
    ++framesSinceRestart_;
    return true;
}

Player::Outcome Player::finish(Outcome outcome, std::string* error) {
    timeline_.stopAll();
    for (PlaybackListener* l : listeners_) l->stopped();
    if (outcome == Outcome::Ended || outcome == Outcome::Quit) {
        for (FrameOutput* output : outputs_)
            if (!output->finish(error)) {
                for (FrameOutput* o : outputs_) o->abort();
                return Outcome::Failed;
            }
    } else {
        for (FrameOutput* output : outputs_) output->abort();
    }
    return outcome;
}

Player::Outcome Player::run(std::string* error) {
    FrameFence fence;
    finishEachFrame_ = std::any_of(outputs_.begin(), outputs_.end(),
                                   [](const FrameOutput* output) { return output->timesDrawing(); });
    restartAt(settings_.startMs);
    for (;;) {
        if (settings_.interrupted && settings_.interrupted()) return finish(Outcome::Interrupted, error);
        if (!controls_.empty() && !handle(pollControls())) return finish(Outcome::Quit, error);
        if (paused_ && !drawWhilePaused_) {
            for (FrameOutput* output : outputs_) output->hold(target_);
            pacer_.wait();
            continue;
        }
        drawWhilePaused_ = false;
        pacer_.wait();
        const int64_t timeMs = frameClock_.nextFrameMs();
        // At least one frame after each restart: a range shorter than a frame still shows.
        if (range_ && timeMs >= range_->toMs && lastMs_ <= range_->toMs && framesSinceRestart_ > 0) {
            restartAt(range_->fromMs);
            continue;
        }
        for (PlaybackListener* l : listeners_) l->beforeFrame(timeMs);
        if (!timeline_.advance(timeMs)) {
            // A script that ends before its first frame would loop without ever drawing.
            if (framesSinceRestart_ == 0) return finish(Outcome::Ended, error);
            if (settings_.loop) {
                restartAt(0);
            } else if (settings_.holdAtEnd && settings_.holdAtEnd()) {
                for (FrameOutput* output : outputs_) output->hold(target_);
            } else {
                return finish(Outcome::Ended, error);
            }
            continue;
        }
        lastMs_ = timeMs;
        if (!drawFrame(timeMs, error)) return finish(Outcome::Failed, error);
        fence.endFrame();
        if (settings_.maxFrames > 0 && frameIndex_ >= settings_.maxFrames) return finish(Outcome::Ended, error);
    }
}

}  // namespace glimmerq
