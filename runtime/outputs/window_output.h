// window_output.h: the window's part in a run: it shows every frame, turns the keys into
// commands, saves screenshots and keeps the title saying where the show is.
//
//   WindowOutput output(window, title, stderr);
//   player.addOutput(&output); player.setControls(&output); player.addListener(&output);
//
// The title adds the time while paused and for two seconds after a seek or reload
// ("glimmerQ/quorV0!xe!!! — 1:02.350 (paused)"); a message (a reload's error) stays there
// until the next seek, reload or resume. S saves the current picture at the render size as
// glimmerq-1m02.350s.png in the current directory.
#pragma once

#include "runtime/base/clock.h"
#include "runtime/play/frame_output.h"
#include "runtime/play/player.h"
#include "runtime/display/window.h"

#include <cstdio>
#include <functional>
#include <string>

namespace glimmerq {

class WindowOutput : public FrameOutput, public Controls, public PlaybackListener {
public:
    WindowOutput(Window& window, Clock& clock, std::string title, FILE* out, FILE* err);

    bool write(const Frame& frame, std::string* error) override;
    Commands poll() override;
    void hold(const RenderTarget& target) override;
    void restarted(int64_t timeMs) override;
    void pausedChanged(bool paused, int64_t timeMs) override;

    // Shown in the title after the time until the next seek, reload or resume.
    void showMessage(const std::string& message);
    // Extra commands from elsewhere (a watched data directory asks for reloads).
    void setReloadRequest(std::function<bool()> requested) { reloadRequested_ = std::move(requested); }

private:
    void saveScreenshot(const RenderTarget& target, int64_t timeMs);
    void updateTitle();

    Window& window_;
    Clock& clock_;
    std::string title_;
    FILE* out_;
    FILE* err_;
    std::function<bool()> reloadRequested_;
    const RenderTarget* lastTarget_ = nullptr;
    int64_t lastTimeMs_ = 0;
    bool paused_ = false;
    bool screenshotWanted_ = false;
    int64_t showTimeUntilMicros_ = 0;
    std::string message_;
    std::string shownTitle_;
};

}  // namespace glimmerq
