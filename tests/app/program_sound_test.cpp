// The soundtrack end to end: what a real-time run plays (through SDL's disk driver, which
// writes what a sound card would get), where in the track it starts, what a video carries,
// and how the show plays on without sound.
#include "tests/runtime/sound/ogg_test_signal.h"
#include "tests/app/program_fixture.h"

using namespace program_test;
using glimmerq::test::encodeOgg;
using glimmerq::test::toneFrequency;

namespace {

constexpr int kRate = 44100;
constexpr double kLowHz = 440.0, kHighHz = 880.0;  // the first second, then the rest

class SoundTest : public ProgramTest {
protected:
    // A show with a three-second tone that steps up an octave at 1 s.
    fs::path showWithMusic(const std::string& script) {
        const fs::path dir = dataWithScript(script);
        const auto ogg = encodeOgg(kRate, 2, 3 * kRate, [](int, int64_t frame) {
            const double hz = frame < kRate ? kLowHz : kHighHz;
            return float(0.5 * std::sin(2.0 * glimmerq::test::kPi * hz * double(frame) / kRate));
        });
        std::ofstream(dir / "tone.ogg", std::ios::binary).write(reinterpret_cast<const char*>(ogg.data()),
                                                                 std::streamsize(ogg.size()));
        return dir;
    }

    static std::vector<int16_t> readRaw(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<int16_t> samples;
        int16_t sample;
        while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) samples.push_back(sample);
        return samples;
    }
};

}  // namespace

