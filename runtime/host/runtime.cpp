#include "runtime/host/runtime.h"

#include "runtime/outputs/benchmark_output.h"
#include "runtime/play/frame_clock.h"
#include "app/interrupt.h"
#include "runtime/play/pacer.h"
#include "runtime/play/player.h"
#include "runtime/script/music_cue.h"
#include "runtime/sound/music_follower.h"
#include "runtime/sound/music_player.h"
#include "runtime/outputs/png_frames.h"
#include "runtime/outputs/progress_output.h"
#include "runtime/base/time_format.h"
#include "runtime/outputs/video_output.h"
#include "runtime/outputs/window_output.h"
#include "app/timeline_option.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace glimmerq {

namespace {

// The entry names the data file and the script through these settings.
constexpr int kVariableDataFile = 4;
constexpr int kVariableScript = 5;
const char kDefaultDataFile[] = "glimmerQ.dat";
const char kDefaultScript[] = "demoflow";
const char kPrefix[] = "glimmerq: ";
constexpr int kExitBadStart = 2;             // like a bad command line
constexpr int kHeadlessFramesPerSecond = 60;  // real time without a display: as on a 60 Hz one
constexpr int64_t kWatchIntervalMicros = 500000;  // --watch looks at the files twice a second

}  // namespace

Runtime::Runtime(Options options, Clock& clock, FILE* out, FILE* err)
    : options_(std::move(options)), clock_(clock), out_(out), err_(err), createdMicros_(clock.nowMicros()) {}

Runtime::~Runtime() { appEnd(); }

int Runtime::fail(const std::string& message, int exitCode) {
    report(message);
    exitCode_ = exitCode;
    return exitCode;
}

void Runtime::report(const std::string& message) { std::fprintf(err_, "%s%s\n", kPrefix, message.c_str()); }

void Runtime::setVariable(int id, bool value) { variables_[id] = value ? "1" : "0"; }
void Runtime::setVariable(int id, int value) { variables_[id] = std::to_string(value); }
void Runtime::setVariable(int id, const char* value) { variables_[id] = value ? value : ""; }

void Runtime::registerEffect(CEffect* effect, const char* name) {
    effects_.push_back({name ? name : "", effect});
}

void Runtime::loadingBarEnable(int enabled, float width, float height, float x, float y) {
    loading_.barEnabled = enabled != 0;
    loading_.barWidth = width;
    loading_.barHeight = height;
    loading_.barX = x;
    loading_.barY = y;
}

void Runtime::loadingBarAppearance(bool drawBackground, bool blend, unsigned sourceFactor,
                                   unsigned destinationFactor, const float colors[7]) {
    loading_.drawBackground = drawBackground;
    loading_.blend = blend;
    loading_.sourceFactor = sourceFactor;
    loading_.destinationFactor = destinationFactor;
    loading_.opacity = colors[0];
    for (int i = 0; i < 3; ++i) {
        loading_.background[i] = colors[1 + i];
        loading_.bar[i] = colors[4 + i];
    }
}

void Runtime::loadingSplashEnable(const char* image, int fit, float opacity) {
    loading_.splashEnabled = image && *image;
    loading_.splashName = image ? image : "";
    loading_.splashFit = fit;
    loading_.splashOpacity = opacity;
}

// Beside the program (a build tree), then where `cmake --install` puts it relative to the
// program (PREFIX/bin -> PREFIX/share/glimmerq), then the configured install directory.
std::string Runtime::dataPath(std::string* error) const {
    if (!options_.dataPath.empty()) return options_.dataPath;
    const auto it = variables_.find(kVariableDataFile);
    const std::string file = it != variables_.end() && !it->second.empty() ? it->second : kDefaultDataFile;
    std::vector<fs::path> candidates;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        candidates.push_back(exe.parent_path() / file);
        candidates.push_back(exe.parent_path().parent_path() / "share" / "glimmerq" / file);
    }
    candidates.push_back(fs::path(GLIMMERQ_INSTALL_DATADIR) / file);
    std::string looked;
    for (const fs::path& candidate : candidates) {
        if (fs::exists(candidate, ec)) return candidate.string();
        looked += (looked.empty() ? "" : ", ") + candidate.lexically_normal().string();
    }
    *error = "no " + file + " found (looked in " + looked + "); name the data with --data PATH";
    return std::string();
}

