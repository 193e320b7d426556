// The track's envelope: decimated once, asked for by time ranges.
#include "runtime/overlay/waveform.h"

#include "tests/runtime/sound/ogg_test_signal.h"

#include <gtest/gtest.h>

using glimmerq::Envelope;
using glimmerq::Waveform;

TEST(Waveform, EnvelopesFollowTheSignalBucketByBucket) {
    constexpr int kRate = 8000;
    // A second of silence, then a second of a +-0.5 square wave, then a second at +0.25.
    std::vector<float> mono;
    for (int i = 0; i < kRate; ++i) mono.push_back(0.0f);
    for (int i = 0; i < kRate; ++i) mono.push_back((i / 20) % 2 ? 0.5f : -0.5f);
    for (int i = 0; i < kRate; ++i) mono.push_back(0.25f);
    const auto wave = Waveform::fromSamples(mono, kRate);
    EXPECT_EQ(wave->lengthMs(), 3000);
    EXPECT_EQ(wave->bucketCount(), 300u);

    struct Row { int64_t from, to; float minimum, maximum, rms; };
    const Row rows[] = {
        {0, 1000, 0.0f, 0.0f, 0.0f},
        {1000, 2000, -0.5f, 0.5f, 0.5f},
        {2000, 3000, 0.25f, 0.25f, 0.25f},
        {1500, 2500, -0.5f, 0.5f, 0.3953f},  // sqrt((0.25 + 0.0625) / 2)
        {1000, 1010, -0.5f, 0.5f, 0.5f},     // one bucket
        {995, 1005, -0.5f, 0.5f, 0.3536f},   // the buckets either side of the step: sqrt(0.25 / 2)
    };
    for (const Row& row : rows) {
        const Envelope e = wave->envelope(row.from, row.to);
        ASSERT_FALSE(e.empty) << row.from;
        EXPECT_FLOAT_EQ(e.minimum, row.minimum) << row.from << "-" << row.to;
        EXPECT_FLOAT_EQ(e.maximum, row.maximum) << row.from << "-" << row.to;
        EXPECT_NEAR(e.rms, row.rms, 1e-4) << row.from << "-" << row.to;
    }
    EXPECT_TRUE(wave->envelope(3000, 4000).empty);
    EXPECT_TRUE(wave->envelope(-500, 0).empty);
}

TEST(Waveform, DecodesAnOggTrackAndRefusesOtherBytes) {
    constexpr int kRate = 22050;
    // Quiet for half a second, then a loud tone for half a second.
    const auto bytes = glimmerq::test::encodeOgg(kRate, 2, kRate, [](int, int64_t frame) {
        return frame < kRate / 2 ? 0.0f : 0.8f * float(std::sin(2.0 * glimmerq::test::kPi * 440.0 * double(frame) / kRate));
    });
    std::string error;
    const auto wave = Waveform::decode(bytes, &error);
    ASSERT_TRUE(wave) << error;
    EXPECT_EQ(wave->lengthMs(), 1000);
    EXPECT_LT(wave->envelope(0, 400).rms, 0.01f);
    const Envelope loud = wave->envelope(600, 1000);
    EXPECT_NEAR(loud.rms, 0.8f / std::sqrt(2.0f), 0.05f);
    EXPECT_GT(loud.maximum, 0.7f);
    EXPECT_LT(loud.minimum, -0.7f);

    EXPECT_FALSE(Waveform::decode(glimmerq::Bytes{'n', 'o', 't', ' ', 'o', 'g', 'g'}, &error));
    EXPECT_FALSE(error.empty());
}
