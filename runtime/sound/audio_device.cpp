#include "runtime/sound/audio_device.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace glimmerq {

namespace {

// The device's own buffer: what the player may decode ahead of the sound, at most.
constexpr int64_t kSdlBufferMillis = 500;

// alsa-lib prints lines of its own on stderr when it finds no sound card; while the device
// opens they are sent to /dev/null, so that a missing device is told in the one line SDL's
// reason makes.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

int64_t steadyMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class SdlAudioDevice : public AudioDevice {
public:
    ~SdlAudioDevice() override { close(); }

    bool open(int rate, int channels, int periodFrames, std::string* error) override {
        close();
        QuietStderr quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            *error = SDL_GetError();
            return false;
        }
        subsystem_ = true;
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_S16SYS;
        want.channels = Uint8(channels);
        want.samples = Uint16(periodFrames);
        want.callback = &SdlAudioDevice::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No allowed changes: SDL converts our format to whatever the hardware takes.
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (id_ == 0) {
            *error = SDL_GetError();
            close();
            return false;
        }
        rate_ = rate;
        channels_ = channels;
        periodFrames_ = have.samples ? have.samples : periodFrames;
        ring_.assign(size_t(std::max<int64_t>(rate * kSdlBufferMillis / 1000, periodFrames_)) * size_t(channels), 0);
        readFrame_ = 0;
        storedFrames_ = 0;
        progress_ = AudioProgress{};
        return true;
    }

    int rate() const override { return rate_; }
    int channels() const override { return channels_; }
    int periodFrames() const override { return periodFrames_; }

    int64_t writableFrames() override {
        if (!id_) return 0;
        SDL_LockAudioDevice(id_);
        const int64_t room = capacityFrames() - storedFrames_;
        SDL_UnlockAudioDevice(id_);
        return room;
    }

    int64_t write(const int16_t* interleaved, int64_t frames) override {
        if (!id_) return 0;
        SDL_LockAudioDevice(id_);
        const int64_t capacity = capacityFrames();
        const int64_t taken = std::min(frames, capacity - storedFrames_);
        for (int64_t i = 0; i < taken; ++i) {
            const int64_t slot = (readFrame_ + storedFrames_ + i) % capacity;
            std::memcpy(&ring_[size_t(slot * channels_)], interleaved + i * channels_, sizeof(int16_t) * size_t(channels_));
        }
        storedFrames_ += taken;
        SDL_UnlockAudioDevice(id_);
        return taken;
    }

    int64_t bufferedFrames() override {
        if (!id_) return 0;
        SDL_LockAudioDevice(id_);
        const int64_t stored = storedFrames_;
        SDL_UnlockAudioDevice(id_);
        return stored;
    }

    AudioProgress progress() override {
        if (!id_) return {};
        SDL_LockAudioDevice(id_);
        const AudioProgress copy = progress_;
        SDL_UnlockAudioDevice(id_);
        return copy;
    }

    void pause(bool paused) override {
        if (id_) SDL_PauseAudioDevice(id_, paused ? 1 : 0);
    }

    void flush() override {
        if (!id_) return;
        SDL_LockAudioDevice(id_);
        readFrame_ = 0;
        storedFrames_ = 0;
        progress_ = AudioProgress{};
        SDL_UnlockAudioDevice(id_);
    }

    void close() override {
        if (id_) SDL_CloseAudioDevice(id_);
        id_ = 0;
        if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystem_ = false;
    }

private:
    int64_t capacityFrames() const { return int64_t(ring_.size()) / channels_; }

    // SDL's audio thread, with the device lock held.
    static void SDLCALL callback(void* userdata, Uint8* stream, int length) {
        auto* self = static_cast<SdlAudioDevice*>(userdata);
        const int64_t frameBytes = int64_t(sizeof(int16_t)) * self->channels_;
        const int64_t wanted = length / frameBytes;
        const int64_t given = std::min(wanted, self->storedFrames_);
        const int64_t capacity = self->capacityFrames();
        for (int64_t i = 0; i < given; ++i) {
            const int64_t slot = (self->readFrame_ + i) % capacity;
            std::memcpy(stream + i * frameBytes, &self->ring_[size_t(slot * self->channels_)], size_t(frameBytes));
        }
        std::memset(stream + given * frameBytes, 0, size_t(length - given * frameBytes));
        self->readFrame_ = (self->readFrame_ + given) % capacity;
        self->storedFrames_ -= given;
        if (given > 0) {
            // What was just handed over plays after this callback returns: one buffer's worth.
            self->progress_.consumedFrames += given;
            self->progress_.latencyFrames = given;
            self->progress_.atMicros = steadyMicros();
        }
    }

    SDL_AudioDeviceID id_ = 0;
    bool subsystem_ = false;
    int rate_ = 0;
    int channels_ = 2;
    int periodFrames_ = 0;
    // Guarded by SDL's device lock: the callback runs on SDL's thread.
    std::vector<int16_t> ring_;
    int64_t readFrame_ = 0;
    int64_t storedFrames_ = 0;
    AudioProgress progress_;
};

}  // namespace

std::unique_ptr<AudioDevice> makeSdlAudioDevice() { return std::make_unique<SdlAudioDevice>(); }

}  // namespace glimmerq