unsigned char* Runtime::fileLoad(const char* name, size_t* size) {
    if (!data_ || !name) return nullptr;
    reads_->record(settingUp_, name);
    auto bytes = data_->read(name);
    if (!bytes) return nullptr;
    auto* copy = static_cast<unsigned char*>(std::malloc(bytes->size() + 1));
    if (!copy) return nullptr;
    if (!bytes->empty()) std::memcpy(copy, bytes->data(), bytes->size());
    copy[bytes->size()] = 0;
    if (size) *size = bytes->size();
    return copy;
}

void Runtime::fileFree(const unsigned char* data) { std::free(const_cast<unsigned char*>(data)); }

unsigned Runtime::textureLoad(const char* name, const TextureParams& params) {
    if (!textures_ || !name) return 0;
    reads_->record(settingUp_, name);
    const unsigned handle = textures_->load(name, params);
    if (handle == 0 && settingUp_ >= 0) failedTextures_.push_back(name);
    return handle;
}

int Runtime::textureUpload(unsigned handle) { return textures_ ? textures_->upload(handle) : 1; }

void Runtime::textureUnUpload(unsigned handle) {
    if (textures_) textures_->unUpload(handle);
}

int Runtime::messageBox(const char* text, const char* caption, unsigned type) {
    const std::string who = settingUp_ >= 0 ? effects_[size_t(settingUp_)].name + ": " : std::string();
    report(who + (text ? text : ""));
    if (window_) {
        const Uint32 flags = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
    }
    return IDOK;
}

void Runtime::chooseRenderSize() {
    width_ = options_.width;
    height_ = options_.height;
    if (width_ == 0) {
        width_ = kDefaultWidth;
        height_ = kDefaultHeight;
        if (options_.fullscreen && !options_.headless) Window::desktopSize(&width_, &height_);
    }
}

bool Runtime::openGraphics(const std::string& title, std::string* error) {
    if (options_.headless) {
        headless_ = HeadlessGlContext::create(error);
        if (!headless_) return false;
    } else {
        window_ = Window::open(title, width_, height_, options_.fullscreen, options_.vsync, error);
        if (!window_) return false;
    }
    if (!checkRuntimeGlSupport(error)) return false;
    target_ = std::make_unique<RenderTarget>();
    return target_->create(width_, height_, error);
}

bool Runtime::loadEffects() {
    Image splash;
    if (loading_.splashEnabled) {
        std::string error;
        if (!textures_->decode(loading_.splashName, &splash, &error))
            report(data_->origin() + ": " + error + " (loading screen shown without it)");
    }
    LoadingScreen screen(loading_, splash, width_, height_);
    const size_t count = effects_.size();
    for (size_t i = 0; i <= count; ++i) {
        screen.draw(count ? float(i) / float(count) : 1.0f);
        if (window_) {
            window_->present(*target_);
            if (window_->pollEvents().quit) return false;
        }
        if (i == count) break;
        setUpEffect(i);
    }
    screen.close();
    // Playback starts from a black picture and GL's initial clear state.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

// Effects say only that something failed; the textures asked for during Setup say what.
void Runtime::setUpEffect(size_t index) {
    CEffect* effect = effects_[index].effect;
    if (!effect) return;
    settingUp_ = int(index);
    failedTextures_.clear();
    const int result = effect->Setup(width_, height_);
    settingUp_ = -1;
    const std::string& name = effects_[index].name;
    for (const std::string& texture : failedTextures_)
        report(name + ": " + texture + " could not be loaded; playing without it");
    if (result != 0 && failedTextures_.empty())
        report(name + ": its set-up failed (" + std::to_string(result) + "); playing it anyway");
}

void Runtime::reportGlErrors(const std::string& effect, int64_t elapsedMs) {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        char line[96];
        std::snprintf(line, sizeof line, "GL error 0x%04X after %s at %lld.%03lld s", unsigned(error),
                      effect.c_str(), (long long)(elapsedMs / 1000), (long long)(elapsedMs % 1000));
        report(line);
    }
}

// The script inside the data, named for messages as the path a person would open.
std::optional<Script> Runtime::readScript(std::string* error) {
    const auto bytes = data_->read(scriptName_);
    if (!bytes) {
        *error = data_->origin() + ": no timeline script \"" + scriptName_ + "\"";
        return std::nullopt;
    }
    reads_->record(-1, scriptName_);
    std::vector<std::string> names;
    for (const auto& e : effects_) names.push_back(e.name);
    const std::string shownName = (fs::path(data_->origin()) / scriptName_).string();
    return parseScript(std::string(bytes->begin(), bytes->end()), names, error, shownName);
}

