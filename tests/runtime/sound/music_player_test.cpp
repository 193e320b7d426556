// The music player against a fake device: where it starts, what it says the listener hears,
// stopping, the end of a track, and every failure told once while the show plays on.
#include "runtime/sound/music_player.h"

#include "tests/runtime/sound/audio_fake_device.h"
#include "tests/runtime/sound/ogg_test_signal.h"

#include <gtest/gtest.h>

#include <cmath>

using glimmerq::Bytes;
using glimmerq::MemoryDataSource;
using glimmerq::MusicPlayer;
using namespace glimmerq::test;

namespace {

constexpr int kRate = 44100;
constexpr int64_t kFrameMicros = 16667;   // the picture's frame interval at 60 Hz
constexpr int64_t kPeriodMicros = int64_t(MusicPlayer::kPeriodFrames) * 1000000 / kRate;

// 300 Hz in the first second, 600 Hz in the second, 900 Hz in the third, and so on: what
// plays tells where in the track it came from.
Bytes steppedTone(int64_t frames) {
    return encodeOgg(kRate, 2, frames, [](int, int64_t frame) {
        const double hz = 300.0 * double(frame / kRate + 1);
        return float(0.5 * std::sin(2.0 * kPi * hz * double(frame) / kRate));
    });
}

// A tone under deterministic noise: many Ogg pages, as music has.
Bytes noisyTone(int64_t frames) {
    return encodeOgg(kRate, 2, frames, [](int channel, int64_t frame) {
        const uint32_t hash = uint32_t(frame * 2654435761u) ^ uint32_t(channel * 40503u);
        return float(0.4 * std::sin(2.0 * kPi * 440.0 * double(frame) / kRate)) +
               0.05f * (float(hash % 2001) / 1000.0f - 1.0f);
    });
}

std::vector<int16_t> framesOf(const std::vector<int16_t>& interleaved, int64_t first, int64_t count) {
    return std::vector<int16_t>(interleaved.begin() + first * 2, interleaved.begin() + (first + count) * 2);
}

class MusicPlayerTest : public ::testing::Test {
protected:
    MemoryDataSource data;
    FakeAudioDevice* device = nullptr;  // owned by the player
    std::vector<std::string> messages;
    std::unique_ptr<MusicPlayer> player;
    int64_t now = 1000000;
    int64_t nextTake = 0;

    void SetUp() override { makePlayer(); }

    void makePlayer(const std::string& failWith = "") {
        auto fake = std::make_unique<FakeAudioDevice>();
        fake->failWith = failWith;
        device = fake.get();
        player = std::make_unique<MusicPlayer>(data, std::move(fake),
                                               [this](const std::string& line) { messages.push_back(line); });
    }

    bool play(const std::string& member, int64_t offsetMs) {
        nextTake = now;
        return player->play(member, offsetMs, now);
    }

    // Runs the frame loop for `micros`: the device takes a period every period, the
    // picture pumps every frame.
    void run(int64_t micros, bool deviceRuns = true) {
        int64_t nextFrame = now;
        for (const int64_t end = now + micros; now < end; now += 1000) {
            if (deviceRuns && now >= nextTake) {
                device->consume(MusicPlayer::kPeriodFrames, now);
                nextTake += kPeriodMicros;
            }
            if (now >= nextFrame) {
                player->pump(now);
                nextFrame += kFrameMicros;
            }
        }
    }
};

}  // namespace

