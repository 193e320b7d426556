#include "runtime/runtime.h"

#include "runtime/png_writer.h"

#include <GL/gl.h>
#include <SDL.h>

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

}  // namespace

Runtime::Runtime(Options options, Clock& clock, FILE* out, FILE* err)
    : options_(std::move(options)), clock_(clock), out_(out), err_(err), createdMicros_(clock.nowMicros()) {}

Runtime::~Runtime() { appEnd(); }

int Runtime::fail(const std::string& message) {
    std::fprintf(err_, "%s\n", message.c_str());
    exitCode_ = 1;
    return 1;
}

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
std::string Runtime::defaultDataPath() const {
    const auto it = variables_.find(kVariableDataFile);
    const std::string file = it != variables_.end() && !it->second.empty() ? it->second : kDefaultDataFile;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        for (const fs::path& candidate : {exe.parent_path() / file, exe.parent_path().parent_path() / "share" / "glimmerq" / file})
            if (fs::exists(candidate, ec)) return candidate.string();
    }
    return (fs::path(GLIMMERQ_INSTALL_DATADIR) / file).string();
}

unsigned char* Runtime::fileLoad(const char* name, size_t* size) {
    if (!data_) return nullptr;
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
    return textures_ ? textures_->load(name, params) : 0;
}

int Runtime::textureUpload(unsigned handle) { return textures_ ? textures_->upload(handle) : 1; }

void Runtime::textureUnUpload(unsigned handle) {
    if (textures_) textures_->unUpload(handle);
}

int Runtime::messageBox(const char* text, const char* caption, unsigned type) {
    std::fprintf(err_, "%s: %s\n", caption, text);
    if (window_) {
        const Uint32 flags = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
    }
    return IDOK;
}

bool Runtime::openGraphics(const std::string& title, std::string* error) {
    width_ = options_.width;
    height_ = options_.height;
    if (width_ == 0) {
        width_ = kDefaultWidth;
        height_ = kDefaultHeight;
        if (options_.fullscreen && !options_.headless) Window::desktopSize(&width_, &height_);
    }
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
            std::fprintf(err_, "%s: %s (loading screen shown without it)\n", data_->origin().c_str(), error.c_str());
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
        CEffect* effect = effects_[i].effect;
        if (!effect) continue;
        const int result = effect->Setup(width_, height_);
        if (result != 0)
            std::fprintf(err_, "glimmerq: %s: Setup returned %d (a resource failed to load); it plays anyway\n",
                         effects_[i].name.c_str(), result);
    }
    screen.close();
    // Playback starts from a black picture and GL's initial clear state.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void Runtime::reportGlErrors(const std::string& effect, int64_t elapsedMs) {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        std::fprintf(err_, "GL error 0x%04X after %s at %lld.%03lld s\n", unsigned(error), effect.c_str(),
                     (long long)(elapsedMs / 1000), (long long)(elapsedMs % 1000));
}

int Runtime::appRun(HINSTANCE, const SStartupDat*, const char* title, bool, unsigned char, unsigned char, int) {
    if (options_.listEffects) {
        for (const auto& e : effects_) std::fprintf(out_, "%s\n", e.name.c_str());
        return 0;
    }

    const std::string dataPath = options_.dataPath.empty() ? defaultDataPath() : options_.dataPath;
    std::string error;
    data_ = openDataSource(dataPath, &error);
    if (!data_) return fail(error);

    const auto scriptIt = variables_.find(kVariableScript);
    const std::string scriptName =
        scriptIt != variables_.end() && !scriptIt->second.empty() ? scriptIt->second : kDefaultScript;
    const auto scriptBytes = data_->read(scriptName);
    if (!scriptBytes) return fail(dataPath + ": no timeline script \"" + scriptName + "\"");
    std::vector<std::string> names;
    for (const auto& e : effects_) names.push_back(e.name);
    auto script = parseScript(std::string(scriptBytes->begin(), scriptBytes->end()), names, &error, scriptName);
    if (!script) return fail(error);

    if (!openGraphics(title ? title : "glimmerQ", &error)) return fail("glimmerq: " + error);
    textures_ = std::make_unique<TextureStore>(
        *data_, [this](const std::string& m) { std::fprintf(err_, "%s: %s\n", data_->origin().c_str(), m.c_str()); });

    if (!loadEffects()) return 0;
    Timeline timeline(effects_, std::move(*script));
    return play(timeline);
}

