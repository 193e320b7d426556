// ogg_stream.h: an Ogg Vorbis track decoded a little at a time from bytes in memory.
//
//   std::string why;
//   auto track = OggStream::open(std::move(bytes), &why);   // null + reason for bad data
//   track->seek(track->sampleRate() * 30, &why);            // sample frame 30 s in
//   std::vector<float> pcm(2 * 4096);
//   int64_t got = track->readFloat(pcm.data(), 4096, &why);  // interleaved stereo; 0 at the end
//
// Output is always stereo: mono is copied to both sides; more than two channels keep the
// front pair (Vorbis channel order). Only what is asked for is decoded, so opening and the
// first read cost a few pages however long the track is. Errors are reasons without the
// file's name ("not an Ogg Vorbis stream"); the caller names the member. Holes in a damaged
// stream are skipped. It does not resample, mix, or handle chained streams whose links
// differ in rate or channel count (refused at open).
#pragma once

#include "runtime/data/data_source.h"

#include <cstdint>
#include <memory>
#include <string>

namespace glimmerq {

class OggStream {
public:
    static constexpr int kOutputChannels = 2;

    // Takes the bytes of a whole .ogg file; null with *error when they are not a usable
    // Ogg Vorbis stream (garbage, cut off inside the headers or before any audio).
    static std::unique_ptr<OggStream> open(Bytes bytes, std::string* error);
    ~OggStream();
    OggStream(const OggStream&) = delete;
    OggStream& operator=(const OggStream&) = delete;

    int sampleRate() const { return sampleRate_; }       // frames per second
    int sourceChannels() const { return channels_; }     // as encoded, before the stereo fold
    int64_t lengthFrames() const { return lengthFrames_; }
    int64_t positionFrames() const { return position_; } // next frame a read returns
    // True when the bytes stop before the stream's last page (a file cut off short): the
    // track then ends early, at the last whole page.
    bool cutOff() const { return cutOff_; }

    // Moves to a sample frame; positions at or past the end leave the stream at its end.
    // False with *error when the stream cannot seek there (corrupt pages).
    bool seek(int64_t frame, std::string* error);

    // Decodes up to `frames` stereo frames into out (2 * frames values). Returns the frames
    // written (fewer only at the end), or -1 with *error when the stream is unreadable.
    int64_t readFloat(float* out, int64_t frames, std::string* error);
    int64_t readInt16(int16_t* out, int64_t frames, std::string* error);

private:
    struct Impl;
    explicit OggStream(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
    int sampleRate_ = 0;
    int channels_ = 0;
    int64_t lengthFrames_ = 0;
    int64_t position_ = 0;
    bool cutOff_ = false;
};

}  // namespace glimmerq
