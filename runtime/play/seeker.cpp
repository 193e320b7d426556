#include "runtime/play/seeker.h"

#include "runtime/base/show_time.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace glimmerq {

namespace {

// What a frame played with the rasterizer discarding costs beside one drawn in full, for
// choosing where a seek starts and for its progress (bench/seek measures it).
constexpr double kDiscardedFrameCost = 0.1;

}  // namespace

std::string seekingText(int64_t targetMs, double fraction, bool asciiOnly) {
    const int percent = int(std::clamp(fraction, 0.0, 1.0) * 100.0);
    return "seeking to " + formatShowTime(targetMs, ShowTimeStyle::Short) + (asciiOnly ? " ... " : " \u2026 ") +
           std::to_string(percent) + " %";
}

Seeker::Seeker(Timeline& timeline, const RenderTarget& target, int fps, size_t keptBytes)
    : timeline_(timeline), target_(target), fps_(fps), effects_(timeline.effects()), start_(target),
      keptBound_(keptBytes) {
    keep(0);
}

Seeker::~Seeker() = default;

int64_t Seeker::framesBefore(int64_t timeMs) const {
    if (timeMs <= 0) return 0;
    int64_t frames = std::max<int64_t>(0, timeMs * fps_ / 1000 - 1);
    while (frameMs(frames) < timeMs) ++frames;
    return frames;
}

int64_t Seeker::frameNearest(int64_t timeMs) const {
    const int64_t after = framesBefore(timeMs);  // the first frame at or after timeMs
    if (after == 0) return 0;
    return timeMs - frameMs(after - 1) < frameMs(after) - timeMs ? after - 1 : after;
}

Seeker::Checkpoint Seeker::capture() {
    Checkpoint checkpoint;
    checkpoint.timeline = timeline_.position();
    checkpoint.effects = effects_.save();
    checkpoint.lastClear = lastClear_;
    checkpoint.bytes = sizeof checkpoint + EffectStates::bytesOf(checkpoint.effects) + checkpoint.timeline.bytes();
    checkpoint.lastUse = ++useCounter_;
    return checkpoint;
}

void Seeker::keep(int64_t frame) {
    auto found = checkpoints_.find(frame);
    if (found != checkpoints_.end()) {
        found->second.lastUse = ++useCounter_;
        return;
    }
    Checkpoint checkpoint = capture();
    keptBytes_ += checkpoint.bytes;
    checkpoints_.emplace(frame, std::move(checkpoint));
    while (keptBytes_ > keptBound_ && dropLeastUsed()) {}
}

size_t Seeker::pictureBytes() const {
    // Colour RGBA8 and depth 24 bits in 32.
    return size_t(target_.width()) * size_t(target_.height()) * 8;
}

void Seeker::keepPicture(int64_t frame) {
    if (!pending_ || pictures_.count(frame)) return;
    KeptPicture& picture = pictures_[frame];
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    std::string error;
    const bool made = picture.copy.create(target_.width(), target_.height(), &error);
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(framebuffer));
    if (!made) {
        pictures_.erase(frame);  // only slower seeks here
        return;
    }
    picture.copy.copyFrom(target_);
    picture.before = std::move(*pending_);
    pending_.reset();
    picture.lastUse = ++useCounter_;
    keptBytes_ += pictureBytes() + picture.before.bytes;
    while (keptBytes_ > keptBound_ && dropLeastUsed()) {}
}

// The state or picture used longest ago goes; the start stays, being where any seek can begin.
bool Seeker::dropLeastUsed() {
    auto checkpoint = checkpoints_.end();
    for (auto it = std::next(checkpoints_.begin()); it != checkpoints_.end(); ++it)
        if (checkpoint == checkpoints_.end() || it->second.lastUse < checkpoint->second.lastUse) checkpoint = it;
    auto picture = pictures_.end();
    for (auto it = pictures_.begin(); it != pictures_.end(); ++it)
        if (picture == pictures_.end() || it->second.lastUse < picture->second.lastUse) picture = it;
    const bool dropPicture = picture != pictures_.end() &&
                             (checkpoint == checkpoints_.end() || picture->second.lastUse < checkpoint->second.lastUse);
    if (dropPicture) {
        keptBytes_ -= pictureBytes() + picture->second.before.bytes;
        pictures_.erase(picture);
    } else if (checkpoint != checkpoints_.end()) {
        keptBytes_ -= checkpoint->second.bytes;
        checkpoints_.erase(checkpoint);
    } else {
        return false;  // the start alone: kept whatever the bound
    }
    return true;
}

