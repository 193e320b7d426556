// waveform.h: a track's loudness over time, decimated once, for drawing under the ruler.
//
//   std::string why;
//   auto wave = Waveform::decode(std::move(oggBytes), &why);   // null + reason for bad data
//   Envelope e = wave->envelope(fromMs, toMs);                  // track time, 0 = its start
//   // e.minimum, e.maximum in [-1, 1]; e.rms in [0, 1]
//
// The track (ogg_stream.h) is decoded from start to end once, folded to mono, and kept as
// one minimum, maximum and RMS per kBucketMs of sound: about 24 KB a minute, however wide a
// view later asks. A damaged stream keeps what was read before the damage. Per frame, a
// drawing asks only for envelopes, each a handful of buckets; it never decodes. Decoding
// the show's 2.5 minutes takes a fraction of a second: do it once, when the script is read.
#pragma once

#include "runtime/data/data_source.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace glimmerq {

struct Envelope {
    float minimum = 0.0f;
    float maximum = 0.0f;
    float rms = 0.0f;
    bool empty = true;  // the range holds no sound
};

class Waveform {
public:
    static constexpr int64_t kBucketMs = 10;

    static std::unique_ptr<Waveform> decode(Bytes oggBytes, std::string* error);
    // Made from samples already at hand (mono, any rate), for tests and tools.
    static std::unique_ptr<Waveform> fromSamples(const std::vector<float>& mono, int sampleRate);

    int64_t lengthMs() const { return lengthMs_; }
    size_t bucketCount() const { return minimum_.size(); }

    // The envelope of [fromMs, toMs) of the track; empty outside it.
    Envelope envelope(int64_t fromMs, int64_t toMs) const;

private:
    class Builder;
    std::vector<float> minimum_, maximum_, rms_;
    int64_t lengthMs_ = 0;
};

// The decoded tracks of a script, by data-file member: one per distinct music line.
using Waveforms = std::map<std::string, std::shared_ptr<const Waveform>>;

}  // namespace glimmerq
