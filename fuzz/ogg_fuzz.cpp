// Arbitrary bytes as a soundtrack member: opening gives a stream or a reason, and reading it
// through, seeking and reading again never crash, hang or overrun, whatever the pages claim.
#include "runtime/data/data_source.h"
#include "runtime/sound/ogg_stream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Enough to reach the end of any input within the size libFuzzer hands over, while a
// stream whose pages claim hours of sound stays quick.
constexpr int64_t kMaxFramesRead = 1 << 20;
constexpr int64_t kReadChunkFrames = 4096;

// Reads up to `limit` frames in chunks; traps when a read breaks its contract.
void readThrough(glimmerq::OggStream& stream, int64_t limit) {
    std::vector<int16_t> pcm(kReadChunkFrames * glimmerq::OggStream::kOutputChannels);
    std::string error;
    for (int64_t total = 0; total < limit;) {
        const int64_t before = stream.positionFrames();
        const int64_t got = stream.readInt16(pcm.data(), kReadChunkFrames, &error);
        if (got < -1 || got > kReadChunkFrames) __builtin_trap();
        if (got <= 0) break;
        if (stream.positionFrames() != before + got) __builtin_trap();
        total += got;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    glimmerq::MemoryDataSource source;
    source.put("fuzz.ogg", glimmerq::Bytes(data, data + size));
    auto bytes = source.read("fuzz.ogg");
    if (!bytes) __builtin_trap();
    std::string error;
    auto stream = glimmerq::OggStream::open(std::move(*bytes), &error);
    if (!stream) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    if (stream->sampleRate() <= 0 || stream->sourceChannels() <= 0 || stream->lengthFrames() <= 0) __builtin_trap();
    readThrough(*stream, kMaxFramesRead);

    const int64_t length = stream->lengthFrames();
    const int64_t targets[] = {0, length / 2, length - 1, length, length + 1, int64_t(size) * 7};
    for (int64_t target : targets) {
        if (!stream->seek(target, &error)) {
            if (error.empty()) __builtin_trap();
            continue;
        }
        if (target < length && stream->positionFrames() != target) __builtin_trap();
        readThrough(*stream, kReadChunkFrames * 4);
    }
    return 0;
}
