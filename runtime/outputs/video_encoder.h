// video_encoder.h: encodes frames into a video file through the ffmpeg program.
//
//   std::string error;
//   if (!checkVideoOutput("show.mp4", 1280, 720, &error)) ...;       // before anything is drawn
//   auto video = VideoEncoder::start({"show.mp4", 1280, 720, 60, oggBytes, 75.0}, &error);
//   while (...) if (!video->writeFrame(rgbaBottomUp, &error)) ...;   // frames in order
//   if (!video->finish(&error)) ...;                                  // waits for ffmpeg
//
// Frames are raw RGBA, bottom row first as glReadPixels gives them; ffmpeg flips them. They
// are shown at the fixed rate `fps`: frame n at n / fps seconds into the video. What frame n
// shows is the caller's business (the timeline at round(n * 1000 / fps) ms past the start).
//
// The extension picks the format:
//   .mp4   H.264 (libx264, yuv420p, CRF 18, preset veryfast) and AAC 192 kbit/s, the index
//          at the front for streaming;
//   .mkv   H.264 as above and Vorbis (quality 6, about 190 kbit/s);
//   .webm  VP9 (CRF 31, constant quality, speed 4) and Opus 160 kbit/s.
// Colours are converted with the BT.709 matrix to limited range and tagged so.
//
// Sound: the soundtrack's bytes (any format ffmpeg reads; the demo's is Ogg Vorbis) and the
// track time of the first frame. The audio starts there (ffmpeg's -ss on that input, exact
// to the sample), is padded with silence if the track ends first, and is cut to the video's
// length, within one audio packet. No soundtrack: a silent file without an audio stream.
//
// ffmpeg runs in a process group of its own, so Ctrl+C in a terminal reaches only this
// program, which can then finish() (keeping what was encoded so far) or abort(). ffmpeg's
// messages go to a temporary file; a failure reports its last line. The video is written
// to PATH.part and renamed to PATH when ffmpeg succeeds; on any failure, abort() or
// destruction without finish() the partial file is removed. A dead ffmpeg makes
// writeFrame fail with EPIPE, never kills this program with SIGPIPE (the signal is blocked
// around each write, nothing process-wide changes).
//
// Not here: reading pixels (async_readback.h), choosing frame times, progress output,
// variable frame rates, encoder options beyond the three formats.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace glimmerq {

struct VideoSettings {
    std::string path;                 // output file; .mp4, .mkv or .webm
    int width = 0;                    // frame size in pixels, both even
    int height = 0;
    int fps = 60;                     // frames per second of video
    std::vector<unsigned char> soundtrack;  // whole audio file; empty = no audio stream
    double soundtrackOffsetSeconds = 0;     // track time of frame 0, >= 0
    std::string program = "ffmpeg";   // looked up on PATH
};

// What is wrong with a video to be written: its name (no supported extension), its place
// (a folder missing or not writable, or the path is a folder), its size (odd), or the ffmpeg
// program (missing from PATH).
enum class VideoProblem { None, Name, Place, Size, Program };

// Everything that can be known to fail before the first frame, the one check of a --video
// request; false with a one-line reason (the supported extensions named where the name is
// wrong) and, when asked, what kind of problem it is.
bool checkVideoOutput(const std::string& path, int width, int height, std::string* error,
                      VideoProblem* problem = nullptr);

// ".mp4, .mkv, .webm": the extensions checkVideoOutput accepts, for help texts.
std::string supportedVideoExtensions();

class VideoEncoder {
public:
    // Refuses what checkVideoOutput refuses (with settings.program), writes the soundtrack to
    // a temporary file and spawns ffmpeg.
    // Null with a one-line reason when that fails.
    static std::unique_ptr<VideoEncoder> start(const VideoSettings& settings, std::string* error);
    ~VideoEncoder();  // abort() unless finish() was called

    // Hands one frame (width * height * 4 bytes, bottom row first) to ffmpeg; blocks while
    // ffmpeg is busy. False when ffmpeg has stopped: the error carries its last message and
    // the partial file is gone. Every later call fails the same way.
    bool writeFrame(const unsigned char* rgbaBottomUp, std::string* error);

    // Ends the input, waits for ffmpeg and checks its exit status. True: PATH holds the
    // video. False: ffmpeg's last message (or that no frame was written), no file left.
    bool finish(std::string* error);

    // Kills ffmpeg, waits for it and removes the partial file. Safe to call more than once.
    void abort();

    int64_t framesWritten() const { return framesWritten_; }

    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

private:
    VideoEncoder() = default;
    // Reaps ffmpeg; "" when it exited with status 0, else why it failed.
    std::string waitForExit();
    std::string failureMessage(const std::string& what);
    void removeTemporaries();

    VideoSettings settings_;          // without the soundtrack bytes
    std::string partPath_;            // where ffmpeg writes until it succeeds
    std::string logPath_;             // ffmpeg's stderr
    std::string soundtrackPath_;      // empty without audio
    pid_t pid_ = -1;
    int input_ = -1;                  // write end of ffmpeg's stdin
    int64_t framesWritten_ = 0;
    std::string failure_;             // set once ffmpeg has failed
    bool done_ = false;               // finished or aborted
};

}  // namespace glimmerq
