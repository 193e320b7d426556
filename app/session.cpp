#include "app/session.h"

#include "app/data_reload.h"
#include "app/exit_codes.h"
#include "app/interrupt.h"
#include "app/run_assembly.h"
#include "app/run_plan.h"
#include "app/show_data.h"
#include "runtime/base/show_time.h"
#include "runtime/data/data_unpack.h"
#include "runtime/display/loading_screen.h"
#include "runtime/input/key_map.h"
#include "runtime/outputs/video_encoder.h"

#include <GL/gl.h>

#include <algorithm>

namespace glimmerq {

namespace {

std::vector<std::string> effectNames(const DemoGlHost& host) {
    std::vector<std::string> names;
    for (const auto& e : host.effects()) names.push_back(e.name);
    return names;
}

}  // namespace

Session::Session(Options options, DemoGlHost& host, Clock& clock, const Messages& messages)
    : options_(std::move(options)), host_(host), clock_(clock), messages_(messages),
      createdMicros_(clock.nowMicros()) {}

Session::~Session() { endShow(); }

int Session::fail(const std::string& message, int exitCode) {
    messages_.report(message);
    exitCode_ = exitCode;
    return exitCode;
}

bool Session::openData(std::string* error) {
    const std::string path = findDataPath(options_.dataPath, host_.dataFileName(), error);
    if (path.empty()) return false;
    auto source = openDataSource(path, error);
    if (!source) return false;
    data_ = std::make_unique<SwitchableData>(std::move(source));
    reads_ = std::make_unique<DataReads>(*data_);
    host_.serve(data_.get(), reads_.get(), nullptr);
    return true;
}

std::optional<Script> Session::readScript(std::string* error) {
    return readShowScript(*data_, reads_.get(), host_.scriptName(), effectNames(host_), error);
}

void Session::chooseRenderSize() {
    width_ = options_.width;
    height_ = options_.height;
    if (width_ == 0) {
        width_ = kDefaultWidth;
        height_ = kDefaultHeight;
        if (options_.fullscreen && !options_.headless) Window::desktopSize(&width_, &height_);
    }
}

bool Session::openGraphics(const std::string& title, std::string* error) {
    if (options_.headless) {
        headless_ = HeadlessGlContext::create(error);
        if (!headless_) return false;
    } else {
        window_ = Window::open(title, width_, height_, options_.fullscreen, options_.vsync, error);
        if (!window_) return false;
        host_.showMessageBoxes(true);
    }
    if (!checkRuntimeGlSupport(error)) return false;
    target_ = std::make_unique<RenderTarget>();
    return target_->create(width_, height_, error);
}

bool Session::setUpEffects() {
    const LoadingScreenConfig& loading = host_.loadingScreen();
    Image splash;
    if (loading.splashEnabled) {
        std::string error;
        if (!textures_->decode(loading.splashName, &splash, &error))
            messages_.report(data_->origin() + ": " + error + " (loading screen shown without it)");
    }
    LoadingScreen screen(loading, splash, width_, height_);
    const size_t count = host_.effects().size();
    for (size_t i = 0; i <= count; ++i) {
        screen.draw(count ? float(i) / float(count) : 1.0f);
        if (window_) {
            window_->present(*target_);
            for (const WindowEvent& event : window_->pollEvents())
                if (event.kind == WindowEvent::Kind::Quit || keyAction(event) == KeyAction::Quit) return false;
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
void Session::setUpEffect(size_t index) {
    const DemoGlHost::SetUpResult outcome = host_.setUp(index, width_, height_);
    const std::string& name = host_.effects()[index].name;
    for (const std::string& texture : outcome.failedTextures)
        messages_.report(name + ": " + texture + " could not be loaded; playing without it");
    if (outcome.result != 0 && outcome.failedTextures.empty())
        messages_.report(name + ": its set-up failed (" + std::to_string(outcome.result) + "); playing it anyway");
}

void Session::reportGlErrors(const std::string& effect, int64_t elapsedMs) {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        char line[96];
        std::snprintf(line, sizeof line, "GL error 0x%04X after %s at %lld.%03lld s", unsigned(error),
                      effect.c_str(), (long long)(elapsedMs / 1000), (long long)(elapsedMs % 1000));
        messages_.report(line);
    }
}

int Session::runShow(const std::string& title) {
    std::string error;
    chooseRenderSize();
    // A video that cannot be written is known before anything is read or drawn: a wrong name,
    // place or size (a video's size is --size or the default) is a mistake on the command line;
    // only a missing encoder is not.
    VideoProblem problem = VideoProblem::None;
    if (!options_.videoPath.empty() && !checkVideoOutput(options_.videoPath, width_, height_, &error, &problem))
        return fail(error, problem == VideoProblem::Program ? kExitFailure : kExitUsage);
    if (!openData(&error)) return fail(error, kExitFailure);
    auto script = readScript(&error);
    if (!script) return fail(error, kExitFailure);
    if (options_.startMs > 0 && options_.startMs >= script->endMs())
        return fail("--start " + formatShowTime(options_.startMs, ShowTimeStyle::Short) +
                        " is past the end of the show (" + formatShowTime(script->endMs(), ShowTimeStyle::Short) + ")",
                    kExitUsage);

    if (!openGraphics(title, &error)) return fail(error, kExitFailure);
    textures_ = std::make_unique<TextureStore>(
        *data_, [this](const std::string& m) { messages_.report(data_->origin() + ": " + m); });
    host_.serve(data_.get(), reads_.get(), textures_.get());

    if (!setUpEffects()) return kExitOk;
    if (interrupt_.requested()) return exitCode_ = exitCodeForSignal(interrupt_.signal());
    Timeline timeline(host_.effects(), std::move(*script));
    return play(timeline, title);
}

// The archive's members into a new folder in the current directory; the run carries on
// from there, editable, reloadable and watched.
std::optional<std::string> Session::unpackArchive(std::string* error) {
    const std::string archive = data_->origin();
    const std::string folder = freeUnpackFolder("", archive);
    if (!unpackData(*data_, folder, error)) return std::nullopt;
    auto unpacked = openDataSource(folder, error);
    if (!unpacked) return std::nullopt;
    data_->switchTo(std::move(unpacked));
    reads_->accept(reads_->changed());  // the same files as before: nothing to set up again
    messages_.report("unpacked " + archive + " into " + folder + "; edits are saved there and it is watched");
    return folder;
}

int Session::play(Timeline& timeline, const std::string& title) {
    const auto& events = timeline.script().events;
    RunFacts facts;
    facts.window = window_ != nullptr;
    facts.refreshRate = window_ ? window_->refreshRate() : 0;
    facts.scriptHasMusic =
        std::any_of(events.begin(), events.end(), [](const Event& e) { return e.verb == Event::Verb::Music; });
    facts.endMs = timeline.endMs();
    const RunPlan plan = planRun(options_, facts);

    const RunParts parts{options_, timeline, *target_, clock_, messages_, *data_, window_.get(), title,
                         host_.scriptName(), effectNames(host_), double(clock_.nowMicros() - createdMicros_) / 1000.0};
    RunHooks hooks;
    if (options_.checkGl)
        hooks.afterEffect = [this](const std::string& name, int64_t timeMs) { reportGlErrors(name, timeMs); };
    hooks.interrupted = [this] { return interrupt_.requested(); };
    DataReload reloading(*data_, *reads_, *textures_, host_, messages_, [this](size_t i) { setUpEffect(i); });
    hooks.reload = [&reloading, &timeline](const std::function<void(const std::string&)>& show) {
        return reloading.reload(timeline, show);
    };
    std::unique_ptr<Controls> watch = plan.watch ? reloading.watch(clock_) : nullptr;
    if (watch) hooks.controls.push_back(watch.get());
    if (!data_->reloadable()) {
        hooks.unpack = [this](std::string* why) { return unpackArchive(why); };
        // The unpacked folder is watched from then on, as --watch watches a directory.
        hooks.watchUnpacked = [this, &reloading, &watch] {
            watch = reloading.watch(clock_);
            return watch.get();
        };
    }

    std::string error;
    auto run = AssembledRun::assemble(plan, parts, std::move(hooks), &error);
    if (!run) return fail(error, kExitFailure);
    switch (run->play(&error)) {
    case Player::Outcome::Failed:
        return fail(error, kExitFailure);
    case Player::Outcome::Interrupted:
        exitCode_ = exitCodeForSignal(interrupt_.signal());
        return exitCode_;
    case Player::Outcome::Ended:
    case Player::Outcome::Quit:
        break;
    }
    return kExitOk;
}

void Session::endShow() {
    host_.serve(nullptr, nullptr, nullptr);
    host_.showMessageBoxes(false);
    textures_.reset();
    target_.reset();
    window_.reset();
    headless_.reset();
}

}  // namespace glimmerq
