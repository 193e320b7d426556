// The SDL output, mostly through SDL's disk driver, which writes what it plays into a file:
// headless, no sound card. These run in real time, for well under a second each.
#include "runtime/sound/audio_clock.h"
#include "runtime/sound/audio_device.h"
#include "runtime/sound/music_player.h"

#include "tests/runtime/sound/ogg_test_signal.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using glimmerq::AudioDevice;
using glimmerq::AudioProgress;
using glimmerq::MusicPlayer;
using namespace glimmerq::test;

namespace {

constexpr int kRate = 44100;
constexpr int kPeriod = MusicPlayer::kPeriodFrames;
constexpr auto kPumpInterval = std::chrono::milliseconds(5);
constexpr auto kPatience = std::chrono::seconds(5);   // for SDL's thread on a loaded machine

int64_t steadyMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Points SDL's audio at the disk driver (or another driver) for one test, and back.
class SdlAudio : public ::testing::Test {
protected:
    fs::path file = fs::temp_directory_path() / ("glimmerq-disk-audio-" + std::to_string(getpid()) + ".raw");

    void SetUp() override { useDriver("disk"); }
    void TearDown() override {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        std::error_code ec;
        fs::remove(file, ec);
    }
    void useDriver(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    }
    // The file as interleaved stereo int16 (the format the device was opened with).
    std::vector<int16_t> written() const {
        std::ifstream in(file, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
};

// 300 Hz in the track's first second, 600 Hz in its second, 900 Hz in its third.
glimmerq::Bytes steppedTone(int64_t frames) {
    return encodeOgg(kRate, 2, frames, [](int, int64_t frame) {
        const double hz = 300.0 * double(frame / kRate + 1);
        return float(0.5 * std::sin(2.0 * kPi * hz * double(frame) / kRate));
    });
}

std::vector<int16_t> framesOf(const std::vector<int16_t>& interleaved, size_t first, size_t count) {
    return std::vector<int16_t>(interleaved.begin() + long(first * 2), interleaved.begin() + long((first + count) * 2));
}

}  // namespace

TEST_F(SdlAudio, TakesWhatIsWrittenAndCountsNoSilence) {
    auto device = glimmerq::makeSdlAudioDevice();
    std::string error;
    ASSERT_TRUE(device->open(kRate, 2, kPeriod, &error)) << error;
    EXPECT_EQ(device->rate(), kRate);
    EXPECT_EQ(device->channels(), 2);
    EXPECT_GT(device->periodFrames(), 0);
    const int64_t capacity = device->writableFrames();
    EXPECT_GE(capacity, kRate / 4) << "room for a few hundred milliseconds";

    std::vector<int16_t> pcm(4000 * 2);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = int16_t(1000 + int(i % 2) * 1000);
    ASSERT_EQ(device->write(pcm.data(), 4000), 4000);
    EXPECT_EQ(device->bufferedFrames(), 4000);
    EXPECT_EQ(device->progress().atMicros, -1) << "nothing taken while paused";

    const int64_t before = steadyMicros();
    device->pause(false);
    const auto start = std::chrono::steady_clock::now();
    while (device->progress().consumedFrames < 4000 && std::chrono::steady_clock::now() - start < kPatience)
        std::this_thread::sleep_for(kPumpInterval);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a few more callbacks of silence
    const AudioProgress progress = device->progress();
    EXPECT_EQ(progress.consumedFrames, 4000);
    EXPECT_GT(progress.latencyFrames, 0);
    EXPECT_LE(progress.latencyFrames, device->periodFrames());
    EXPECT_GE(progress.atMicros, before);
    EXPECT_LE(progress.atMicros, steadyMicros());
    EXPECT_EQ(device->bufferedFrames(), 0);
    EXPECT_EQ(device->writableFrames(), capacity);
    device->close();

    // SDL's thread may have played silence before the device was resumed (its disk driver
    // writes that too); what was written follows it, whole, then silence again.
    const auto samples = written();
    const size_t lead = size_t(std::find_if(samples.begin(), samples.end(), [](int16_t v) { return v != 0; }) -
                               samples.begin());
    EXPECT_EQ(lead % 2, 0u) << "whole frames of silence";
    ASSERT_GE(samples.size(), lead + pcm.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), samples.begin() + long(lead))) << "what was written, in order";
    for (size_t i = lead + pcm.size(); i < samples.size(); ++i)
        ASSERT_EQ(samples[i], 0) << "silence after the buffer ran dry";
}

