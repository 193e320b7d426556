// Encoding through ffmpeg: the three formats, upright pictures, the soundtrack in sync, and
// every way ffmpeg can be missing or fail, checked with ffprobe and by decoding the result.
#include "runtime/outputs/video_encoder.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using glimmerq::checkVideoOutput;
using glimmerq::VideoEncoder;
using glimmerq::VideoSettings;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 36;
constexpr int kFps = 60;
constexpr double kToneStartSeconds = 1.0;  // the test track is silent before this
constexpr double kTrackSeconds = 3.0;

// Everything a command printed on stdout.
std::string capture(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::string shellQuoted(const fs::path& path) { return "'" + path.string() + "'"; }

// ffprobe's key=value lines for one stream ("v:0", "a:0"); empty when there is none.
std::map<std::string, std::string> probeStream(const fs::path& file, const std::string& stream) {
    const std::string text = capture("ffprobe -v error -count_frames -select_streams " + stream +
                                     " -show_entries stream=codec_name,pix_fmt,width,height,nb_read_frames,"
                                     "start_time,duration,color_space:format=duration -of default=nw=1 " +
                                     shellQuoted(file));
    std::map<std::string, std::string> fields;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    if (!fields.count("codec_name")) return {};
    return fields;
}


// A stream's first and last presentation times as the player sees them: decoded
// timestamps, not container claims (Matroska stores no per-stream duration).
struct Span {
    double first = NAN, end = NAN;  // seconds; end = last frame's time plus its duration
};
Span decodedSpan(const fs::path& file, const std::string& stream) {
    const std::string text = capture("ffprobe -v error -select_streams " + stream +
                                     " -show_entries frame=pts_time,pkt_duration_time -of csv=p=0 " + shellQuoted(file));
    Span span;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        double pts = 0, duration = 0;
        if (std::sscanf(line.c_str(), "%lf,%lf", &pts, &duration) != 2) continue;
        if (std::isnan(span.first)) span.first = pts;
        span.end = std::isnan(span.end) ? pts + duration : std::max(span.end, pts + duration);
    }
    return span;
}

// Times at which ffmpeg's silencedetect sees silence begin and end, in the file's own
// timestamps (so comparable with the video's).
struct Silences {
    std::vector<double> starts, ends;
};
Silences detectSilences(const fs::path& file) {
    const std::string log = capture("ffmpeg -hide_banner -nostats -copyts -i " + shellQuoted(file) +
                                    " -map 0:a:0 -af silencedetect=n=-40dB:d=0.05 -f null - 2>&1");
    Silences s;
    for (const auto& [key, list] : {std::pair<std::string, std::vector<double>*>{"silence_start: ", &s.starts},
                                    {"silence_end: ", &s.ends}})
        for (size_t at = log.find(key); at != std::string::npos; at = log.find(key, at + 1))
            list->push_back(std::atof(log.c_str() + at + key.size()));
    return s;
}

// Bottom-up RGBA: the lower half blue, the upper half red, as GL would hand them over.
std::vector<unsigned char> bottomBlueTopRed() {
    std::vector<unsigned char> frame(size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            unsigned char* p = &frame[(size_t(y) * kWidth + x) * 4];
            const bool lower = y < kHeight / 2;
            p[0] = lower ? 0 : 255;
            p[1] = 0;
            p[2] = lower ? 255 : 0;
            p[3] = 255;
        }
    return frame;
}

class VideoEncoderTest : public ::testing::Test {
protected:
    fs::path work;
    std::string savedTmpdir;
    bool hadTmpdir = false;

    void SetUp() override {
        work = glimmerq::testing::scratchFolder("video");
        fs::create_directories(work / "tmp");
        // The encoder's temporary files land here, so tests can see that none stay behind.
        if (const char* t = std::getenv("TMPDIR")) {
            hadTmpdir = true;
            savedTmpdir = t;
        }
        setenv("TMPDIR", (work / "tmp").c_str(), 1);
    }
    void TearDown() override {
        if (hadTmpdir)
            setenv("TMPDIR", savedTmpdir.c_str(), 1);
        else
            unsetenv("TMPDIR");
        fs::remove_all(work);
    }

