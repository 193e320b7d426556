// demogl_host.h: the object behind the DEMOGL_ calls when the program really plays.
//
//   DemoGlHost host(messages);
//   host.setShowRunner(&session);          // DEMOGL_AppRun and DEMOGL_AppEnd go there
//   installHost(&host);
//   WinMain(...);                          // settings, registrations, loading screen, AppRun
//
// It keeps what the entry hands over (the twelve settings, the registered effects, the
// loading screen), adds the runtime's own effect after the entry's when the show is played
// (FLASH, runtime/host/screen_flash.h), and serves the effects: files and textures from the
// data the runner opened (serve()), and message boxes, reported on stderr as
// "glimmerq: EFFECT: TEXT" (the effect setting up, when there is one) and shown as a box
// while a window is open. Files and textures an effect reads during its Setup are recorded
// against it, so a reload knows whom to set up again.
// Not here: finding or opening the data, the script, graphics, playing, exit codes: the
// runner's (app/session.h).
#pragma once

#include "runtime/base/messages.h"
#include "runtime/data/data_reads.h"
#include "runtime/data/data_source.h"
#include "runtime/data/texture_store.h"
#include "runtime/display/loading_screen.h"
#include "runtime/host/host.h"
#include "runtime/host/screen_flash.h"
#include "runtime/host/show_runner.h"
#include "runtime/script/timeline.h"

#include <map>
#include <string>
#include <vector>

namespace glimmerq {

class DemoGlHost : public Host {
public:
    explicit DemoGlHost(const Messages& messages) : messages_(messages) {}

    void setShowRunner(ShowRunner* runner) { runner_ = runner; }

    // What the entry configured.
    const std::vector<RegisteredEffect>& effects() const { return effects_; }
    const LoadingScreenConfig& loadingScreen() const { return loading_; }
    std::string dataFileName() const;  // setting 4, "glimmerQ.dat" when unset
    std::string scriptName() const;    // setting 5, "demoflow" when unset

    // Where files and textures come from from now on; null pointers serve nothing.
    void serve(const DataSource* data, DataReads* reads, TextureStore* textures);
    // Whether message boxes are shown (a window is open) or only reported.
    void showMessageBoxes(bool show) { showBoxes_ = show; }

    // Runs effect `index`'s Setup with what it reads recorded against it. Its result, and
    // the textures it asked for that could not be loaded.
    struct SetUpResult {
        int result = 0;
        std::vector<std::string> failedTextures;
    };
    SetUpResult setUp(size_t index, int width, int height);

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
    std::string variable(int id, const char* fallback) const;

    const Messages& messages_;
    ShowRunner* runner_ = nullptr;
    std::map<int, std::string> variables_;
    std::vector<RegisteredEffect> effects_;
    ScreenFlash flash_;                        // the runtime's own, registered by appRun
    LoadingScreenConfig loading_;

    const DataSource* data_ = nullptr;
    DataReads* reads_ = nullptr;
    TextureStore* textures_ = nullptr;
    bool showBoxes_ = false;
    int settingUp_ = -1;                       // the effect whose Setup is running, or -1
    std::vector<std::string> failedTextures_;  // during that Setup
};

}  // namespace glimmerq