TEST_F(MusicPlayerTest, PlaysFromTheOffsetAndTellsWhereTheListenerIs) {
    data.put("theme.ogg", steppedTone(kRate * 3));
    ASSERT_TRUE(play("theme.ogg", 1500));
    EXPECT_TRUE(player->playing());
    EXPECT_EQ(player->member(), "theme.ogg");
    EXPECT_EQ(player->positionMs(now).value_or(-1), 1500);
    run(800000);
    // The device has heard 0.8 s, less the period it still holds.
    const int64_t position = player->positionMs(now).value_or(-1);
    EXPECT_NEAR(double(position), 1500.0 + 800.0, 1000.0 * MusicPlayer::kPeriodFrames / kRate + 2.0);
    ASSERT_GE(device->played.size(), size_t(kRate * 0.7) * 2);
    // 1.5 s..2 s of the track is the 600 Hz second, 2 s on the 900 Hz one.
    EXPECT_NEAR(toneFrequency(framesOf(device->played, 0, kRate / 2 - 100), 2, 0, kRate), 600.0, 3.0);
    EXPECT_NEAR(toneFrequency(framesOf(device->played, kRate / 2 + 100, kRate / 5), 2, 1, kRate), 900.0, 5.0);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(MusicPlayerTest, DecodesOnlyAFewHundredMillisecondsAhead) {
    data.put("theme.ogg", steppedTone(kRate * 3));
    ASSERT_TRUE(play("theme.ogg", 0));
    const int64_t aheadFrames = kRate * MusicPlayer::kDecodeAheadMillis / 1000;
    EXPECT_GT(device->bufferedFrames(), aheadFrames / 2) << "the device starts with sound in hand";
    EXPECT_LE(device->bufferedFrames(), aheadFrames);
    run(500000);
    EXPECT_LE(device->bufferedFrames(), aheadFrames);
    EXPECT_GT(device->bufferedFrames(), aheadFrames - kRate * (kFrameMicros + kPeriodMicros) / 1000000 - 1)
        << "kept topped up every frame";
}

TEST_F(MusicPlayerTest, StopSilencesAtOnce) {
    data.put("theme.ogg", steppedTone(kRate * 3));
    ASSERT_TRUE(play("theme.ogg", 0));
    run(200000);
    player->stop();
    EXPECT_FALSE(player->playing());
    EXPECT_FALSE(player->positionMs(now));
    EXPECT_EQ(player->member(), "");
    EXPECT_TRUE(device->paused);
    EXPECT_EQ(device->bufferedFrames(), 0);
    const size_t playedBefore = device->played.size();
    run(200000);
    EXPECT_EQ(device->played.size(), playedBefore) << "sound went on after stop()";
}

TEST_F(MusicPlayerTest, PlaysToTheEndThenFinishes) {
    data.put("short.ogg", steppedTone(kRate / 2));
    ASSERT_TRUE(play("short.ogg", 100));
    int64_t lastPosition = 0;
    for (int i = 0; i < 100 && player->playing(); ++i) {
        run(10000);
        if (auto ms = player->positionMs(now)) lastPosition = *ms;
    }
    EXPECT_TRUE(player->finished());
    EXPECT_FALSE(player->playing());
    EXPECT_FALSE(player->positionMs(now));
    EXPECT_EQ(player->member(), "short.ogg") << "the finished track is still the one the script asked for";
    EXPECT_EQ(device->played.size(), size_t(kRate / 2 - kRate / 10) * 2);
    EXPECT_GE(lastPosition, 450);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MusicPlayerTest, AnOffsetPastTheEndPlaysNothingWithoutComplaint) {
    data.put("short.ogg", steppedTone(kRate / 2));
    EXPECT_TRUE(play("short.ogg", 5000));
    EXPECT_TRUE(player->finished());
    EXPECT_FALSE(player->playing());
    run(100000);
    EXPECT_TRUE(device->played.empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(MusicPlayerTest, ANewPlayReplacesTheTrackAndKeepsTheDeviceWhileTheRateIsTheSame) {
    data.put("a.ogg", steppedTone(kRate * 3));
    data.put("b.ogg", steppedTone(kRate * 3));
    data.put("slow.ogg", encodeSine(22050, 1, 22050, 440.0, 0.5f));
    ASSERT_TRUE(play("a.ogg", 0));
    run(100000);
    ASSERT_TRUE(play("b.ogg", 2000));
    EXPECT_EQ(device->opens, 1);
    const size_t from = device->played.size() / 2;
    run(300000);
    EXPECT_NEAR(toneFrequency(framesOf(device->played, int64_t(from), kRate / 5), 2, 0, kRate), 900.0, 5.0);
    ASSERT_TRUE(play("slow.ogg", 0));
    EXPECT_EQ(device->opens, 2);
    EXPECT_EQ(device->rate(), 22050);
}

TEST_F(MusicPlayerTest, NoAudioDeviceIsToldOnceAndTheShowPlaysOnSilently) {
    makePlayer("ALSA: no such card");
    data.put("theme.ogg", steppedTone(kRate));
    EXPECT_FALSE(play("theme.ogg", 0));
    EXPECT_FALSE(player->playing());
    EXPECT_FALSE(player->positionMs(now));
    run(100000);
    EXPECT_FALSE(play("theme.ogg", 0));
    EXPECT_EQ(device->opens, 1) << "a device that failed is not tried again";
    EXPECT_EQ(messages, (std::vector<std::string>{"no audio device (ALSA: no such card); playing without sound"}));
}

TEST_F(MusicPlayerTest, AMissingMemberIsToldOncePerMember) {
    EXPECT_FALSE(play("theme.ogg", 0));
    EXPECT_FALSE(play("theme.ogg", 500));
    EXPECT_FALSE(play("other.ogg", 0));
    EXPECT_FALSE(player->playing());
    EXPECT_EQ(messages, (std::vector<std::string>{"memory: no member \"theme.ogg\"; playing without sound",
                                                  "memory: no member \"other.ogg\"; playing without sound"}));
}

TEST_F(MusicPlayerTest, ABrokenFileIsToldOnceNamingTheMemberAndWhatIsWrong) {
    data.put("notes.txt", std::string("not a sound file at all, just some text\n"));
    const Bytes good = steppedTone(kRate);
    data.put("cut.ogg", Bytes(good.begin(), good.begin() + 300));
    EXPECT_FALSE(play("notes.txt", 0));
    EXPECT_FALSE(play("notes.txt", 0));
    EXPECT_FALSE(play("cut.ogg", 0));
    data.put("odd.ogg", encodeSine(4000, 1, 4000, 440.0, 0.5f));
    EXPECT_FALSE(play("odd.ogg", 0));
    EXPECT_EQ(device->opens, 0) << "a file's odd rate is not the device's fault";
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], "memory: odd.ogg: sample rate 4000 Hz not supported; playing without sound");
    EXPECT_EQ(messages[0], "memory: notes.txt: not an Ogg Vorbis stream; playing without sound");
    EXPECT_EQ(messages[1].rfind("memory: cut.ogg: ", 0), 0u) << messages[1];
    EXPECT_NE(messages[1].find("; playing without sound"), std::string::npos) << messages[1];
}

TEST_F(MusicPlayerTest, AFileCutOffMidPlayEndsTheMusicThereWithOneLine) {
    const Bytes good = noisyTone(kRate * 3);
    data.put("cut.ogg", Bytes(good.begin(), good.begin() + good.size() / 2));
    ASSERT_TRUE(play("cut.ogg", 0));
    for (int i = 0; i < 400 && player->playing(); ++i) run(10000);
    EXPECT_TRUE(player->finished());
    const double playedSeconds = double(device->played.size() / 2) / kRate;
    EXPECT_GT(playedSeconds, 1.0);
    EXPECT_LT(playedSeconds, 2.0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("memory: cut.ogg: cut off after 0:01.", 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find("; the music ends there"), std::string::npos) << messages[0];
}

TEST_F(MusicPlayerTest, ADeviceThatStopsTakingSoundIsGivenUpWithOneLine) {
    data.put("theme.ogg", steppedTone(kRate * 3));
    ASSERT_TRUE(play("theme.ogg", 0));
    run(200000);
    ASSERT_TRUE(player->playing());
    run(MusicPlayer::kStallMicros + 100000, false);
    EXPECT_FALSE(player->playing());
    EXPECT_FALSE(player->positionMs(now));
    EXPECT_EQ(messages, (std::vector<std::string>{"the audio device stopped playing; playing without sound"}));
}

TEST(MusicPlayer, WithoutADeviceItIsSilentAndSaysNothing) {
    MemoryDataSource data;
    std::vector<std::string> messages;
    MusicPlayer player(data, nullptr, [&](const std::string& line) { messages.push_back(line); });
    EXPECT_FALSE(player.play("theme.ogg", 0, 0));
    player.pump(1000);
    EXPECT_FALSE(player.playing());
    EXPECT_FALSE(player.positionMs(1000));
    EXPECT_TRUE(messages.empty());
}