int Runtime::play(Timeline& timeline) {
    FrameStats stats;
    if (!options_.renderDir.empty()) {
        std::error_code ec;
        fs::create_directories(options_.renderDir, ec);
        if (ec) return fail("glimmerq: " + options_.renderDir + ": " + ec.message());
    }
    const double startupMs = double(clock_.nowMicros() - createdMicros_) / 1000.0;
    int64_t originMicros = clock_.nowMicros();  // when the timeline (last) began
    const int64_t playStartMicros = originMicros;
    int64_t startMs = options_.startMs;         // timeline time at originMicros
    int64_t loopFrame = 0;                      // frames since the timeline last began
    int64_t lastFrameMicros = originMicros;
    std::vector<unsigned char> pixels;
    const auto afterEffect = [&](const std::string& name, int64_t elapsed) {
        if (options_.checkGl) reportGlErrors(name, elapsed);
    };

    for (int64_t frame = 0; options_.maxFrames == 0 || frame < options_.maxFrames;) {
        int64_t elapsed;
        if (options_.fixedStep()) {
            elapsed = startMs + fixedStepMs(loopFrame, options_.fps);
            // In a window, a fixed step still plays at its own pace.
            if (window_) clock_.sleepUntil(originMicros + fixedStepMs(loopFrame, options_.fps) * 1000);
        } else {
            // Spins and fades advance once per frame: with vsync on, never run faster than
            // the display even where swapping does not wait for it (virtual displays).
            if (window_ && options_.vsync && frame > 0)
                clock_.sleepUntil(lastFrameMicros + 1000000 / window_->refreshRate());
            elapsed = startMs + (clock_.nowMicros() - originMicros) / 1000;
        }
        lastFrameMicros = clock_.nowMicros();
        const int64_t frameStart = clock_.nowMicros();
        if (!timeline.advance(elapsed)) {
            // A script that ends before its first frame would loop without ever drawing.
            if (!options_.loop || loopFrame == 0) break;
            timeline.rewind();
            originMicros = clock_.nowMicros();
            startMs = 0;
            loopFrame = 0;
            continue;
        }
        const std::string combination = options_.benchmark ? timeline.runningCombination() : std::string();
        timeline.draw(elapsed, [&](const std::string& name) { afterEffect(name, elapsed); });

        if (options_.benchmark) {
            glFinish();
            stats.add(combination, double(clock_.nowMicros() - frameStart) / 1000.0);
        }
        if (!options_.renderDir.empty()) {
            target_->readPixels(&pixels);
            char name[32];
            std::snprintf(name, sizeof name, "%06lld.png", (long long)frame);
            std::string error;
            if (!writePng((fs::path(options_.renderDir) / name).string(), width_, height_, pixels, &error))
                return fail("glimmerq: " + error);
        }
        if (window_) {
            window_->present(*target_);
            if (window_->pollEvents().quit) break;
        }
        ++frame;
        ++loopFrame;
    }
    timeline.stopAll();

    if (options_.benchmark) {
        const double playSeconds = double(clock_.nowMicros() - playStartMicros) / 1e6;
        stats.printTable(out_, startupMs, playSeconds);
        std::string error;
        if (!options_.benchmarkJson.empty() && !stats.writeJson(options_.benchmarkJson, startupMs, playSeconds, &error))
            return fail("glimmerq: " + error);
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