    size_t temporaryFiles() const {
        size_t n = 0;
        for (const auto& entry : fs::directory_iterator(work / "tmp")) n += entry.is_regular_file();
        return n;
    }

    // An Ogg Vorbis track: silence, then a 440 Hz tone from kToneStartSeconds on.
    std::vector<unsigned char> toneTrack() {
        const fs::path track = work / "track.ogg";
        char command[512];
        std::snprintf(command, sizeof command,
                      "ffmpeg -v error -y -f lavfi -i \"aevalsrc='if(gte(t,%g),0.125*sin(2*PI*440*t),0)'"
                      ":s=44100:d=%g\" -c:a libvorbis %s",
                      kToneStartSeconds, kTrackSeconds, shellQuoted(track).c_str());
        EXPECT_EQ(std::system(command), 0) << command;
        std::ifstream in(track, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }

    VideoSettings settings(const std::string& name) const {
        VideoSettings s;
        s.path = (work / name).string();
        s.width = kWidth;
        s.height = kHeight;
        s.fps = kFps;
        return s;
    }

    // A shell script standing in for ffmpeg; $last is the output path.
    std::string fakeFfmpeg(const std::string& body) {
        const fs::path script = work / "fake-ffmpeg";
        std::ofstream(script) << "#!/bin/sh\nfor last; do :; done\n" << body << "\n";
        fs::permissions(script, fs::perms::owner_all);
        return script.string();
    }
};

}  // namespace

TEST_F(VideoEncoderTest, CheckRejectsWhatCannotWorkBeforeAnythingIsDrawn) {
    std::string error;
    EXPECT_TRUE(checkVideoOutput((work / "show.mp4").string(), 640, 360, &error)) << error;
    EXPECT_TRUE(checkVideoOutput((work / "SHOW.WEBM").string(), 640, 360, &error)) << error;

    EXPECT_FALSE(checkVideoOutput((work / "show.avi").string(), 640, 360, &error));
    EXPECT_NE(error.find((work / "show.avi").string() + ": unknown video format \".avi\""),
              std::string::npos) << error;
    EXPECT_NE(error.find(".mp4, .mkv, .webm"), std::string::npos) << error;
    EXPECT_FALSE(checkVideoOutput((work / "show").string(), 640, 360, &error));
    EXPECT_NE(error.find("no extension"), std::string::npos) << error;

    EXPECT_FALSE(checkVideoOutput((work / "show.mp4").string(), 641, 360, &error));
    EXPECT_NE(error.find("even width and height, not 641x360"), std::string::npos) << error;

    EXPECT_FALSE(checkVideoOutput((work / "missing" / "show.mp4").string(), 640, 360, &error));
    EXPECT_NE(error.find("folder " + (work / "missing").string() + " does not exist"), std::string::npos) << error;
    fs::create_directories(work / "taken.mkv");
    EXPECT_FALSE(checkVideoOutput((work / "taken.mkv").string(), 640, 360, &error));
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    if (geteuid() != 0) {  // root writes anywhere
        fs::create_directories(work / "locked");
        fs::permissions(work / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(checkVideoOutput((work / "locked" / "show.mp4").string(), 640, 360, &error));
        EXPECT_NE(error.find("is not writable"), std::string::npos) << error;
        fs::permissions(work / "locked", fs::perms::owner_all);
    }

    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (work / "no-programs-here").c_str(), 1);
    const bool found = checkVideoOutput((work / "show.mp4").string(), 640, 360, &error);
    setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(found);
    EXPECT_EQ(error.rfind("--video needs the ffmpeg program, which is not installed", 0), 0u) << error;
}

