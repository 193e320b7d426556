// audio_device.h: where decoded sound goes: an output that takes interleaved int16 frames
// and says how far it has played them.
//
//   auto device = makeSdlAudioDevice();
//   std::string why;
//   if (!device->open(44100, 2, 1024, &why)) ...;      // why: SDL's reason, for the caller to report
//   device->write(pcm, device->writableFrames());      // from the main thread, as often as needed
//   device->pause(false);                              // opens paused; this starts it
//   AudioProgress p = device->progress();              // what AudioClock::report wants
//
// Every call comes from one thread (the main thread). The SDL device moves frames from its
// buffer to SDL in SDL's own audio callback thread, under SDL's device lock; the program
// starts no thread. When the buffer runs dry the device plays silence, and that silence is
// not counted as played. It does not decode, mix, resample (SDL converts to what the
// hardware wants) or survive a device that disappears mid-play (it goes quiet).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace glimmerq {

struct AudioProgress {
    int64_t consumedFrames = 0;  // frames written that the device has taken since open or flush
    int64_t latencyFrames = 0;   // how many of those it still held, unheard, when it last took some
    int64_t atMicros = -1;       // when it last took some (SDL: SteadyClock's time); -1 = not yet
};

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // Opens paused. rate in frames per second, periodFrames: frames per device callback.
    // False with a one-line reason when no device can be opened.
    virtual bool open(int rate, int channels, int periodFrames, std::string* error) = 0;
    virtual int rate() const = 0;
    virtual int channels() const = 0;
    virtual int periodFrames() const = 0;  // as obtained, which may differ from the request

    // Room in the device's buffer, in frames, and a write of up to that many frames
    // (interleaved, channels() values each). Returns the frames taken.
    virtual int64_t writableFrames() = 0;
    virtual int64_t write(const int16_t* interleaved, int64_t frames) = 0;
    // Frames written and not yet taken by the device.
    virtual int64_t bufferedFrames() = 0;
    virtual AudioProgress progress() = 0;

    virtual void pause(bool paused) = 0;
    // Drops every frame not yet taken and counts from 0 again (a seek or a new track).
    virtual void flush() = 0;
    virtual void close() = 0;
};

// SDL2's default output device, with a buffer of half a second (kSdlBufferMillis).
std::unique_ptr<AudioDevice> makeSdlAudioDevice();

}  // namespace glimmerq
