#include "runtime/sound/ogg_stream.h"

// The header's static callback tables are unused here and would only draw warnings.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace glimmerq {

namespace {

// Frames asked of the decoder per call when converting to int16 (a scratch buffer's size).
constexpr int64_t kConvertChunkFrames = 1024;
// The decoder counts frames in an int; larger requests are split.
constexpr int64_t kMaxFramesPerDecode = 1 << 20;

std::string describe(int code) {
    switch (code) {
    case OV_EREAD: return "read error";
    case OV_ENOTVORBIS: return "not an Ogg Vorbis stream";
    case OV_EVERSION: return "unsupported Vorbis version";
    case OV_EBADHEADER: return "damaged Vorbis header";
    case OV_EFAULT: return "decoder fault";
    case OV_EBADLINK: return "damaged stream (bad link)";
    case OV_ENOSEEK: return "stream cannot seek";
    case OV_EINVAL: return "damaged stream (invalid data)";
    case OV_EIMPL: return "unsupported stream feature";
    case OV_HOLE: return "damaged stream (data missing)";
    default: return "decoder error " + std::to_string(code);
    }
}

// Index of the front right channel in Vorbis channel order for `channels` channels
// (1: M; 2: L R; 3: L C R; 4: FL FR RL RR; 5..8: FL C FR ...).
int frontRightIndex(int channels) {
    if (channels == 1) return 0;
    if (channels == 2 || channels == 4 || channels > 8) return 1;
    return 2;
}

// An Ogg page: "OggS", version, flags, granule (8), serial (4), sequence (4), CRC (4),
// segment count, segment table, body.
constexpr size_t kPageHeaderBytes = 27;
constexpr unsigned char kEndOfStreamFlag = 0x04;

// True unless the last page in the bytes is whole and marks the end of the stream.
bool endsBeforeTheLastPage(const Bytes& bytes) {
    static const unsigned char kCapture[4] = {'O', 'g', 'g', 'S'};
    if (bytes.size() < kPageHeaderBytes) return true;
    for (size_t at = bytes.size() - 4 + 1; at-- > 0;) {
        if (std::memcmp(&bytes[at], kCapture, 4) != 0) continue;
        if (at + kPageHeaderBytes > bytes.size()) return true;
        const size_t segments = bytes[at + 26];
        if (at + kPageHeaderBytes + segments > bytes.size()) return true;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += bytes[at + kPageHeaderBytes + i];
        if (at + kPageHeaderBytes + segments + body > bytes.size()) return true;
        return (bytes[at + 5] & kEndOfStreamFlag) == 0;
    }
    return true;
}

}  // namespace

// The bytes and the decoder that reads them through the callbacks below; lives on the heap
// so the decoder's pointer to it stays valid.
struct OggStream::Impl {
    Bytes bytes;
    size_t cursor = 0;
    OggVorbis_File file;
    bool opened = false;
    bool atEnd = false;

    ~Impl() {
        if (opened) ov_clear(&file);
    }

    static size_t read(void* out, size_t size, size_t count, void* self) {
        auto* impl = static_cast<Impl*>(self);
        if (size == 0) return 0;
        const size_t items = std::min(count, (impl->bytes.size() - impl->cursor) / size);
        if (items) std::memcpy(out, impl->bytes.data() + impl->cursor, items * size);
        impl->cursor += items * size;
        return items;
    }

    static int seek(void* self, ogg_int64_t offset, int whence) {
        auto* impl = static_cast<Impl*>(self);
        const ogg_int64_t size = ogg_int64_t(impl->bytes.size());
        ogg_int64_t base = 0;
        if (whence == SEEK_CUR) base = ogg_int64_t(impl->cursor);
        else if (whence == SEEK_END) base = size;
        else if (whence != SEEK_SET) return -1;
        if (offset < -base || offset > size - base) return -1;
        impl->cursor = size_t(base + offset);
        return 0;
    }

