#include "app/session.h"

#include "app/exit_codes.h"
#include "app/interrupt.h"
#include "app/run_assembly.h"
#include "app/run_plan.h"
#include "app/timeline_option.h"
#include "runtime/base/show_time.h"
#include "runtime/data/data_unpack.h"
#include "runtime/display/loading_screen.h"
#include "runtime/outputs/video_encoder.h"

#include <GL/gl.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace glimmerq {

namespace {
constexpr int64_t kWatchIntervalMicros = 500000;  // --watch looks at the files twice a second
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

// --data, else beside the program (a build tree), then where `cmake --install` puts it
// relative to the program (PREFIX/bin -> PREFIX/share/glimmerq), then the configured
// install directory.
std::string Session::findData(std::string* error) const {
    if (!options_.dataPath.empty()) return options_.dataPath;
    const std::string file = host_.dataFileName();
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

bool Session::openData(std::string* error) {
    const std::string path = findData(error);
    if (path.empty()) return false;
    auto source = openDataSource(path, error);
    if (!source) return false;
    data_ = std::make_unique<SwitchableData>(std::move(source));
    reads_ = std::make_unique<DataReads>(*data_);
    host_.serve(data_.get(), reads_.get(), nullptr);
    return true;
}

// The script inside the data, named for messages as the path a person would open.
std::optional<Script> Session::readScript(std::string* error) {
    const std::string name = host_.scriptName();
    const auto bytes = data_->read(name);
    if (!bytes) {
        *error = data_->origin() + ": no timeline script \"" + name + "\"";
        return std::nullopt;
    }
    reads_->record(-1, name);
    std::vector<std::string> names;
    for (const auto& e : host_.effects()) names.push_back(e.name);
    const std::string shownName = (fs::path(data_->origin()) / name).string();
    auto script = parseScript(std::string(bytes->begin(), bytes->end()), names, error, shownName);
    // The music player reads its tracks itself; a changed track asks for a reload too, which
    // starts the music again from the new file.
    if (script)
        for (const Event& event : script->events)
            if (event.verb == Event::Verb::Music) reads_->record(-1, event.text);
    return script;
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
    if (options_.listEffects) {
        for (const auto& e : host_.effects()) std::fprintf(messages_.out(), "%s\n", e.name.c_str());
        return kExitOk;
    }

    std::string error;
    chooseRenderSize();
    // A video that cannot be written is known before anything is read or drawn: a wrong name
    // or place is a mistake on the command line.
    VideoProblem problem = VideoProblem::None;
    if (!options_.videoPath.empty() && !checkVideoOutput(options_.videoPath, width_, height_, &error, &problem))
        return fail(error, problem == VideoProblem::Name || problem == VideoProblem::Place ? kExitUsage : kExitFailure);
    if (!openData(&error)) return fail(error, kExitFailure);
    auto script = readScript(&error);
    if (!script) return fail(error, kExitFailure);
    if (!options_.timelinePath.empty()) {
        const auto say = [this](const std::string& line) { messages_.report(line); };
        if (!writeTimelineChart(options_.timelinePath, *data_, host_.scriptName(), *script, host_.effects(), say, &error))
            return fail(error, kExitFailure);
        return kExitOk;
    }
    if (options_.startMs > 0 && options_.startMs >= script->endMs())
        return fail("--start " + formatShowTime(options_.startMs, ShowTimeStyle::Short) +
                        " is past the end of the show (" + formatShowTime(script->endMs(), ShowTimeStyle::Short) + ")",
                    kExitUsage);

    if (!openGraphics(title, &error)) return fail(error, kExitFailure);
    textures_ = std::make_unique<TextureStore>(
        *data_, [this](const std::string& m) { messages_.report(data_->origin() + ": " + m); });
    host_.serve(data_.get(), reads_.get(), textures_.get());

    if (!setUpEffects()) return kExitOk;
    Timeline timeline(host_.effects(), std::move(*script));
    return play(timeline, title);
}

bool Session::reload(Timeline& timeline, const std::function<void(const std::string&)>& show) {
    const auto say = [&](const std::string& message) {
        messages_.report(message);
        show(message);
    };
    if (!data_->reloadable()) {
        say(data_->origin() + " is an archive; only a data directory can be reloaded");
        return false;
    }
    std::string error;
    auto script = readScript(&error);
    if (!script) {
        say(error);  // the old script plays on until the next change
        reads_->accept({host_.scriptName()});
        return false;
    }
    const std::vector<std::string> changed = reads_->changed();
    timeline.replaceScript(std::move(*script));  // every run released: nothing is resident
    for (const std::string& name : changed) textures_->reload(name);
    std::string again;
    for (int owner : reads_->ownersOf(changed)) {
        setUpEffect(size_t(owner));
        again += (again.empty() ? "" : ", ") + host_.effects()[size_t(owner)].name;
    }
    reads_->accept(changed);
    messages_.report("reloaded " + data_->origin() + (again.empty() ? "" : "; set up again: " + again));
    return true;
}

// Asked once a frame; looks at the files read so far twice a second.
std::function<bool()> Session::watchForChanges() {
    if (!data_->reloadable()) {
        messages_.report("--watch: " + data_->origin() + " is an archive, which never changes; watching nothing");
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

    std::vector<std::string> names;
    for (const auto& e : host_.effects()) names.push_back(e.name);
    const RunParts parts{options_, timeline, *target_, clock_, messages_, *data_, window_.get(), title,
                         host_.scriptName(), names, double(clock_.nowMicros() - createdMicros_) / 1000.0};
    InterruptWatch interrupt;
    RunHooks hooks;
    if (options_.checkGl)
        hooks.afterEffect = [this](const std::string& name, int64_t timeMs) { reportGlErrors(name, timeMs); };
    hooks.interrupted = [&interrupt] { return interrupt.requested(); };
    hooks.reload = [this, &timeline](const std::function<void(const std::string&)>& show) {
        return reload(timeline, show);
    };
    if (plan.watch) hooks.changed = watchForChanges();
    if (!data_->reloadable()) {
        hooks.unpack = [this](std::string* why) { return unpackArchive(why); };
        hooks.watch = [this] { return watchForChanges(); };
    }

    std::string error;
    auto run = AssembledRun::assemble(plan, parts, std::move(hooks), &error);
    if (!run) return fail(error, kExitFailure);
    switch (run->play(&error)) {
    case Player::Outcome::Failed:
        return fail(error, kExitFailure);
    case Player::Outcome::Interrupted:
        exitCode_ = exitCodeForSignal(interrupt.signal());
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