TEST_F(VideoEncoderTest, EachFormatHoldsEveryFrameAtTheFixedRateWithItsCodecsAndSound) {
    const std::vector<unsigned char> track = toneTrack();
    ASSERT_FALSE(track.empty());
    const std::vector<unsigned char> frame = bottomBlueTopRed();
    constexpr int kFrames = 10;
    const double videoSeconds = double(kFrames) / kFps;
    struct Case {
        const char* name;
        const char* videoCodec;
        const char* audioCodec;
    };
    for (const Case& c : {Case{"show.mp4", "h264", "aac"}, Case{"show.mkv", "h264", "vorbis"},
                          Case{"show.webm", "vp9", "opus"}}) {
        SCOPED_TRACE(c.name);
        VideoSettings s = settings(c.name);
        s.soundtrack = track;
        s.soundtrackOffsetSeconds = 0.5;
        std::string error;
        auto encoder = VideoEncoder::start(s, &error);
        ASSERT_TRUE(encoder) << error;
        for (int i = 0; i < kFrames; ++i) ASSERT_TRUE(encoder->writeFrame(frame.data(), &error)) << error;
        ASSERT_TRUE(encoder->finish(&error)) << error;
        EXPECT_EQ(encoder->framesWritten(), kFrames);
        EXPECT_FALSE(fs::exists(s.path + ".part"));
        EXPECT_EQ(temporaryFiles(), 0u);

        const auto v = probeStream(s.path, "v:0");
        ASSERT_FALSE(v.empty()) << "no video stream in " << s.path;
        EXPECT_EQ(v.at("codec_name"), c.videoCodec);
        EXPECT_EQ(v.at("pix_fmt"), "yuv420p");
        EXPECT_EQ(v.at("color_space"), "bt709");
        EXPECT_EQ(v.at("width"), std::to_string(kWidth));
        EXPECT_EQ(v.at("height"), std::to_string(kHeight));
        EXPECT_EQ(v.at("nb_read_frames"), std::to_string(kFrames));
        // Matroska counts in whole milliseconds, so its frames start and last up to 1 ms off.
        const Span video = decodedSpan(s.path, "v:0");
        EXPECT_NEAR(video.end - video.first, videoSeconds, 0.002);

        const auto a = probeStream(s.path, "a:0");
        ASSERT_FALSE(a.empty()) << "no audio stream in " << s.path;
        EXPECT_EQ(a.at("codec_name"), c.audioCodec);
        // -shortest cuts after the audio packet that crosses the last frame's end.
        const Span audio = decodedSpan(s.path, "a:0");
        EXPECT_NEAR(audio.first, video.first, 0.0075) << "Opus's pre-skip moves WebM's audio 6.5 ms early";
        EXPECT_GE(audio.end - video.first, videoSeconds - 0.005);
        EXPECT_LE(audio.end - video.first, videoSeconds + 0.05);
    }
}