TEST_F(SdlAudio, ThePlayerPlaysATrackFromAnOffsetAndKnowsWhereItIs) {
    glimmerq::MemoryDataSource data;
    data.put("theme.ogg", steppedTone(kRate * 3));
    std::vector<std::string> messages;
    MusicPlayer player(data, glimmerq::makeSdlAudioDevice(), [&](const std::string& m) { messages.push_back(m); });
    ASSERT_TRUE(player.play("theme.ogg", 1600, steadyMicros()));
    // Until 0.65 s of the track has been heard (a busy machine may take longer than that).
    const auto start = std::chrono::steady_clock::now();
    int64_t position = -1;
    int64_t lastQueryMicros = 0;
    while (std::chrono::steady_clock::now() - start < kPatience && position < 1600 + 650) {
        player.pump(steadyMicros());
        std::this_thread::sleep_for(kPumpInterval);
        lastQueryMicros = steadyMicros();
        position = player.positionMs(lastQueryMicros).value_or(-1);
    }
    player.stop();
    const double sinceQueryMs = double(steadyMicros() - lastQueryMicros) / 1000.0;
    ASSERT_TRUE(messages.empty()) << messages.front();

    const auto samples = written();
    const size_t frames = samples.size() / 2;
    ASSERT_GT(frames, size_t(kRate * 0.6)) << "the disk driver wrote too little";
    // The file holds what was taken up to stop(), ahead of what was heard by: the silent
    // period SDL starts with, the period the device holds and one in flight, what it took
    // after the last query, and a lag the clock closes gently rather than jump, at most
    // kResyncMicros (under the sanitizers on a loaded machine it reached four periods).
    const double takenMs = 1600.0 + 1000.0 * double(frames) / kRate;
    const double aheadMs = 3000.0 * kPeriod / kRate + sinceQueryMs + glimmerq::AudioClock::kResyncMicros / 1000.0;
    EXPECT_LE(double(position), takenMs + 1.0);
    EXPECT_GE(double(position), takenMs - aheadMs) << "taken up to " << takenMs << " ms";

    // 1.6 s..2 s of the track is 600 Hz, 2 s on is 900 Hz, both at half scale.
    const auto first = framesOf(samples, 200, size_t(kRate * 0.35));
    const auto second = framesOf(samples, size_t(kRate * 0.45), size_t(kRate * 0.05));
    EXPECT_NEAR(toneFrequency(first, 2, 0, kRate), 600.0, 3.0);
    EXPECT_NEAR(toneFrequency(second, 2, 1, kRate), 900.0, 10.0);
    EXPECT_NEAR(tonePeak(first, 2, 0, 32767.0), 0.5, 0.03);
}

TEST_F(SdlAudio, NoDeviceGivesSdlsReasonInOneLine) {
    useDriver("no-such-driver");
    auto device = glimmerq::makeSdlAudioDevice();
    std::string error;
    EXPECT_FALSE(device->open(kRate, 2, kPeriod, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(device->writableFrames(), 0);

    glimmerq::MemoryDataSource data;
    data.put("theme.ogg", steppedTone(kRate / 10));
    std::vector<std::string> messages;
    MusicPlayer player(data, glimmerq::makeSdlAudioDevice(), [&](const std::string& m) { messages.push_back(m); });
    EXPECT_FALSE(player.play("theme.ogg", 0, steadyMicros()));
    EXPECT_EQ(messages, (std::vector<std::string>{"no audio device (" + error + "); playing without sound"}));
}

TEST_F(SdlAudio, ALibraryThatFindsNoSoundCardAddsNothingToTheOneLine) {
    // alsa-lib with an empty configuration knows no device and says so on stderr itself.
    const fs::path config = file.string() + ".asoundrc";
    std::ofstream(config) << "# no devices\n";
    useDriver("alsa");
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    glimmerq::MemoryDataSource data;
    data.put("theme.ogg", steppedTone(kRate / 10));
    std::vector<std::string> messages;
    MusicPlayer player(data, glimmerq::makeSdlAudioDevice(), [&](const std::string& m) { messages.push_back(m); });
    ::testing::internal::CaptureStderr();
    const bool played = player.play("theme.ogg", 0, steadyMicros());
    const std::string stderrText = ::testing::internal::GetCapturedStderr();
    unsetenv("ALSA_CONFIG_PATH");
    fs::remove(config);
    EXPECT_FALSE(played);
    EXPECT_EQ(stderrText, "");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("no audio device (", 0), 0u) << messages[0];
}
