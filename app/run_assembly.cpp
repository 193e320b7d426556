#include "app/run_assembly.h"

#include "runtime/input/key_controls.h"
#include "runtime/input/window_input.h"
#include "runtime/outputs/benchmark_output.h"
#include "runtime/outputs/png_frames.h"
#include "runtime/outputs/progress_output.h"
#include "runtime/outputs/screenshots.h"
#include "runtime/outputs/video_output.h"
#include "runtime/outputs/window_output.h"
#include "runtime/outputs/window_title.h"
#include "runtime/overlay/timeline_overlay.h"
#include "runtime/script/music_cue.h"
#include "runtime/sound/music_follower.h"
#include "runtime/sound/music_player.h"

namespace glimmerq {

namespace {

constexpr int64_t kSeekSliceMicros = 40000;

// The video carries the music the script plays at its first frame, from where it is then.
VideoSettings videoSettings(const RunParts& parts) {
    const Options& options = parts.options;
    VideoSettings settings;
    settings.path = options.videoPath;
    settings.width = parts.target.width();
    settings.height = parts.target.height();
    settings.fps = options.fps;
    const auto cue = options.mute ? std::nullopt : musicAt(parts.timeline.script(), options.startMs);
    if (!cue) return settings;
    if (auto bytes = parts.data.read(cue->member)) {
        settings.soundtrack = std::move(*bytes);
        settings.soundtrackOffsetSeconds = double(options.startMs - cue->startMs) / 1000.0;
    } else {
        parts.messages.report(parts.data.origin() + ": no member \"" + cue->member + "\"; the video has no sound");
    }
    return settings;
}

}  // namespace

AssembledRun::~AssembledRun() = default;

std::unique_ptr<AssembledRun> AssembledRun::assemble(const RunPlan& plan, const RunParts& parts, RunHooks hooks,
                                                     std::string* error) {
    std::unique_ptr<AssembledRun> run(new AssembledRun());
    if (plan.playMusic) {
        run->music_ = std::make_unique<MusicPlayer>(parts.data, makeSdlAudioDevice(), parts.messages.reporter());
        run->musicFollower_ = std::make_unique<MusicFollower>(*run->music_, parts.timeline, parts.clock);
    }
    switch (plan.clock) {
    case FrameClockKind::FixedStep:
        run->frameClock_ = std::make_unique<FixedStepClock>(plan.fixedFps);
        break;
    case FrameClockKind::FollowMusic:
        run->frameClock_ = std::make_unique<FollowingClock>(parts.clock, *run->musicFollower_);
        break;
    case FrameClockKind::Wall:
        run->frameClock_ = std::make_unique<WallClock>(parts.clock);
        break;
    }
    run->pacer_ = std::make_unique<Pacer>(parts.clock, plan.pacedFps);

    PlayerSettings settings;
    settings.startMs = parts.options.startMs;
    settings.showFps = plan.showFps;
    settings.playShowFrames = plan.clock != FrameClockKind::FixedStep;
    // A seek in a window leaves the keys (Esc, a new seek) a look every few hundredths.
    settings.seekSliceMicros = plan.keys ? kSeekSliceMicros : 0;
    settings.loop = parts.options.loop;
    settings.maxFrames = parts.options.maxFrames;
    settings.afterEffect = std::move(hooks.afterEffect);
    settings.interrupted = std::move(hooks.interrupted);
    AssembledRun* self = run.get();
    Timeline& timeline = parts.timeline;
    settings.reload = [self, &timeline, reload = std::move(hooks.reload)] {
        // What went wrong shows in the title and, since full screen has none, on the overlay.
        const bool reloaded = reload && reload([self](const std::string& message) {
                                  if (self->title_) self->title_->showMessage(message);
                                  if (self->overlay_) self->overlay_->reloadFailed(message);
                              });
        if (reloaded && self->overlay_) self->overlay_->useScript(timeline.script());
        return reloaded;
    };
    // While the overlay is shown the maker is at work: the end holds instead of quitting.
    settings.holdAtEnd = [self] { return self->overlay_ && self->overlay_->visible(); };
    run->player_ = std::make_unique<Player>(parts.timeline, parts.target, parts.clock, *run->frameClock_,
                                            *run->pacer_, std::move(settings));
    if (run->musicFollower_) run->player_->addListener(run->musicFollower_.get());

    if (!run->addOutputs(plan, parts, error)) return nullptr;
    if (plan.keys) {
        // The overlay is handed the window's events before the keys.
        run->input_ = std::make_unique<WindowInput>(*parts.window);
        run->player_->addControls(run->input_.get());
        if (plan.overlay) run->addOverlay(parts, hooks);
        for (InputHandler* handler : hooks.handlers) run->input_->addHandler(handler);
        run->addKeys(parts);
    }
    for (Controls* controls : hooks.controls) run->player_->addControls(controls);
    return run;
}

bool AssembledRun::addOutputs(const RunPlan& plan, const RunParts& parts, std::string* error) {
    const Options& options = parts.options;
    for (OutputKind kind : plan.outputs) {
        std::unique_ptr<FrameOutput> output;
        switch (kind) {
        case OutputKind::PngFrames: {
            auto frames = std::make_unique<PngFrames>(options.renderDir);
            if (!frames->prepare(error)) return false;
            output = std::move(frames);
            break;
        }
        case OutputKind::Benchmark:
            output = std::make_unique<BenchmarkOutput>(parts.clock, parts.messages.out(), options.benchmarkJson,
                                                       parts.startupMs);
            break;
        case OutputKind::Video:
            output = VideoOutput::start(videoSettings(parts), error);
            if (!output) return false;
            break;
        case OutputKind::Progress:
            output = std::make_unique<ProgressOutput>(parts.messages.err(), plan.progressLabel, plan.progressTotal,
                                                      parts.clock);
            break;
        case OutputKind::Screenshots: {
            auto screenshots = std::make_unique<Screenshots>(parts.messages);
            screenshots_ = screenshots.get();
            player_->addListener(screenshots.get());
            output = std::move(screenshots);
            break;
        }
        case OutputKind::Window: {
            auto window = std::make_unique<WindowOutput>(*parts.window);
            windowOutput_ = window.get();
            output = std::move(window);
            break;
        }
        case OutputKind::WindowTitle: {
            Window* window = parts.window;
            auto title = std::make_unique<WindowTitle>(parts.title, parts.clock,
                                                       [window](const std::string& t) { window->setTitle(t); });
            title_ = title.get();
            player_->addListener(title.get());
            output = std::move(title);
            break;
        }
        }
        player_->addOutput(output.get());
        outputs_.push_back(std::move(output));
    }
    return true;
}

void AssembledRun::addKeys(const RunParts& parts) {
    keys_ = std::make_unique<KeyControls>();
    Window* window = parts.window;
    keys_->onAction(KeyAction::ToggleFullscreen, [window] { window->toggleFullscreen(); });
    if (Screenshots* screenshots = screenshots_)
        keys_->onAction(KeyAction::Screenshot, [screenshots] { screenshots->request(); });
    if (TimelineOverlay* overlay = overlay_.get())
        keys_->onAction(KeyAction::ToggleOverlay, [overlay] { overlay->toggle(); });
    input_->addHandler(keys_.get());
    player_->addControls(keys_.get());
}

// The overlay adds what the mouse asks for, and its edits. Without it the show plays as
// before; the keys' range marks work either way.
void AssembledRun::addOverlay(const RunParts& parts, RunHooks& hooks) {
    std::string error;
    overlay_ = TimelineOverlay::create(*parts.window, parts.data, parts.scriptName, parts.effectNames,
                                       parts.messages.reporter(), &error);
    if (!overlay_) {
        parts.messages.report(error + "; playing without the timeline overlay");
        return;
    }
    overlay_->useScript(parts.timeline.script());
    // An archive unpacked to edit is watched from then on, as --watch watches a directory.
    if (hooks.unpack)
        overlay_->setUnpack([this, unpack = std::move(hooks.unpack),
                             watch = std::move(hooks.watchUnpacked)](std::string* error) {
            auto folder = unpack(error);
            if (Controls* watching = folder && watch ? watch() : nullptr) player_->addControls(watching);
            return folder;
        });
    windowOutput_->setOverlay(overlay_.get());
    player_->addListener(overlay_.get());
    input_->addHandler(overlay_.get());
    player_->addControls(overlay_.get());
}

}  // namespace glimmerq
