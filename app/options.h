// options.h: the command line.
//
//   Options options;
//   int exitCode;
//   if (!parseOptions(argc, argv, &options, &exitCode)) return exitCode;  // help, version, errors
//
// Bad command lines print one sentence on `err` ("glimmerq: --fps must be a whole number
// ...") and give exit code 2; --help and --version print to `out` and give 0. Values are
// checked here, before anything plays: numbers and sizes, empty names, repeated options, and
// that the --benchmark-json and --timeline files can be written (nothing is truncated).
// Not here: whether the data path exists or the display works, and whether the --video file
// can be written (that needs the render size): the session reports those.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace glimmerq {

struct Options {
    std::string dataPath;          // zip archive or directory; empty = the default search
    int width = 0;                 // render size; 0 = default (1280x720, or the desktop's
    int height = 0;                //   size with --fullscreen)
    bool fullscreen = false;
    bool vsync = true;
    int64_t startMs = 0;           // timeline time to begin at
    bool loop = false;
    bool headless = false;         // no window: EGL surfaceless context
    int fps = 0;                   // fixed step in frames per second; 0 = real time
    int64_t maxFrames = 0;         // stop after this many frames; 0 = no limit
    std::string renderDir;         // write every frame as PNG here
    bool benchmark = false;
    std::string benchmarkJson;
    bool checkGl = false;
    bool listEffects = false;
    bool mute = false;             // play no sound; the timeline follows the wall clock
    std::string videoPath;         // encode the show into this file (.mp4, .mkv, .webm)
    int maxFps = 60;               // real time: at most this many frames a second; 0 = the display's rate
    bool watch = false;            // reload a data directory whenever a file in it changes
    std::string timelinePath;      // draw the script's timeline chart into this PNG and exit

    bool fixedStep() const { return fps > 0; }
};

constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 720;
constexpr int kDefaultRenderFps = 60;

// Parses "WxH" with both sides in 1..16384.
bool parseSize(const std::string& text, int* width, int* height);

// False when the program should exit now with *exitCode (help, version, bad command line).
// --video, --render and --benchmark imply --headless and, without --fps, 60 fps;
// --benchmark-json implies --benchmark, which turns vsync off.
bool parseOptions(int argc, char** argv, Options* options, int* exitCode, FILE* out = stdout,
                  FILE* err = stderr);

}  // namespace glimmerq
