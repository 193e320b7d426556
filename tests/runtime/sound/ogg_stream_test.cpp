// Decoding Ogg Vorbis from memory: what comes out, seeking, and damaged or foreign bytes.
#include "runtime/sound/ogg_stream.h"

#include "tests/runtime/sound/ogg_test_signal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using glimmerq::Bytes;
using glimmerq::OggStream;
using namespace glimmerq::test;

namespace {

constexpr int kRate = 44100;

std::unique_ptr<OggStream> openOrFail(Bytes bytes) {
    std::string error;
    auto stream = OggStream::open(std::move(bytes), &error);
    EXPECT_TRUE(stream) << error;
    return stream;
}

std::vector<float> readAll(OggStream& stream, int64_t chunk = 4096) {
    std::vector<float> all;
    std::vector<float> buffer(size_t(chunk) * 2);
    std::string error;
    for (;;) {
        const int64_t got = stream.readFloat(buffer.data(), chunk, &error);
        EXPECT_GE(got, 0) << error;
        if (got <= 0) break;
        all.insert(all.end(), buffer.begin(), buffer.begin() + got * 2);
    }
    return all;
}

std::vector<float> slice(const std::vector<float>& pcm, int64_t firstFrame, int64_t frames) {
    return std::vector<float>(pcm.begin() + firstFrame * 2, pcm.begin() + (firstFrame + frames) * 2);
}

// Frequency rising from 200 Hz to 2 kHz over a second: no two moments look alike.
float chirp(int, int64_t frame) {
    const double t = double(frame) / kRate;
    return float(0.5 * std::sin(2.0 * kPi * (200.0 * t + 900.0 * t * t)));
}

// A tone under deterministic noise: enough bits to fill many Ogg pages, as music does.
Bytes noisyTone(int64_t frames) {
    return encodeOgg(kRate, 2, frames, [](int channel, int64_t frame) {
        const uint32_t hash = uint32_t(frame * 2654435761u) ^ uint32_t(channel * 40503u);
        const float noise = float(hash % 2001) / 1000.0f - 1.0f;
        return float(0.4 * std::sin(2.0 * kPi * 440.0 * double(frame) / kRate)) + 0.05f * noise;
    });
}

// Byte offset of the first page after the Vorbis header pages (the third page).
size_t firstAudioPage(const Bytes& ogg) {
    int pages = 0;
    for (size_t i = 0; i + 4 <= ogg.size(); ++i)
        if (std::equal(ogg.begin() + long(i), ogg.begin() + long(i) + 4, "OggS") && ++pages == 3) return i;
    ADD_FAILURE() << "fewer than three pages";
    return ogg.size();
}

}  // namespace

TEST(OggStream, ReportsRateChannelsAndTheExactLength) {
    auto stereo = openOrFail(encodeSine(kRate, 2, 66150, 440.0, 0.5f));
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->sampleRate(), kRate);
    EXPECT_EQ(stereo->sourceChannels(), 2);
    EXPECT_EQ(stereo->lengthFrames(), 66150);
    EXPECT_EQ(stereo->positionFrames(), 0);

    auto mono = openOrFail(encodeSine(22050, 1, 5000, 440.0, 0.5f));
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->sampleRate(), 22050);
    EXPECT_EQ(mono->sourceChannels(), 1);
    EXPECT_EQ(mono->lengthFrames(), 5000);
    EXPECT_EQ(readAll(*mono).size(), 5000u * 2);
}

TEST(OggStream, DecodesEachSideAtItsFrequencyAndLevel) {
    auto stream = openOrFail(encodeOgg(kRate, 2, kRate, [](int channel, int64_t frame) {
        const double t = double(frame) / kRate;
        return channel == 0 ? float(0.5 * std::sin(2.0 * kPi * 440.0 * t)) : float(0.25 * std::sin(2.0 * kPi * 1000.0 * t));
    }));
    ASSERT_TRUE(stream);
    const auto pcm = readAll(*stream);
    ASSERT_EQ(pcm.size(), size_t(kRate) * 2);
    const auto middle = slice(pcm, kRate / 10, kRate * 8 / 10);
    EXPECT_NEAR(toneFrequency(middle, 2, 0, kRate), 440.0, 2.0);
    EXPECT_NEAR(toneFrequency(middle, 2, 1, kRate), 1000.0, 4.0);
    EXPECT_NEAR(tonePeak(middle, 2, 0), 0.5, 0.025);
    EXPECT_NEAR(tonePeak(middle, 2, 1), 0.25, 0.0125);
}

TEST(OggStream, MonoIsCopiedToBothSides) {
    auto stream = openOrFail(encodeSine(kRate, 1, kRate / 2, 600.0, 0.4f));
    ASSERT_TRUE(stream);
    const auto pcm = readAll(*stream);
    ASSERT_EQ(pcm.size(), size_t(kRate / 2) * 2);
    for (size_t i = 0; i < pcm.size(); i += 2) ASSERT_EQ(pcm[i], pcm[i + 1]) << "frame " << i / 2;
    EXPECT_NEAR(toneFrequency(pcm, 2, 1, kRate), 600.0, 3.0);
}

TEST(OggStream, Int16IsTheFloatSignalScaledToFullRange) {
    const Bytes bytes = encodeSine(kRate, 2, 10000, 440.0, 0.9f);
    auto asFloat = openOrFail(bytes);
    auto asInt = openOrFail(bytes);
    ASSERT_TRUE(asFloat && asInt);
    const auto reference = readAll(*asFloat);
    std::vector<int16_t> ints(10000 * 2);
    std::string error;
    ASSERT_EQ(asInt->readInt16(ints.data(), 10000, &error), 10000) << error;
    for (size_t i = 0; i < ints.size(); ++i)
        ASSERT_NEAR(ints[i], std::clamp(reference[i], -1.0f, 1.0f) * 32767.0f, 1.0) << "sample " << i;
    EXPECT_NEAR(tonePeak(ints, 2, 0, 32767.0), 0.9, 0.045);
}

