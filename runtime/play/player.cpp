#include "runtime/play/player.h"

#include "runtime/play/frame_fence.h"

#include <GL/gl.h>

#include <algorithm>

namespace glimmerq {

namespace {

// A seek that takes longer than this says so (the title, the overlay).
constexpr int64_t kSeekNoticeMicros = 200000;

}  // namespace

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

Player::~Player() = default;

int64_t Player::playheadMs() const {
    return seeker_ && seeker_->seeking() ? seeker_->targetMs() : frameClock_.currentMs();
}

void Player::seekTo(int64_t timeMs) {
    if (settings_.playShowFrames) {
        // The show's frame nearest, but never the end's when the target was short of it.
        int64_t frame = seeker_->frameNearest(timeMs);
        if (timeMs < timeline_.endMs() && seeker_->frameMs(frame) >= timeline_.endMs() && frame > 0) --frame;
        timeMs = seeker_->frameMs(frame);
    }
    seekBeganMicros_ = clock_.nowMicros();
    seeker_->begin(timeMs);
    seekOn();
}

bool Player::seekOn() {
    const int64_t until = settings_.seekSliceMicros > 0 ? clock_.nowMicros() + settings_.seekSliceMicros : 0;
    if (seeker_->step(clock_, until)) {
        restartAt(seeker_->targetMs());
        return true;
    }
    if (clock_.nowMicros() - seekBeganMicros_ >= kSeekNoticeMicros) {
        for (PlaybackListener* l : listeners_) l->seeking(seeker_->targetMs(), seeker_->progress());
        for (FrameOutput* output : outputs_) output->hold(target_);
    }
    return false;
}

// The seeker has brought the show to timeMs: the clocks and the listeners follow.
void Player::restartAt(int64_t timeMs) {
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
    seeker_->keepPictureAt(range_ ? std::optional<int64_t>(range_->fromMs) : std::nullopt);
    for (PlaybackListener* l : listeners_) l->rangeChanged(range_);
}

// [ and ] move one end of the range to the playhead; the other end, when it is missing or
// on the wrong side, becomes the show's end or its beginning.
void Player::markRange(const Commands& commands) {
    if (commands.clearRange) setRange(std::nullopt);
    if (commands.range) setRange(commands.range);
    const int64_t here = playheadMs();
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
        seeker_->forget();
        seekTo(std::clamp<int64_t>(playheadMs(), 0, std::max<int64_t>(0, timeline_.endMs() - 1)));
        drawWhilePaused_ = true;
        setRange(range_);  // the new script may end inside it
    }
    markRange(commands);
    if (commands.restart) {
        seekTo(0);
        drawWhilePaused_ = true;
    } else if (commands.seekToMs || commands.seekMs != 0) {
        // A seek past the end stops just short of it, so there is a frame to see.
        const int64_t wanted = commands.seekToMs ? *commands.seekToMs : playheadMs() + commands.seekMs;
        const int64_t target = std::clamp<int64_t>(wanted, 0, std::max<int64_t>(0, endMs - 1));
        seekTo(target);
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
    seeker_->frameDrawn();
    if (finishEachFrame_) glFinish();
    frame.drawMicros = clock_.nowMicros() - frame.drawStartMicros;
    for (FrameOutput* output : outputs_)
        if (!output->write(frame, error)) return false;
    ++frameIndex_;
    ++framesSinceRestart_;
    return true;
}

std::optional<int64_t> Player::showFrameMs(int64_t clockMs) {
    if (!settings_.playShowFrames || !seeker_->exact()) return clockMs;
    const int64_t next = seeker_->position();
    const int64_t nearest = seeker_->frameNearest(clockMs);
    if (nearest + 1 < next) return std::nullopt;
    seeker_->skipTo(nearest);
    return seeker_->frameMs(std::max(nearest, next));
}

Player::Outcome Player::finish(Outcome outcome, std::string* error) {
    timeline_.stopAll();
    seeker_.reset();  // while the GL context is current
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
    seeker_ = std::make_unique<Seeker>(timeline_, target_, settings_.showFps);
    // Only keys and reloads seek once the run has begun (a loop goes back to the start).
    seeker_->keepPictures(!controls_.empty());
    seekTo(settings_.startMs);
    for (;;) {
        if (settings_.interrupted && settings_.interrupted()) return finish(Outcome::Interrupted, error);
        if (!controls_.empty() && !handle(pollControls())) return finish(Outcome::Quit, error);
        if (seeker_->seeking() && !seekOn()) continue;
        if (paused_ && !drawWhilePaused_) {
            for (FrameOutput* output : outputs_) output->hold(target_);
            pacer_.wait();
            continue;
        }
        pacer_.wait();
        const std::optional<int64_t> frameMs = showFrameMs(frameClock_.nextFrameMs());
        if (!frameMs) {
            for (PlaybackListener* l : listeners_) l->frameHeld();
            for (FrameOutput* output : outputs_) output->hold(target_);
            continue;
        }
        const int64_t timeMs = *frameMs;
        drawWhilePaused_ = false;
        // At least one frame after each restart: a range shorter than a frame still shows.
        if (range_ && timeMs >= range_->toMs && lastMs_ <= range_->toMs && framesSinceRestart_ > 0) {
            seekTo(range_->fromMs);
            continue;
        }
        for (PlaybackListener* l : listeners_) l->beforeFrame(timeMs);
        seeker_->frameStarting(timeMs);
        if (!timeline_.advance(timeMs)) {
            // A script that ends before its first frame would loop without ever drawing.
            if (framesSinceRestart_ == 0) return finish(Outcome::Ended, error);
            if (settings_.loop) {
                seekTo(0);
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
