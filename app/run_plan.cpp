#include "app/run_plan.h"

#include "runtime/play/frame_clock.h"

#include <algorithm>

namespace glimmerq {

namespace {

FrameClockKind chooseClock(const Options& options, bool playMusic) {
    if (options.fixedStep()) return FrameClockKind::FixedStep;
    return playMusic ? FrameClockKind::FollowMusic : FrameClockKind::Wall;
}

int chooseFramesPerSecond(const Options& options, const RunFacts& facts) {
    if (options.fixedStep()) return facts.window ? options.fps : 0;
    if (!facts.window) return options.maxFps > 0 ? options.maxFps : kHeadlessFramesPerSecond;
    if (options.maxFps > 0) return options.maxFps;
    return options.vsync ? facts.refreshRate : 0;  // where swapping does not wait for it
}

}  // namespace

int64_t framesOfRun(const Options& options, int64_t endMs) {
    if (!options.fixedStep()) return 0;
    if (options.loop) return options.maxFrames;
    const int64_t toTheEnd = fixedStepFrameCount(options.startMs, endMs, options.fps);
    return options.maxFrames > 0 ? std::min(options.maxFrames, toTheEnd) : toTheEnd;
}

RunPlan planRun(const Options& options, const RunFacts& facts) {
    RunPlan plan;
    // Fixed steps never open a sound device: the picture does not wait for what is heard.
    plan.playMusic = !options.fixedStep() && !options.mute && facts.scriptHasMusic;
    plan.clock = chooseClock(options, plan.playMusic);
    plan.fixedFps = options.fixedStep() ? options.fps : 0;
    plan.pacedFps = chooseFramesPerSecond(options, facts);
    plan.showFps = plan.clock == FrameClockKind::FixedStep ? plan.fixedFps
                   : plan.pacedFps > 0                     ? plan.pacedFps
                                                           : kHeadlessFramesPerSecond;

    if (!options.renderDir.empty()) plan.outputs.push_back(OutputKind::PngFrames);
    if (options.benchmark) plan.outputs.push_back(OutputKind::Benchmark);
    if (!options.videoPath.empty()) plan.outputs.push_back(OutputKind::Video);
    if (!options.renderDir.empty() || !options.videoPath.empty()) {
        plan.outputs.push_back(OutputKind::Progress);
        plan.progressTotal = framesOfRun(options, facts.endMs);
        plan.progressLabel = options.videoPath.empty() ? options.renderDir : options.videoPath;
    }
    if (facts.window) {
        plan.outputs.insert(plan.outputs.end(), {OutputKind::Screenshots, OutputKind::Window, OutputKind::WindowTitle});
        plan.keys = true;
        plan.overlay = true;
        plan.watch = options.watch;
    }
    return plan;
}

}  // namespace glimmerq