TEST_F(SoundTest, ARealTimeRunPlaysTheMusicFromTheStartTime) {
    const fs::path data = showWithMusic("0 music tone.ogg\n0 start CLEAR layer 0\n2.5 end\n");
    const fs::path heard = work / "heard.raw";
    const Result r = run("--data '" + data.string() + "' --headless --start 1.5 --size 16x16",
                         "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + heard.string() + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto samples = readRaw(heard);
    // One second of show from 1.5 s: the upper tone only (the lower one ended at 1 s).
    ASSERT_GT(samples.size(), size_t(kRate));  // stereo: more than half a second
    const std::vector<int16_t> first(samples.begin(), samples.begin() + kRate / 2);
    EXPECT_NEAR(toneFrequency(first, 2, 0, kRate), kHighHz, 10.0);
    // It played about as long as the show ran, not the whole track.
    EXPECT_LT(samples.size(), size_t(2 * kRate * 2));
}

TEST_F(SoundTest, MuteMissingMembersBrokenFilesAndNoDeviceLeaveTheShowSilentButPlaying) {
    const fs::path data = showWithMusic("0 music tone.ogg\n0 start CLEAR layer 0\n0.3 end\n");
    const fs::path heard = work / "heard.raw";
    const std::string disk = "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + heard.string() + "'";
    Result r = run("--data '" + data.string() + "' --headless --mute --size 16x16", disk);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(heard) && fs::file_size(heard) > 0);

    r = run("--data '" + data.string() + "' --headless --size 16x16", "SDL_AUDIODRIVER=no-such-driver");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err.rfind("glimmerq: no audio device (", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("); playing without sound\n"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;

    std::ofstream(data / "demoflow", std::ios::trunc) << "0 music gone.ogg\n0 start CLEAR layer 0\n0.3 end\n";
    r = run("--data '" + data.string() + "' --headless --size 16x16", disk);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "glimmerq: " + data.string() + ": no member \"gone.ogg\"; playing without sound\n");

    std::ofstream(data / "tone.ogg", std::ios::trunc | std::ios::binary) << "OggS but nothing else";
    std::ofstream(data / "demoflow", std::ios::trunc) << "0 music tone.ogg\n0 start CLEAR layer 0\n0.3 end\n";
    r = run("--data '" + data.string() + "' --headless --size 16x16", disk);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("tone.ogg"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    expectOwnLines(r.err);
}

TEST_F(SoundTest, FixedStepRunsNeverOpenAnAudioDevice) {
    const fs::path data = showWithMusic("0 music tone.ogg\n0 start CLEAR layer 0\n0.5 end\n");
    const fs::path heard = work / "heard.raw";
    const Result r = run("--data '" + data.string() + "' --render '" + (work / "f").string() + "' --size 16x16",
                         "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + heard.string() + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(fs::exists(heard));
}

TEST_F(SoundTest, AVideoOfALaterMomentCarriesTheMusicFromThere) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path data = showWithMusic("0 music tone.ogg\n0 start CLEAR layer 0\n3 end\n");
    const fs::path video = work / "part.mkv";
    const Result r =
        run("--data '" + data.string() + "' --video '" + video.string() + "' --start 1.2 --frames 30 --size 64x36");
    ASSERT_EQ(r.code, 0) << r.err;
    expectOwnLines(r.err);
    const fs::path probe = work / "probe.txt";
    ASSERT_EQ(std::system(("ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames -of csv=p=0 '" +
                           video.string() + "' >'" + probe.string() + "'")
                              .c_str()),
              0);
    const std::string streams = slurp(probe);
    EXPECT_NE(streams.find("video,30"), std::string::npos) << streams;
    EXPECT_NE(streams.find("audio"), std::string::npos) << streams;
    // Its sound begins 1.2 s into the track: the upper tone.
    const fs::path pcm = work / "sound.raw";
    ASSERT_EQ(std::system(("ffmpeg -v error -i '" + video.string() + "' -f s16le -ac 2 -ar 44100 '" + pcm.string() + "'")
                              .c_str()),
              0);
    const auto samples = readRaw(pcm);
    ASSERT_GT(samples.size(), size_t(kRate / 2));
    const std::vector<int16_t> first(samples.begin() + 2000, samples.begin() + kRate / 2);
    EXPECT_NEAR(toneFrequency(first, 2, 0, kRate), kHighHz, 10.0);
}

TEST_F(SoundTest, VideoMistakesAreFoundBeforeDrawingAndCtrlCLeavesNoPartialFile) {
    const fs::path data = showWithMusic("0 music tone.ogg\n0 start CLEAR layer 0\n9:00 end\n");
    Result r = run("--data '" + data.string() + "' --video '" + (work / "show.avi").string() + "'");
    EXPECT_EQ(r.code, 2) << r.err;
    r = run("--data '" + data.string() + "' --video '" + (work / "no" / "such" / "show.mp4").string() + "'");
    EXPECT_EQ(r.code, 2) << r.err;
    // An odd --size is the command line's mistake too, found before anything plays.
    r = run("--data '" + data.string() + "' --video '" + (work / "odd.mp4").string() + "' --size 641x360");
    EXPECT_EQ(r.code, 2) << r.err;
    EXPECT_NE(r.err.find("even width and height, not 641x360"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(work / "odd.mp4"));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    expectOwnLines(r.err);

    // Interrupted once the encoding has begun (its partial file is there), however long the
    // start takes on a loaded machine.
    const fs::path video = work / "show.mp4";
    const std::string part = video.string() + ".part";
    const std::string command = "'" GLIMMERQ_PROGRAM "' --data '" + data.string() + "' --video '" + video.string() +
                                "' --size 64x36 2>'" + (work / "err.txt").string() + "' & pid=$!; " +
                                "for i in $(seq 200); do [ -f '" + part + "' ] && break; sleep 0.1; done; " +
                                "[ -f '" + part + "' ] && touch '" + (work / "seen").string() + "'; kill -INT $pid; wait $pid";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(fs::exists(work / "seen")) << "no partial file appeared: " << slurp(work / "err.txt");
    EXPECT_EQ(WEXITSTATUS(status), 130) << slurp(work / "err.txt");
    EXPECT_FALSE(fs::exists(video));
    EXPECT_FALSE(fs::exists(work / "show.mp4.part"));
}