TEST_F(VideoEncoderTest, FramesHandedOverBottomRowFirstComeOutUpright) {
    const std::vector<unsigned char> frame = bottomBlueTopRed();
    VideoSettings s = settings("upright.mkv");
    std::string error;
    auto video = VideoEncoder::start(s, &error);
    ASSERT_TRUE(video) << error;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(video->writeFrame(frame.data(), &error)) << error;
    ASSERT_TRUE(video->finish(&error)) << error;
    EXPECT_TRUE(probeStream(s.path, "a:0").empty()) << "a video without a soundtrack has no audio stream";

    const std::string rgb = capture("ffmpeg -v error -i " + shellQuoted(s.path) +
                                    " -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
    ASSERT_EQ(rgb.size(), size_t(kWidth) * kHeight * 3);
    auto at = [&](int x, int yFromTop) { return (const unsigned char*)&rgb[(size_t(yFromTop) * kWidth + x) * 3]; };
    const unsigned char* top = at(kWidth / 2, 2);
    const unsigned char* bottom = at(kWidth / 2, kHeight - 3);
    EXPECT_GT(top[0], 200) << "top row r=" << int(top[0]) << " b=" << int(top[2]);
    EXPECT_LT(top[2], 50) << "top row r=" << int(top[0]) << " b=" << int(top[2]);
    EXPECT_GT(bottom[2], 200) << "bottom row r=" << int(bottom[0]) << " b=" << int(bottom[2]);
    EXPECT_LT(bottom[0], 50) << "bottom row r=" << int(bottom[0]) << " b=" << int(bottom[2]);
}

TEST_F(VideoEncoderTest, ColoursComeBackAsTheyWentInWhenThePlayerReadsTheTags) {
    // Eight flat 16x18 patches; saturated ones move by 10 to 40 levels under the wrong matrix,
    // CRF 18 alone by up to 7 (the skin tone's blue).
    const unsigned char patches[8][3] = {{255, 0, 0},   {0, 255, 0},    {0, 0, 255},   {255, 255, 0},
                                         {224, 172, 140}, {128, 128, 128}, {20, 20, 20}, {255, 255, 255}};
    std::vector<unsigned char> frame(size_t(kWidth) * kHeight * 4);
    auto patchAt = [](int x, int yFromTop) { return (yFromTop / (kHeight / 2)) * 4 + x / (kWidth / 4); };
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            unsigned char* p = &frame[(size_t(kHeight - 1 - y) * kWidth + x) * 4];  // bottom row first
            const unsigned char* c = patches[patchAt(x, y)];
            p[0] = c[0];
            p[1] = c[1];
            p[2] = c[2];
            p[3] = 255;
        }
    for (const char* name : {"colours.mp4", "colours.webm"}) {
        SCOPED_TRACE(name);
        VideoSettings s = settings(name);
        std::string error;
        auto video = VideoEncoder::start(s, &error);
        ASSERT_TRUE(video) << error;
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(video->writeFrame(frame.data(), &error)) << error;
        ASSERT_TRUE(video->finish(&error)) << error;
        const std::string rgb = capture("ffmpeg -v error -i " + shellQuoted(s.path) +
                                        " -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
        ASSERT_EQ(rgb.size(), size_t(kWidth) * kHeight * 3);
        for (int patch = 0; patch < 8; ++patch) {
            const int x = (patch % 4) * (kWidth / 4) + kWidth / 8, y = (patch / 4) * (kHeight / 2) + kHeight / 4;
            const unsigned char* got = (const unsigned char*)&rgb[(size_t(y) * kWidth + x) * 3];
            int worst = 0;
            for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(got[c]) - int(patches[patch][c])));
            EXPECT_LE(worst, 8) << "patch " << patch << ": sent " << int(patches[patch][0]) << ","
                                << int(patches[patch][1]) << "," << int(patches[patch][2]) << ", got " << int(got[0])
                                << "," << int(got[1]) << "," << int(got[2]);
        }
    }
}

TEST_F(VideoEncoderTest, SoundtrackStartsAtTheFirstFramesTrackTimeInEveryFormat) {
    const std::vector<unsigned char> track = toneTrack();
    ASSERT_FALSE(track.empty());
    const std::vector<unsigned char> frame = bottomBlueTopRed();
    constexpr int kFrames = 30;                 // half a second
    constexpr double kHalfFrame = 0.5 / kFps;   // how far sound may lead or lag a picture
    for (const char* name : {"sync.mp4", "sync.mkv", "sync.webm"}) {
        for (const double offset : {1.0, 0.8, 2.8, 5.0}) {
            SCOPED_TRACE(std::string(name) + " from track time " + std::to_string(offset));
            VideoSettings s = settings(name);
            s.soundtrack = track;
            s.soundtrackOffsetSeconds = offset;
            std::string error;
            auto video = VideoEncoder::start(s, &error);
            ASSERT_TRUE(video) << error;
            for (int i = 0; i < kFrames; ++i) ASSERT_TRUE(video->writeFrame(frame.data(), &error)) << error;
            ASSERT_TRUE(video->finish(&error)) << error;
            const double start = decodedSpan(s.path, "v:0").first;
            const Silences quiet = detectSilences(s.path);
            if (offset == 1.0) {
                // The tone from the first frame to the last.
                EXPECT_TRUE(quiet.ends.empty()) << "silence ended at " << quiet.ends[0];
                for (double t : quiet.starts) EXPECT_GT(t - start, 0.45) << "silence at " << t;
            } else if (offset == 0.8) {
                // The tone begins 0.2 s into the video.
                ASSERT_FALSE(quiet.ends.empty()) << "the tone never started";
                EXPECT_NEAR(quiet.ends[0] - start, 0.2, kHalfFrame);
            } else if (offset == 5.0) {
                // Past the track's end: silence as long as the video.
                ASSERT_FALSE(quiet.starts.empty()) << "sound past the track's end";
                EXPECT_NEAR(quiet.starts[0] - start, 0.0, kHalfFrame);
                EXPECT_GE(decodedSpan(s.path, "a:0").end - start, 0.5 - kHalfFrame) << "padding falls short of the video";
            } else {
                // The track ends 0.2 s into the video; silence fills the rest.
                ASSERT_FALSE(quiet.starts.empty()) << "no silence after the track's end";
                EXPECT_NEAR(quiet.starts[0] - start, 0.2, kHalfFrame);
                EXPECT_GE(decodedSpan(s.path, "a:0").end - start, 0.5 - kHalfFrame) << "padding falls short of the video";
            }
        }
    }
}

