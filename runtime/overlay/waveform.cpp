#include "runtime/overlay/waveform.h"

#include "runtime/sound/ogg_stream.h"

#include <algorithm>
#include <cmath>

namespace glimmerq {

namespace {

constexpr int64_t kReadFrames = 4096;  // decoded at a time
constexpr int64_t kMsPerSecond = 1000;

}  // namespace

// Folds samples into buckets of exactly kBucketMs: bucket b holds frames from
// b * rate * kBucketMs / 1000 on, so buckets never drift against the timeline.
class Waveform::Builder {
public:
    Builder(Waveform& wave, int sampleRate) : wave_(wave), sampleRate_(sampleRate) { boundary_ = nextBoundary(); }

    void add(float sample) {
        if (frame_ == boundary_) flush();
        low_ = std::min(low_, sample);
        high_ = std::max(high_, sample);
        squares_ += double(sample) * sample;
        ++count_;
        ++frame_;
    }
    void finish() {
        if (count_ > 0) flush();
        wave_.lengthMs_ = frame_ * kMsPerSecond / sampleRate_;
    }

private:
    int64_t nextBoundary() const {
        return int64_t(wave_.minimum_.size() + 1) * sampleRate_ * Waveform::kBucketMs / kMsPerSecond;
    }
    void flush() {
        wave_.minimum_.push_back(count_ ? low_ : 0.0f);
        wave_.maximum_.push_back(count_ ? high_ : 0.0f);
        wave_.rms_.push_back(count_ ? float(std::sqrt(squares_ / double(count_))) : 0.0f);
        low_ = 1.0f;
        high_ = -1.0f;
        squares_ = 0.0;
        count_ = 0;
        boundary_ = nextBoundary();
    }

    Waveform& wave_;
    int sampleRate_;
    int64_t frame_ = 0, boundary_ = 0, count_ = 0;
    float low_ = 1.0f, high_ = -1.0f;
    double squares_ = 0.0;
};

std::unique_ptr<Waveform> Waveform::decode(Bytes oggBytes, std::string* error) {
    auto track = OggStream::open(std::move(oggBytes), error);
    if (!track) return nullptr;
    auto wave = std::make_unique<Waveform>();
    Builder builder(*wave, track->sampleRate());
    std::vector<float> pcm(size_t(kReadFrames) * OggStream::kOutputChannels);
    for (;;) {
        std::string why;
        const int64_t got = track->readFloat(pcm.data(), kReadFrames, &why);
        if (got <= 0) break;  // the end, or damage: keep what came before
        for (int64_t i = 0; i < got; ++i) builder.add(0.5f * (pcm[size_t(2 * i)] + pcm[size_t(2 * i + 1)]));
    }
    builder.finish();
    return wave;
}

std::unique_ptr<Waveform> Waveform::fromSamples(const std::vector<float>& mono, int sampleRate) {
    auto wave = std::make_unique<Waveform>();
    Builder builder(*wave, sampleRate);
    for (float sample : mono) builder.add(sample);
    builder.finish();
    return wave;
}

Envelope Waveform::envelope(int64_t fromMs, int64_t toMs) const {
    Envelope e;
    const int64_t first = std::max<int64_t>(0, fromMs / kBucketMs);
    const int64_t last = std::min<int64_t>(int64_t(minimum_.size()), (toMs + kBucketMs - 1) / kBucketMs);
    double squares = 0.0;
    for (int64_t b = first; b < last; ++b) {
        const size_t i = size_t(b);
        e.minimum = e.empty ? minimum_[i] : std::min(e.minimum, minimum_[i]);
        e.maximum = e.empty ? maximum_[i] : std::max(e.maximum, maximum_[i]);
        squares += double(rms_[i]) * rms_[i];
        e.empty = false;
    }
    if (!e.empty) e.rms = float(std::sqrt(squares / double(last - first)));
    return e;
}

}  // namespace glimmerq