void Seeker::restore(int64_t frame, Checkpoint& checkpoint) {
    ++counts_.restored;
    timeline_.restore(checkpoint.timeline);
    // After the timeline: an effect's UploadTextures may reset what its kept state restores.
    effects_.restore(checkpoint.effects);
    checkpoint.lastUse = ++useCounter_;
    position_ = frame;
    lastClear_ = checkpoint.lastClear;
    exact_ = true;
    pending_.reset();
    if (frame == 0) {
        start_.restore();
        pictureExact_ = true;
    } else {
        // GL's state and the picture are still those of the frame before the seek: playing a
        // frame brings the state, drawing from the last clear the picture.
        pictureExact_ = false;
    }
}

void Seeker::restorePicture(int64_t frame, KeptPicture& picture) {
    restore(frame - 1, picture.before);
    playFrame(frame - 1, false);
    target_.copyFrom(picture.copy);
    ++counts_.pictures;
    pictureExact_ = true;
    picture.lastUse = ++useCounter_;
}

void Seeker::frameStarting(int64_t timeMs) {
    pending_.reset();
    if (!exact_ || timeMs != frameMs(position_)) {
        exact_ = false;
        return;
    }
    if (position_ % kCheckpointEvery == 0) keep(position_);
    const int64_t next = position_ + 1;
    const bool pictureDue = (keepPictures_ && next % kPictureEvery == 0) || wantedPicture_ == next;
    if (pictureDue && !pictures_.count(next)) pending_ = capture();
}

void Seeker::frameDrawn() {
    if (!exact_) return;
    const bool cleared = timeline_.lastFrameClearedPicture();
    if (cleared) lastClear_ = position_;
    pictureExact_ = pictureExact_ || cleared;
    ++position_;
    // Pictures only where the picture carries over, or where one was asked for.
    if (pending_ && pictureExact_ && (!cleared || wantedPicture_ == position_)) keepPicture(position_);
    pending_.reset();
}

void Seeker::playFrame(int64_t frame, bool drawn) {
    const int64_t timeMs = frameMs(frame);
    frameStarting(timeMs);
    if (!drawn) glEnable(GL_RASTERIZER_DISCARD);
    const bool playing = timeline_.advance(timeMs);
    if (playing) timeline_.draw(timeMs);
    if (!drawn) glDisable(GL_RASTERIZER_DISCARD);
    if (drawn && playing) {
        frameDrawn();
    } else if (exact_) {
        if (playing && timeline_.lastFrameClearedPicture()) lastClear_ = frame;
        pictureExact_ = false;
        pending_.reset();
        ++position_;
    }
}

void Seeker::skipTo(int64_t frame) {
    while (exact_ && position_ < frame) playFrame(position_, false);
}

void Seeker::begin(int64_t timeMs) {
    seeking_ = true;
    targetMs_ = timeMs;
    targetFrame_ = framesBefore(timeMs);
    workDone_ = workPlanned_ = 0;
    plan_ = Plan{};
    planFrom(targetFrame_);
}