TEST_F(VideoEncoderTest, FfmpegDyingMidwayFailsTheWriteWithItsLastMessageAndLeavesNoFile) {
    VideoSettings s = settings("dies.mp4");
    s.program = fakeFfmpeg(
        "echo partial > \"$last\"\n"
        "head -c 20000 > /dev/null\n"
        "echo '[libx264 @ 0x1] first complaint' >&2\n"
        "echo 'Conversion failed: disk on fire' >&2\n"
        "exit 1");
    std::string error;
    auto video = VideoEncoder::start(s, &error);
    ASSERT_TRUE(video) << error;
    const std::vector<unsigned char> frame = bottomBlueTopRed();
    int written = 0;
    while (written < 10000 && video->writeFrame(frame.data(), &error)) ++written;
    EXPECT_LT(written, 10000) << "writes never failed";
    EXPECT_EQ(error, s.path + ": ffmpeg stopped (exit status 1): Conversion failed: disk on fire");
    EXPECT_FALSE(fs::exists(s.path));
    EXPECT_FALSE(fs::exists(s.path + ".part"));
    EXPECT_EQ(temporaryFiles(), 0u);

    std::string again;
    EXPECT_FALSE(video->writeFrame(frame.data(), &again));
    EXPECT_EQ(again, error);
    EXPECT_FALSE(video->finish(&again));
    EXPECT_EQ(again, error);
}

TEST_F(VideoEncoderTest, FfmpegFailingAtTheEndFailsFinishAndLeavesNoFile) {
    VideoSettings s = settings("fails.webm");
    s.program = fakeFfmpeg(
        "cat > /dev/null\n"
        "echo partial > \"$last\"\n"
        "echo 'muxer broke' >&2\n"
        "exit 3");
    std::string error;
    auto video = VideoEncoder::start(s, &error);
    ASSERT_TRUE(video) << error;
    const std::vector<unsigned char> frame = bottomBlueTopRed();
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(video->writeFrame(frame.data(), &error)) << error;
    EXPECT_FALSE(video->finish(&error));
    EXPECT_EQ(error, s.path + ": ffmpeg failed (exit status 3): muxer broke");
    EXPECT_FALSE(fs::exists(s.path));
    EXPECT_FALSE(fs::exists(s.path + ".part"));
    EXPECT_EQ(temporaryFiles(), 0u);
}

