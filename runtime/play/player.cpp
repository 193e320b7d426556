#include "runtime/play/player.h"

#include "runtime/play/frame_fence.h"

#include <GL/gl.h>

#include <algorithm>

namespace glimmerq {

Player::Player(Timeline& timeline, const RenderTarget& target, Clock& clock, FrameClock& frameClock, Pacer& pacer,
               PlayerSettings settings)
    : timeline_(timeline), target_(target), clock_(clock), frameClock_(frameClock), pacer_(pacer),
      settings_(std::move(settings)) {}

void Player::restartAt(int64_t timeMs) {
    timeline_.rewind();
    frameClock_.restart(timeMs);
    pacer_.reset();
    framesSinceRestart_ = 0;
    for (PlaybackListener* l : listeners_) l->restarted(timeMs);
}

void Player::setPaused(bool paused) {
    if (paused == paused_) return;
    paused_ = paused;
    frameClock_.setPaused(paused);
    pacer_.reset();
    for (PlaybackListener* l : listeners_) l->pausedChanged(paused, frameClock_.currentMs());
}

bool Player::handle(const Commands& commands) {
    if (commands.quit) return false;
    if (commands.togglePause) setPaused(!paused_);
    const int64_t endMs = timeline_.endMs();
    if (commands.reload && settings_.reload && settings_.reload()) {
        restartAt(std::clamp<int64_t>(frameClock_.currentMs(), 0, timeline_.endMs()));
        drawWhilePaused_ = true;
    }
    if (commands.restart) {
        restartAt(0);
        drawWhilePaused_ = true;
    } else if (commands.seekMs != 0) {
        // A seek past the end stops just short of it, so there is a frame to see.
        const int64_t target = std::clamp<int64_t>(frameClock_.currentMs() + commands.seekMs, 0,
                                                   std::max<int64_t>(0, endMs - 1));
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
        if (controls_ && !handle(controls_->poll())) return finish(Outcome::Quit, error);
        if (paused_ && !drawWhilePaused_) {
            for (FrameOutput* output : outputs_) output->hold(target_);
            pacer_.wait();
            continue;
        }
        drawWhilePaused_ = false;
        pacer_.wait();
        const int64_t timeMs = frameClock_.nextFrameMs();
        for (PlaybackListener* l : listeners_) l->beforeFrame(timeMs);
        if (!timeline_.advance(timeMs)) {
            // A script that ends before its first frame would loop without ever drawing.
            if (!settings_.loop || framesSinceRestart_ == 0) return finish(Outcome::Ended, error);
            restartAt(0);
            continue;
        }
        if (!drawFrame(timeMs, error)) return finish(Outcome::Failed, error);
        fence.endFrame();
        if (settings_.maxFrames > 0 && frameIndex_ >= settings_.maxFrames) return finish(Outcome::Ended, error);
    }
}

}  // namespace glimmerq
