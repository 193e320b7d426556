// runtime.h: the host behind the DEMOGL_ calls when the program really plays.
//
//   Runtime runtime(options, clock);
//   installHost(&runtime);
//   WinMain(...);                    // registers effects, calls DEMOGL_AppRun, tears down
//   return runtime.exitCode();
//
// DEMOGL_AppRun opens the data file, parses the script, opens a window (or a headless
// context), runs every effect's Setup behind the loading screen, then hands the timeline to
// a Player: one clock (fixed step, wall or music), a pacer, and the outputs the options ask
// for (window, PNG frames, video, benchmark), all into an offscreen framebuffer of the fixed
// render size. Messages go to stderr as one line each, starting "glimmerq: "; the outcome
// is exitCode() (0 normal end or quit, 1 error, 2 a start past the end, 130 interrupted).
#pragma once

#include "runtime/base/clock.h"
#include "runtime/data/data_reads.h"
#include "runtime/data/data_source.h"
#include "runtime/display/gl_context.h"
#include "runtime/host/host.h"
#include "runtime/display/loading_screen.h"
#include "app/options.h"
#include "runtime/display/render_target.h"
#include "runtime/data/texture_store.h"
#include "runtime/script/timeline.h"
#include "runtime/outputs/video_encoder.h"
#include "runtime/display/window.h"

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

class Runtime : public Host {
public:
    Runtime(Options options, Clock& clock, FILE* out = stdout, FILE* err = stderr);
    ~Runtime() override;

    int exitCode() const { return exitCode_; }
    const std::vector<RegisteredEffect>& effects() const { return effects_; }

    void setVariable(int id, bool value) override;
    void setVariable(int id, int value) override;
    void setVariable(int id, const char* value) override;
    void registerEffect(CEffect* effect, const char* name) override;
    void loadingBarEnable(int enabled, float width, float height, float x, float y) override;
    void loadingBarAppearance(bool drawBackground, bool blend, unsigned sourceFactor, unsigned destinationFactor,
                              const float colors[7]) override;
    void loadingSplashEnable(const char* image, int fit, float opacity) override;
    int appRun(HINSTANCE instance, const SStartupDat* startup, const char* title, bool windowed,
               unsigned char colorDepth, unsigned char zBuffer, int refresh) override;
    void appEnd() override;

    unsigned char* fileLoad(const char* name, size_t* size) override;
    void fileFree(const unsigned char* data) override;
    unsigned textureLoad(const char* name, const TextureParams& params) override;
    int textureUpload(unsigned handle) override;
    void textureUnUpload(unsigned handle) override;
    int messageBox(const char* text, const char* caption, unsigned type) override;

private:
    int fail(const std::string& message, int exitCode = 1);
    void report(const std::string& message);  // one line on stderr, "glimmerq: " first
    std::string dataPath(std::string* error) const;
    std::optional<Script> readScript(std::string* error);
    void chooseRenderSize();
    bool openGraphics(const std::string& title, std::string* error);
    bool loadEffects();  // false when the user quit during loading
    void setUpEffect(size_t index);
    int play(Timeline& timeline, const std::string& title);
    int pacedFramesPerSecond() const;
    VideoSettings videoSettings(const Script& script);
    std::function<bool()> watchForChanges();
    bool reload(Timeline& timeline);
    void reportGlErrors(const std::string& effect, int64_t elapsedMs);

    Options options_;
    Clock& clock_;
    FILE* out_;
    FILE* err_;
    int exitCode_ = 0;
    int64_t createdMicros_ = 0;

    std::map<int, std::string> variables_;
    std::vector<RegisteredEffect> effects_;
    LoadingScreenConfig loading_;

    std::unique_ptr<DataSource> data_;
    std::unique_ptr<DataReads> reads_;
    std::string scriptName_;
    int settingUp_ = -1;                       // the effect whose Setup is running, or -1
    std::vector<std::string> failedTextures_;  // during that Setup
    class WindowOutput* windowOutput_ = nullptr;  // while a window plays: reload errors go to its title
    std::unique_ptr<HeadlessGlContext> headless_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<RenderTarget> target_;
    std::unique_ptr<TextureStore> textures_;
    int width_ = 0, height_ = 0;
};

}  // namespace glimmerq