TEST_F(VideoEncoderTest, BrokenSoundtrackFailsWithFfmpegsReason) {
    VideoSettings s = settings("noise.mp4");
    s.soundtrack.assign(4096, 0x5A);
    std::string error;
    auto video = VideoEncoder::start(s, &error);
    ASSERT_TRUE(video) << error;
    const std::vector<unsigned char> frame = bottomBlueTopRed();
    bool ok = true;
    for (int i = 0; ok && i < 200; ++i) ok = video->writeFrame(frame.data(), &error);
    if (ok) ok = video->finish(&error);
    EXPECT_FALSE(ok);
    // ffmpeg's own words, about the soundtrack rather than a temporary file's name.
    EXPECT_EQ(error.rfind(s.path + ": ffmpeg ", 0), 0u) << error;
    EXPECT_NE(error.find(": the soundtrack: "), std::string::npos) << error;
    EXPECT_EQ(error.find("glimmerq-soundtrack"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(s.path));
}

TEST_F(VideoEncoderTest, AbortAndDestructionWithoutFinishLeaveNothingBehind) {
    const std::vector<unsigned char> frame = bottomBlueTopRed();
    for (bool explicitAbort : {true, false}) {
        SCOPED_TRACE(explicitAbort ? "abort()" : "destructor");
        VideoSettings s = settings("cut.mp4");
        s.soundtrack = toneTrack();
        std::string error;
        auto video = VideoEncoder::start(s, &error);
        ASSERT_TRUE(video) << error;
        for (int i = 0; i < 20; ++i) ASSERT_TRUE(video->writeFrame(frame.data(), &error)) << error;
        if (explicitAbort) {
            video->abort();
            video->abort();
            EXPECT_FALSE(video->finish(&error));
        }
        video.reset();
        EXPECT_FALSE(fs::exists(s.path));
        EXPECT_FALSE(fs::exists(s.path + ".part"));
        EXPECT_EQ(temporaryFiles(), 0u);
    }
}

TEST_F(VideoEncoderTest, FinishWithoutAFrameFailsAndLeavesNoFile) {
    VideoSettings s = settings("empty.mp4");
    s.soundtrack = toneTrack();
    std::string error;
    auto video = VideoEncoder::start(s, &error);
    ASSERT_TRUE(video) << error;
    EXPECT_FALSE(video->finish(&error));
    EXPECT_EQ(error, s.path + ": no frames to encode");
    EXPECT_FALSE(fs::exists(s.path));
    EXPECT_FALSE(fs::exists(s.path + ".part"));
    EXPECT_EQ(temporaryFiles(), 0u);
}

TEST_F(VideoEncoderTest, FfmpegRunsInAProcessGroupOfItsOwnSoCtrlCDoesNotReachIt) {
    VideoSettings s = settings("group.mkv");
    const fs::path stat = work / "child-stat";
    s.program = fakeFfmpeg("cat /proc/$$/stat > " + shellQuoted(stat) + "\ncat > /dev/null\necho ok > \"$last\"");
    std::string error;
    auto video = VideoEncoder::start(s, &error);
    ASSERT_TRUE(video) << error;
    ASSERT_TRUE(video->writeFrame(bottomBlueTopRed().data(), &error)) << error;
    ASSERT_TRUE(video->finish(&error)) << error;
    std::ifstream in(stat);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    // pid (comm) state ppid pgrp ...
    long pid = 0, parent = 0, group = 0;
    char state = 0;
    const size_t close = text.rfind(')');
    ASSERT_NE(close, std::string::npos) << text;
    ASSERT_EQ(std::sscanf(text.c_str(), "%ld", &pid), 1) << text;
    ASSERT_EQ(std::sscanf(text.c_str() + close + 1, " %c %ld %ld", &state, &parent, &group), 3) << text;
    EXPECT_EQ(parent, long(getpid()));
    EXPECT_EQ(group, pid) << "ffmpeg should lead its own group";
    EXPECT_NE(group, long(getpgrp()));
}

TEST_F(VideoEncoderTest, MissingProgramIsReportedAtStart) {
    VideoSettings s = settings("none.mp4");
    s.program = (work / "no-such-ffmpeg").string();
    std::string error;
    EXPECT_FALSE(VideoEncoder::start(s, &error));
    EXPECT_EQ(error.rfind("--video needs the " + s.program + " program, which is not installed", 0), 0u)
        << error;
    EXPECT_EQ(temporaryFiles(), 0u);
}
