// session.h: sets up one run of the show and plays it, from finding the data to the exit code.
//
//   DemoGlHost host(messages);
//   Session session(options, host, clock, messages);
//   host.setShowRunner(&session);   // DEMOGL_AppRun lands in runShow()
//   installHost(&host);  WinMain(...);
//   return session.exitCode();
//
// runShow finds and opens the data, reads the script, opens a window (or a headless
// context), sets every effect up behind the loading screen and plays: the run itself is
// planned (run_plan.h) and assembled (run_assembly.h) from the options. Every failure is one
// line on stderr; exitCode() is what the program returns (exit_codes.h).
// Not here: the other modes main picks (--list-effects, --timeline), reloading and watching
// (data_reload.h), the DEMOGL_ calls themselves (the host's), the frame loop (player.h).
#pragma once

#include "app/interrupt.h"
#include "app/options.h"
#include "runtime/base/clock.h"
#include "runtime/base/messages.h"
#include "runtime/data/data_reads.h"
#include "runtime/data/data_source.h"
#include "runtime/data/switchable_data.h"
#include "runtime/data/texture_store.h"
#include "runtime/display/gl_context.h"
#include "runtime/display/render_target.h"
#include "runtime/display/window.h"
#include "runtime/host/demogl_host.h"
#include "runtime/host/show_runner.h"
#include "runtime/script/script.h"
#include "runtime/script/timeline.h"

#include <memory>
#include <optional>
#include <string>

namespace glimmerq {

class Session : public ShowRunner {
public:
    Session(Options options, DemoGlHost& host, Clock& clock, const Messages& messages);
    ~Session() override;

    int runShow(const std::string& title) override;
    void endShow() override;

    int exitCode() const { return exitCode_; }

private:
    int fail(const std::string& message, int exitCode);
    bool openData(std::string* error);
    std::optional<Script> readScript(std::string* error);
    void chooseRenderSize();
    bool openGraphics(const std::string& title, std::string* error);
    bool setUpEffects();  // false when the person quit during loading
    void setUpEffect(size_t index);
    int play(Timeline& timeline, const std::string& title);
    std::optional<std::string> unpackArchive(std::string* error);
    void reportGlErrors(const std::string& effect, int64_t elapsedMs);

    Options options_;
    DemoGlHost& host_;
    Clock& clock_;
    const Messages& messages_;
    int exitCode_ = 0;
    int64_t createdMicros_ = 0;
    // From the start, not only once playing: a job started in the background by a shell
    // ignores SIGINT until a handler is installed, and one sent while loading would be lost.
    InterruptWatch interrupt_;

    std::unique_ptr<SwitchableData> data_;  // an archive until the overlay unpacks it
    std::unique_ptr<DataReads> reads_;
    std::unique_ptr<HeadlessGlContext> headless_;
    std::unique_ptr<Window> window_;
    std::unique_ptr<RenderTarget> target_;
    std::unique_ptr<TextureStore> textures_;
    int width_ = 0, height_ = 0;
};

}  // namespace glimmerq
