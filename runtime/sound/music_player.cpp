#include "runtime/sound/music_player.h"

#include "runtime/base/show_time.h"

#include <algorithm>
#include <cstdio>

namespace glimmerq {

namespace {

constexpr int64_t kDecodeChunkFrames = 4096;  // frames decoded per step of a fill
constexpr int kChannels = OggStream::kOutputChannels;
// Sample rates handed to the device (Hz); others are taken for a damaged file rather than
// blamed on the device.
constexpr int kMinRate = 8000;
constexpr int kMaxRate = 192000;

}  // namespace

MusicPlayer::MusicPlayer(const DataSource& data, std::unique_ptr<AudioDevice> device, MessageSink sink)
    : data_(data), device_(std::move(device)), sink_(std::move(sink)) {}

MusicPlayer::~MusicPlayer() {
    stop();
    if (device_ && deviceOpen_) device_->close();
}

void MusicPlayer::report(const std::string& line) {
    if (reported_.insert(line).second && sink_) sink_(line);
}

bool MusicPlayer::ensureDevice(int rate) {
    if (deviceFailed_) return false;
    if (deviceOpen_ && device_->rate() == rate) return true;
    if (deviceOpen_) device_->close();
    deviceOpen_ = false;
    std::string why;
    if (!device_->open(rate, kChannels, kPeriodFrames, &why)) {
        deviceFailed_ = true;
        report("no audio device (" + why + "); playing without sound");
        return false;
    }
    deviceOpen_ = true;
    return true;
}

bool MusicPlayer::play(const std::string& member, int64_t offsetMs, int64_t nowMicros) {
    stop();
    member_ = member;
    if (!device_) return false;
    const std::string where = data_.origin() + ": ";
    auto bytes = data_.read(member);
    if (!bytes) {
        report(where + "no member \"" + member + "\"; playing without sound");
        return false;
    }
    std::string why;
    auto stream = OggStream::open(std::move(*bytes), &why);
    if (!stream) {
        report(where + member + ": " + why + "; playing without sound");
        return false;
    }
    if (stream->sampleRate() < kMinRate || stream->sampleRate() > kMaxRate) {
        report(where + member + ": sample rate " + std::to_string(stream->sampleRate()) +
               " Hz not supported; playing without sound");
        return false;
    }
    if (!ensureDevice(stream->sampleRate())) return false;

    offsetMs_ = std::max<int64_t>(offsetMs, 0);
    const int64_t offsetFrames = offsetMs_ * stream->sampleRate() / 1000;
    if (offsetFrames >= stream->lengthFrames()) {
        finished_ = true;
        return true;
    }
    if (!stream->seek(offsetFrames, &why)) {
        report(where + member + ": " + why + " at " + formatShowTime(offsetMs_) + "; playing without sound");
        return false;
    }
    stream_ = std::move(stream);
    clock_ = std::make_unique<AudioClock>(stream_->sampleRate(), device_->periodFrames());
    clock_->restart(nowMicros);
    device_->flush();
    writtenFrames_ = 0;
    lastReportMicros_ = -1;
    lastConsumed_ = 0;
    lastProgressMicros_ = nowMicros;
    fill();
    device_->pause(false);
    return true;
}

void MusicPlayer::fill() {
    const int64_t aheadFrames = int64_t(stream_->sampleRate()) * kDecodeAheadMillis / 1000;
    while (!streamEnded_) {
        const int64_t want =
            std::min({aheadFrames - device_->bufferedFrames(), device_->writableFrames(), kDecodeChunkFrames});
        if (want <= 0) break;
        scratch_.resize(size_t(want * kChannels));
        std::string why;
        const int64_t got = stream_->readInt16(scratch_.data(), want, &why);
        if (got < 0) {
            const int64_t atMs = offsetMs_ + writtenFrames_ * 1000 / stream_->sampleRate();
            report(data_.origin() + ": " + member_ + ": " + why + " at " + formatShowTime(atMs) +
                   "; the rest plays without sound");
            streamEnded_ = true;
            break;
        }
        if (got == 0) {
            if (stream_->cutOff()) {
                const int64_t atMs = offsetMs_ + writtenFrames_ * 1000 / stream_->sampleRate();
                report(data_.origin() + ": " + member_ + ": cut off after " + formatShowTime(atMs) +
                       "; the music ends there");
            }
            streamEnded_ = true;
            break;
        }
        writtenFrames_ += device_->write(scratch_.data(), got);
    }
}

void MusicPlayer::pump(int64_t nowMicros) {
    if (!stream_) return;
    const AudioProgress progress = device_->progress();
    if (progress.atMicros >= 0 && progress.atMicros != lastReportMicros_) {
        clock_->report(progress.consumedFrames, progress.latencyFrames, progress.atMicros);
        lastReportMicros_ = progress.atMicros;
    }
    if (progress.consumedFrames != lastConsumed_) {
        lastConsumed_ = progress.consumedFrames;
        lastProgressMicros_ = nowMicros;
    } else if (progress.consumedFrames < writtenFrames_ && nowMicros - lastProgressMicros_ > kStallMicros) {
        report("the audio device stopped playing; playing without sound");
        deviceFailed_ = true;
        endTrack();
        return;
    }
    fill();
    const int64_t endMicros = writtenFrames_ * 1000000 / stream_->sampleRate();
    if (streamEnded_ && progress.consumedFrames >= writtenFrames_ && clock_->positionMicros(nowMicros) >= endMicros) {
        finished_ = true;
        endTrack();
    }
}

std::optional<int64_t> MusicPlayer::positionMs(int64_t nowMicros) {
    if (!stream_) return std::nullopt;
    return offsetMs_ + clock_->positionMicros(nowMicros) / 1000;
}

void MusicPlayer::endTrack() {
    if (device_ && deviceOpen_) {
        device_->pause(true);
        device_->flush();
    }
    stream_.reset();
    clock_.reset();
    streamEnded_ = false;
}

void MusicPlayer::stop() {
    endTrack();
    member_.clear();
    finished_ = false;
}

}  // namespace glimmerq