TEST(OggStream, SmallReadsGiveTheSameSamplesAsOneLargeRead) {
    const Bytes bytes = encodeOgg(kRate, 2, 20000, chirp);
    auto whole = openOrFail(bytes);
    auto pieces = openOrFail(bytes);
    ASSERT_TRUE(whole && pieces);
    EXPECT_EQ(readAll(*pieces, 7), readAll(*whole, 1 << 16));
    EXPECT_EQ(pieces->positionFrames(), 20000);
}

TEST(OggStream, SeekLandsOnTheAskedFrame) {
    const Bytes bytes = encodeOgg(kRate, 2, kRate, chirp);
    auto sequential = openOrFail(bytes);
    auto seeking = openOrFail(bytes);
    ASSERT_TRUE(sequential && seeking);
    const auto reference = readAll(*sequential);
    constexpr int64_t kFrames = 512;
    std::vector<float> got(kFrames * 2);
    std::string error;
    for (int64_t at : {int64_t(30000), int64_t(0), int64_t(1), int64_t(12345), int64_t(kRate - kFrames)}) {
        ASSERT_TRUE(seeking->seek(at, &error)) << error;
        EXPECT_EQ(seeking->positionFrames(), at);
        ASSERT_EQ(seeking->readFloat(got.data(), kFrames, &error), kFrames) << "after seeking to " << at;
        const auto want = slice(reference, at, kFrames);
        float worst = 0.0f;
        for (size_t i = 0; i < got.size(); ++i) worst = std::max(worst, std::fabs(got[i] - want[i]));
        EXPECT_LT(worst, 1e-4f) << "after seeking to frame " << at;
        EXPECT_EQ(seeking->positionFrames(), at + kFrames);
    }
}

TEST(OggStream, SeekingToOrPastTheEndReadsNothingAndBeforeTheStartReadsFromZero) {
    auto stream = openOrFail(encodeOgg(kRate, 2, 8000, chirp));
    ASSERT_TRUE(stream);
    std::vector<float> buffer(100 * 2);
    std::string error;
    for (int64_t at : {int64_t(8000), int64_t(999999)}) {
        ASSERT_TRUE(stream->seek(at, &error)) << error;
        EXPECT_EQ(stream->readFloat(buffer.data(), 100, &error), 0) << "after seeking to " << at;
        EXPECT_EQ(stream->positionFrames(), 8000);
    }
    ASSERT_TRUE(stream->seek(-50, &error)) << error;
    EXPECT_EQ(stream->positionFrames(), 0);
    EXPECT_EQ(readAll(*stream).size(), 8000u * 2);
}

TEST(OggStream, RefusesGarbageEmptyAndCutOffHeadersWithAReason) {
    const Bytes good = encodeSine(kRate, 2, kRate, 440.0, 0.5f);
    std::mt19937 random(7);
    Bytes noise(20000);
    for (auto& b : noise) b = (unsigned char)(random() & 0xff);
    Bytes text = {'#', ' ', 'h', 'e', 'l', 'l', 'o', '\n'};
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"empty", {}},
        {"noise", noise},
        {"text", text},
        {"first 58 bytes", Bytes(good.begin(), good.begin() + 58)},
        {"first 200 bytes", Bytes(good.begin(), good.begin() + 200)},
        {"first 2000 bytes", Bytes(good.begin(), good.begin() + 2000)},
        {"headers without audio", Bytes(good.begin(), good.begin() + long(firstAudioPage(good)))},
    };
    for (const auto& [what, bytes] : cases) {
        std::string error;
        EXPECT_FALSE(OggStream::open(bytes, &error)) << what;
        EXPECT_FALSE(error.empty()) << what;
    }
    std::string error;
    OggStream::open(noise, &error);
    EXPECT_EQ(error, "not an Ogg Vorbis stream");
}

TEST(OggStream, ACutOffTrackPlaysWhatIsThereThenEnds) {
    const Bytes good = noisyTone(kRate * 2);
    auto stream = openOrFail(Bytes(good.begin(), good.begin() + good.size() / 2));
    ASSERT_TRUE(stream);
    const auto pcm = readAll(*stream);
    const int64_t frames = int64_t(pcm.size() / 2);
    EXPECT_GT(frames, kRate / 2);
    EXPECT_LT(frames, kRate * 2);
    EXPECT_LE(frames, stream->lengthFrames());
    EXPECT_TRUE(stream->cutOff());
    auto whole = openOrFail(good);
    ASSERT_TRUE(whole);
    EXPECT_FALSE(whole->cutOff());
}

TEST(OggStream, DamagedPagesInTheMiddleAreSkipped) {
    Bytes bytes = noisyTone(kRate * 2);
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 300; ++i) bytes[i] ^= 0x5a;
    auto stream = openOrFail(bytes);
    ASSERT_TRUE(stream);
    const auto pcm = readAll(*stream);
    const int64_t frames = int64_t(pcm.size() / 2);
    EXPECT_GT(frames, kRate) << "the pages after the damage should still play";
    EXPECT_LT(frames, kRate * 2) << "the damaged page cannot have played";
    EXPECT_NEAR(tonePeak(pcm, 2, 0), 0.4, 0.04);
}