int Runtime::appRun(HINSTANCE, const SStartupDat*, const char* title, bool, unsigned char, unsigned char, int) {
    if (options_.listEffects) {
        for (const auto& e : effects_) std::fprintf(out_, "%s\n", e.name.c_str());
        return 0;
    }

    std::string error;
    const std::string path = dataPath(&error);
    if (path.empty()) return fail(error);
    data_ = openDataSource(path, &error);
    if (!data_) return fail(error);
    reads_ = std::make_unique<DataReads>(*data_);

    const auto scriptIt = variables_.find(kVariableScript);
    scriptName_ = scriptIt != variables_.end() && !scriptIt->second.empty() ? scriptIt->second : kDefaultScript;
    auto script = readScript(&error);
    if (!script) return fail(error);
    if (!options_.timelinePath.empty())
        return writeTimelineChart(options_.timelinePath, *data_, scriptName_, *script, effects_,
                                  [this](const std::string& line) { report(line); }, &error) ? 0 : fail(error);
    if (options_.startMs > 0 && options_.startMs >= script->endMs())
        return fail("--start " + formatShowTime(options_.startMs, false) + " is past the end of the show (" +
                        formatShowTime(script->endMs(), false) + ")",
                    kExitBadStart);

    chooseRenderSize();
    // A video that cannot be written is known before anything is drawn.
    if (!options_.videoPath.empty() && !checkVideoOutput(options_.videoPath, width_, height_, &error))
        return fail(error);
    if (!openGraphics(title ? title : "glimmerQ", &error)) return fail(error);
    textures_ = std::make_unique<TextureStore>(*data_,
                                               [this](const std::string& m) { report(data_->origin() + ": " + m); });

    if (!loadEffects()) return 0;
    Timeline timeline(effects_, std::move(*script));
    return play(timeline, title ? title : "glimmerQ");
}

bool Runtime::reload(Timeline& timeline) {
    const auto say = [&](const std::string& message) {
        report(message);
        if (windowOutput_) windowOutput_->showMessage(message);
    };
    if (!data_->reloadable()) {
        say(data_->origin() + " is an archive; only a data directory can be reloaded");
        return false;
    }
    std::string error;
    auto script = readScript(&error);
    if (!script) {
        say(error);  // the old script plays on until the next change
        reads_->accept({scriptName_});
        return false;
    }
    const std::vector<std::string> changed = reads_->changed();
    timeline.replaceScript(std::move(*script));  // every run released: nothing is resident
    for (const std::string& name : changed) textures_->reload(name);
    std::string again;
    for (int owner : reads_->ownersOf(changed)) {
        setUpEffect(size_t(owner));
        again += (again.empty() ? "" : ", ") + effects_[size_t(owner)].name;
    }
    reads_->accept(changed);
    report("reloaded " + data_->origin() + (again.empty() ? "" : "; set up again: " + again));
    return true;
}

// Fixed steps in a window keep their own pace; rendering and measuring run flat out.
int Runtime::pacedFramesPerSecond() const {
    if (options_.fixedStep()) return window_ ? options_.fps : 0;
    if (!window_) return options_.maxFps > 0 ? options_.maxFps : kHeadlessFramesPerSecond;
    if (options_.maxFps > 0) return options_.maxFps;
    return options_.vsync ? window_->refreshRate() : 0;  // where swapping does not wait for it
}

// The video carries the music the script plays at its first frame, from where it is then.
VideoSettings Runtime::videoSettings(const Script& script) {
    VideoSettings settings;
    settings.path = options_.videoPath;
    settings.width = width_;
    settings.height = height_;
    settings.fps = options_.fps;
    const auto cue = options_.mute ? std::nullopt : musicAt(script, options_.startMs);
    if (!cue) return settings;
    if (auto bytes = data_->read(cue->member)) {
        settings.soundtrack = std::move(*bytes);
        settings.soundtrackOffsetSeconds = double(options_.startMs - cue->startMs) / 1000.0;
    } else {
        report(data_->origin() + ": no member \"" + cue->member + "\"; the video has no sound");
    }
    return settings;
}

// Asked once a frame; looks at the files read so far twice a second.
std::function<bool()> Runtime::watchForChanges() {
    if (!data_->reloadable()) {
        report("--watch: " + data_->origin() + " is an archive, which never changes; watching nothing");
        return {};
    }
    int64_t lastLook = clock_.nowMicros();
    return [this, lastLook]() mutable {
        const int64_t now = clock_.nowMicros();
        if (now - lastLook < kWatchIntervalMicros) return false;
        lastLook = now;
        return !reads_->changed().empty();
    };
}