    static long tell(void* self) { return long(static_cast<Impl*>(self)->cursor); }
};

OggStream::OggStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
OggStream::~OggStream() = default;

std::unique_ptr<OggStream> OggStream::open(Bytes bytes, std::string* error) {
    auto impl = std::make_unique<Impl>();
    impl->bytes = std::move(bytes);
    const ov_callbacks callbacks = {&Impl::read, &Impl::seek, nullptr, &Impl::tell};
    const int code = ov_open_callbacks(impl.get(), &impl->file, nullptr, 0, callbacks);
    if (code != 0) {
        *error = describe(code);
        return nullptr;
    }
    impl->opened = true;

    const vorbis_info* first = ov_info(&impl->file, 0);
    if (!first || first->rate <= 0 || first->channels <= 0) {
        *error = "damaged Vorbis header";
        return nullptr;
    }
    for (long link = 1; link < ov_streams(&impl->file); ++link) {
        const vorbis_info* info = ov_info(&impl->file, int(link));
        if (!info || info->rate != first->rate || info->channels != first->channels) {
            *error = "chained stream whose parts differ in rate or channels";
            return nullptr;
        }
    }
    const ogg_int64_t length = ov_pcm_total(&impl->file, -1);
    if (length < 0) {
        *error = "damaged stream (no length)";
        return nullptr;
    }
    if (length == 0) {
        *error = "no audio after the headers (cut off?)";
        return nullptr;
    }

    const bool cutOff = endsBeforeTheLastPage(impl->bytes);
    std::unique_ptr<OggStream> stream(new OggStream(std::move(impl)));
    stream->cutOff_ = cutOff;
    stream->sampleRate_ = int(first->rate);
    stream->channels_ = first->channels;
    stream->lengthFrames_ = int64_t(length);
    return stream;
}

bool OggStream::seek(int64_t frame, std::string* error) {
    frame = std::max<int64_t>(frame, 0);
    if (frame >= lengthFrames_) {
        impl_->atEnd = true;
        position_ = lengthFrames_;
        return true;
    }
    const int code = ov_pcm_seek(&impl_->file, ogg_int64_t(frame));
    if (code != 0) {
        *error = describe(code);
        return false;
    }
    impl_->atEnd = false;
    position_ = frame;
    return true;
}

int64_t OggStream::readFloat(float* out, int64_t frames, std::string* error) {
    if (impl_->atEnd) return 0;
    const int right = frontRightIndex(channels_);
    int64_t done = 0;
    while (done < frames) {
        float** pcm = nullptr;
        int link = 0;
        const int want = int(std::min(frames - done, kMaxFramesPerDecode));
        const long got = ov_read_float(&impl_->file, &pcm, want, &link);
        if (got == 0) {
            impl_->atEnd = true;
            break;
        }
        if (got == OV_HOLE) continue;  // a gap in damaged data: carry on after it
        if (got < 0) {
            *error = describe(int(got));
            return -1;
        }
        for (long i = 0; i < got; ++i) {
            out[2 * (done + i)] = pcm[0][i];
            out[2 * (done + i) + 1] = pcm[right][i];
        }
        done += got;
    }
    position_ += done;
    return done;
}

int64_t OggStream::readInt16(int16_t* out, int64_t frames, std::string* error) {
    float scratch[kConvertChunkFrames * kOutputChannels];
    int64_t done = 0;
    while (done < frames) {
        const int64_t got = readFloat(scratch, std::min(frames - done, kConvertChunkFrames), error);
        if (got < 0) return -1;
        for (int64_t i = 0; i < got * kOutputChannels; ++i) {
            const float clamped = std::clamp(scratch[i], -1.0f, 1.0f);
            out[done * kOutputChannels + i] = int16_t(std::lround(clamped * 32767.0f));
        }
        done += got;
        if (got == 0) break;
    }
    return done;
}

}  // namespace glimmerq
