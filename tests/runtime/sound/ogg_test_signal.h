// ogg_test_signal.h: test signals for the audio tests: encodes a generated signal as Ogg
// Vorbis in memory, and measures the frequency and level of decoded interleaved audio.
//
//   auto bytes = encodeOgg(44100, 2, 44100, [](int channel, int64_t frame) { return 0.5f * ...; });
//   double hz = toneFrequency(pcm, 2, 0, rate);           // left channel, from zero crossings
//
// Quality 0.4 VBR, one logical stream, no comments beyond the vendor string.
#pragma once

#include "runtime/data/data_source.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

namespace glimmerq::test {

constexpr float kTestOggQuality = 0.4f;   // libvorbis VBR quality, -0.1..1
constexpr int kEncodeBlockFrames = 1024;  // frames handed to the encoder at a time
constexpr double kPi = 3.14159265358979323846;

inline Bytes encodeOgg(int rate, int channels, int64_t frames, const std::function<float(int, int64_t)>& signal) {
    Bytes out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, kTestOggQuality) != 0) std::abort();
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    ogg_page page;
    const auto append = [&](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    while (ogg_stream_flush(&stream, &page)) append(page);

    int64_t written = 0;
    bool finished = false;
    while (!finished) {
        const int64_t count = std::min<int64_t>(kEncodeBlockFrames, frames - written);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, int(count));
            for (int c = 0; c < channels; ++c)
                for (int64_t i = 0; i < count; ++i) buffer[c][i] = signal(c, written + i);
            vorbis_analysis_wrote(&dsp, int(count));
            written += count;
        } else {
            vorbis_analysis_wrote(&dsp, 0);  // end of stream
            finished = true;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) append(page);
            }
        }
    }
    while (ogg_stream_flush(&stream, &page)) append(page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

// A sine of the given frequency (Hz) and peak amplitude on every channel.
inline Bytes encodeSine(int rate, int channels, int64_t frames, double hz, float amplitude) {
    return encodeOgg(rate, channels, frames, [=](int, int64_t frame) {
        return float(amplitude * std::sin(2.0 * kPi * hz * double(frame) / rate));
    });
}

// Frequency (Hz) of a tone in one channel of interleaved samples, from its upward zero crossings.
template <typename Sample>
double toneFrequency(const std::vector<Sample>& interleaved, int channels, int channel, int rate) {
    const size_t frames = interleaved.size() / size_t(channels);
    size_t first = 0, last = 0, crossings = 0;
    for (size_t i = 1; i < frames; ++i) {
        if (interleaved[(i - 1) * channels + channel] < 0 && interleaved[i * channels + channel] >= 0) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : double(crossings - 1) * rate / double(last - first);
}

// Peak amplitude of a sine in one channel, from its RMS (so single outliers don't count).
template <typename Sample>
double tonePeak(const std::vector<Sample>& interleaved, int channels, int channel, double fullScale = 1.0) {
    const size_t frames = interleaved.size() / size_t(channels);
    double sum = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        const double v = double(interleaved[i * channels + channel]) / fullScale;
        sum += v * v;
    }
    return frames ? std::sqrt(2.0 * sum / double(frames)) : 0.0;
}

}  // namespace glimmerq::test
