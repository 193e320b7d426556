// audio_fake_device.h: an AudioDevice that plays only when the test says so, and keeps
// everything it played, for the player and clock tests.
//
//   FakeAudioDevice device;                 // or device.failWith = "no such driver";
//   device.consume(1024, nowMicros);        // the "hardware" takes 1024 frames now
//   device.played                           // every frame taken, interleaved
#pragma once

#include "runtime/sound/audio_device.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace glimmerq::test {

class FakeAudioDevice : public AudioDevice {
public:
    // Settings, made before open.
    std::string failWith;          // non-empty: open fails with this reason
    int64_t capacityFrames = 22050;
    int64_t heldFrames = 1024;     // latency it reports after each take

    // What happened.
    std::vector<int16_t> played;
    int opens = 0;
    bool isOpen = false;
    bool paused = true;

    bool open(int rate, int channels, int periodFrames, std::string* error) override {
        ++opens;
        if (!failWith.empty()) {
            *error = failWith;
            return false;
        }
        rate_ = rate;
        channels_ = channels;
        period_ = periodFrames;
        isOpen = true;
        paused = true;
        flush();
        return true;
    }
    int rate() const override { return rate_; }
    int channels() const override { return channels_; }
    int periodFrames() const override { return period_; }
    int64_t writableFrames() override { return capacityFrames - bufferedFrames(); }
    int64_t write(const int16_t* interleaved, int64_t frames) override {
        const int64_t taken = std::min(frames, writableFrames());
        buffer_.insert(buffer_.end(), interleaved, interleaved + taken * channels_);
        return taken;
    }
    int64_t bufferedFrames() override { return int64_t(buffer_.size()) / channels_; }
    AudioProgress progress() override { return progress_; }
    void pause(bool p) override { paused = p; }
    void flush() override {
        buffer_.clear();
        progress_ = AudioProgress{};
    }
    void close() override { isOpen = false; }

    // The hardware takes up to `frames` frames at atMicros (nothing while paused or closed);
    // a dry buffer plays silence, which is not counted. Returns the frames of sound taken.
    int64_t consume(int64_t frames, int64_t atMicros) {
        if (!isOpen || paused) return 0;
        const int64_t given = std::min(frames, bufferedFrames());
        played.insert(played.end(), buffer_.begin(), buffer_.begin() + given * channels_);
        buffer_.erase(buffer_.begin(), buffer_.begin() + given * channels_);
        if (given > 0) {
            progress_.consumedFrames += given;
            progress_.latencyFrames = std::min(heldFrames, progress_.consumedFrames);
            progress_.atMicros = atMicros;
        }
        return given;
    }

private:
    int rate_ = 0;
    int channels_ = 2;
    int period_ = 0;
    std::deque<int16_t> buffer_;
    AudioProgress progress_;
};

}  // namespace glimmerq::test
