// run_plan.h: what a run is made of, decided from the options and a few facts before any
// object exists, so that every combination can be checked without GL, sound or a window.
//
//   RunPlan plan = planRun(options, {hasWindow, refreshRate, scriptHasMusic, endMs});
//   auto run = AssembledRun::assemble(plan, parts, hooks, &error);   // run_assembly.h
//
// The frame clock: a fixed step for --fps (and --render, --video, --benchmark, which imply
// it); else the music's position while the script's music plays (real time, not --mute);
// else the wall clock. The show's frame rate (what a seek lands on) is the fixed step's, else the
// pace's. The pace: fixed steps in a window keep their rate, rendering and
// measuring run flat out; real time keeps --max-fps (60 without a display; 0 in a window =
// the display's rate where vsync waits for it, none where it does not).
// The outputs get every frame in this order:
//   1. PNG frames        (--render)
//   2. benchmark         (--benchmark)
//   3. video             (--video)
//   4. progress          (after the outputs whose work it reports: --render, --video)
//   5. screenshots       (a window: S saves the frame before it is shown)
//   6. window            (shows the frame)
//   7. window title      (last: says where the shown frame is)
#pragma once

#include "app/options.h"

#include <cstdint>
#include <string>
#include <vector>

namespace glimmerq {

struct RunFacts {
    bool window = false;          // a window is open (else a headless context)
    int refreshRate = 0;          // the display's, in Hz, when there is a window
    bool scriptHasMusic = false;  // the script has a music line
    int64_t endMs = 0;            // the script's end
};

enum class FrameClockKind { FixedStep, Wall, FollowMusic };
enum class OutputKind { PngFrames, Benchmark, Video, Progress, Screenshots, Window, WindowTitle };

struct RunPlan {
    FrameClockKind clock = FrameClockKind::Wall;
    int fixedFps = 0;        // FixedStep: frames a second
    bool playMusic = false;  // opens a sound device
    int pacedFps = 0;        // frames a second the pacer holds to; 0 = as fast as it goes
    // The show's frames, which seeks land on: the fixed step's rate, else the pace's (60 when
    // nothing paces); real-time runs play them (player.h).
    int showFps = 60;
    std::vector<OutputKind> outputs;  // in the order they get every frame
    bool keys = false;       // the window's keys control the run
    bool overlay = false;    // Tab shows the timeline over the window's picture
    bool watch = false;      // a changed file in the data directory asks for a reload
    int64_t progressTotal = 0;  // frames the progress line counts to; 0 = unknown
    std::string progressLabel;  // the file or folder it names
};

// Real-time runs without a display: as on a 60 Hz one.
constexpr int kHeadlessFramesPerSecond = 60;

RunPlan planRun(const Options& options, const RunFacts& facts);

// The number of frames a run draws: --frames, or what a fixed step draws from --start to the
// end, whichever is fewer; 0 when it cannot be known (real time, or looping without
// --frames).
int64_t framesOfRun(const Options& options, int64_t endMs);

}  // namespace glimmerq