int Runtime::play(Timeline& timeline, const std::string& title) {
    const double startupMs = double(clock_.nowMicros() - createdMicros_) / 1000.0;

    // Real-time runs play the script's music and follow it; fixed steps never open a device.
    std::unique_ptr<MusicPlayer> music;
    std::unique_ptr<MusicFollower> musicFollower;
    const auto& events = timeline.script().events;
    const bool scriptHasMusic = std::any_of(events.begin(), events.end(), [](const Event& e) {
        return e.verb == Event::Verb::Music;
    });
    if (!options_.fixedStep() && !options_.mute && scriptHasMusic) {
        music = std::make_unique<MusicPlayer>(*data_, makeSdlAudioDevice(),
                                              [this](const std::string& line) { std::fprintf(err_, "%s\n", line.c_str()); });
        musicFollower = std::make_unique<MusicFollower>(*music, timeline, clock_);
    }

    std::unique_ptr<FrameClock> frameClock;
    if (options_.fixedStep())
        frameClock = std::make_unique<FixedStepClock>(options_.fps);
    else if (musicFollower)
        frameClock = std::make_unique<FollowingClock>(clock_, *musicFollower);
    else
        frameClock = std::make_unique<WallClock>(clock_);

    Pacer pacer(clock_, pacedFramesPerSecond());

    InterruptWatch interrupt;
    PlayerSettings settings;
    settings.startMs = options_.startMs;
    settings.loop = options_.loop;
    settings.maxFrames = options_.maxFrames;
    if (options_.checkGl)
        settings.afterEffect = [this](const std::string& name, int64_t timeMs) { reportGlErrors(name, timeMs); };
    settings.interrupted = [&interrupt] { return interrupt.requested(); };
    settings.reload = [this, &timeline] { return reload(timeline); };
    Player player(timeline, *target_, clock_, *frameClock, pacer, std::move(settings));

    if (musicFollower) player.addListener(musicFollower.get());

    std::unique_ptr<PngFrames> pngFrames;
    if (!options_.renderDir.empty()) {
        pngFrames = std::make_unique<PngFrames>(options_.renderDir);
        std::string error;
        if (!pngFrames->prepare(&error)) return fail(error);
        player.addOutput(pngFrames.get());
    }
    std::unique_ptr<BenchmarkOutput> benchmark;
    if (options_.benchmark) {
        benchmark = std::make_unique<BenchmarkOutput>(clock_, out_, options_.benchmarkJson, startupMs);
        player.addOutput(benchmark.get());
    }
    std::unique_ptr<VideoOutput> video;
    if (!options_.videoPath.empty()) {
        std::string error;
        video = VideoOutput::start(videoSettings(timeline.script()), &error);
        if (!video) return fail(error);
        player.addOutput(video.get());
    }
    // Long work shows how far it got.
    std::unique_ptr<ProgressOutput> progress;
    if (pngFrames || video) {
        int64_t total = options_.maxFrames;
        if (total == 0 && !options_.loop)
            total = ((timeline.endMs() - options_.startMs) * options_.fps + 999) / 1000;
        const std::string label = video ? options_.videoPath : options_.renderDir;
        progress = std::make_unique<ProgressOutput>(err_, label, total, clock_);
        player.addOutput(progress.get());
    }
    std::unique_ptr<WindowOutput> windowOutput;
    if (window_) {
        windowOutput = std::make_unique<WindowOutput>(*window_, clock_, title, out_, err_);
        if (options_.watch) windowOutput->setReloadRequest(watchForChanges());
        player.addOutput(windowOutput.get());
        player.setControls(windowOutput.get());
        player.addListener(windowOutput.get());
        windowOutput_ = windowOutput.get();
    }

    std::string error;
    const Player::Outcome outcome = player.run(&error);
    windowOutput_ = nullptr;
    switch (outcome) {
    case Player::Outcome::Failed:
        return fail(error);
    case Player::Outcome::Interrupted:
        exitCode_ = kExitInterrupted;
        return kExitInterrupted;
    case Player::Outcome::Ended:
    case Player::Outcome::Quit:
        break;
    }
    return 0;
}

void Runtime::appEnd() {
    textures_.reset();
    target_.reset();
    window_.reset();
    headless_.reset();
}

}  // namespace glimmerq