// The cheapest of: drawing on from here, a kept picture, or a kept state (or here) from which
// the frames are discarded up to the last one, which is drawn; if the picture carries over
// into the target, retryFromLastClear draws what it carries.
void Seeker::planFrom(int64_t target) {
    if (target == 0) {
        restore(0, checkpoints_.at(0));
        plan_ = {0, 0, 0, false};
        return;
    }
    const bool fromHere = exact_ && position_ <= target;
    const double hereCost = fromHere && pictureExact_ ? double(target - position_) : 1e300;

    auto picture = pictures_.upper_bound(target);
    const bool hasPicture = picture != pictures_.begin();
    if (hasPicture) --picture;
    const double pictureCost = hasPicture ? kDiscardedFrameCost + double(target - picture->first) : 1e300;

    // A state at least two frames back, or the start: the discarded frame before the drawn one
    // brings GL's state where the show has it.
    int64_t from = 0;
    for (const auto& kept : checkpoints_)
        if (kept.first <= target - 2) from = kept.first;
    const bool continueHere = fromHere && position_ >= from && (position_ <= target - 2 || position_ == 0);
    if (continueHere) from = position_;
    double keptCost = double(target - 1 - from) * kDiscardedFrameCost + 1.0;
    // Where the frame before the starting point did not clear the picture, it likely carries
    // over to the target too, and the retry draws from the last clear.
    const int64_t clearBefore = continueHere ? lastClear_ : checkpoints_.at(from).lastClear;
    if (from > 0 && clearBefore + 1 < from) keptCost += double(target - clearBefore);

    if (hereCost <= pictureCost && hereCost <= keptCost) {
        plan_ = {position_, position_, target, false};
        workPlanned_ = hereCost;
    } else if (pictureCost <= keptCost) {
        restorePicture(picture->first, picture->second);
        plan_ = {picture->first, picture->first, target, false};
        workPlanned_ = pictureCost;
    } else {
        if (!continueHere) restore(from, checkpoints_.at(from));
        plan_ = {from, target - 1, target, false};
        workPlanned_ = keptCost;
    }
}

// The picture before the target carries over from the last frame that cleared it: draw from
// there (or from a picture kept after it), having played at least one frame before it.
void Seeker::retryFromLastClear() {
    ++counts_.retries;
    const int64_t target = targetFrame_;
    const int64_t clear = lastClear_;
    auto picture = pictures_.upper_bound(target);
    if (picture != pictures_.begin() && std::prev(picture)->first > clear) {
        --picture;
        restorePicture(picture->first, picture->second);
        plan_ = {picture->first, picture->first, target, true};
        workPlanned_ += kDiscardedFrameCost + double(target - picture->first);
        return;
    }
    int64_t from = 0;
    for (const auto& kept : checkpoints_)
        if (kept.first <= clear - 1) from = kept.first;
    restore(from, checkpoints_.at(from));
    const int64_t drawFrom = from == 0 && clear == 0 ? 0 : clear;
    plan_ = {from, drawFrom, target, true};
    workPlanned_ += double(drawFrom - from) * kDiscardedFrameCost + double(target - drawFrom);
}

double Seeker::progress() const {
    if (!seeking_) return 1.0;
    return workPlanned_ > 0 ? std::min(1.0, workDone_ / workPlanned_) : 0.0;
}

bool Seeker::step(Clock& clock, int64_t untilMicros) {
    while (seeking_) {
        while (plan_.next < plan_.end) {
            if (untilMicros > 0 && clock.nowMicros() >= untilMicros) return false;
            const bool drawn = plan_.next >= plan_.drawFrom;
            playFrame(plan_.next++, drawn);
            workDone_ += drawn ? 1.0 : kDiscardedFrameCost;
            ++(drawn ? counts_.drawn : counts_.discarded);
        }
        if (pictureExact_ || plan_.retried || !exact_) break;
        retryFromLastClear();
    }
    seeking_ = false;
    return true;
}

void Seeker::keepPictureAt(std::optional<int64_t> timeMs) {
    wantedPicture_.reset();
    if (timeMs && framesBefore(*timeMs) > 0) wantedPicture_ = framesBefore(*timeMs);
}

void Seeker::forget() {
    while (checkpoints_.size() > 1) checkpoints_.erase(std::prev(checkpoints_.end()));
    pictures_.clear();
    pending_.reset();
    keptBytes_ = checkpoints_.begin()->second.bytes;
    exact_ = false;
}

}  // namespace glimmerq
