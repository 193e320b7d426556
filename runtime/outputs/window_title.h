// window_title.h: the window's title says where the show is when that matters.
//
//   WindowTitle title("glimmerQ/quorV0!xe!!!", clock, [&](auto& t) { window.setTitle(t); });
//   player.addOutput(&title); player.addListener(&title);
//   title.showMessage("mydata/demoflow:15:9: unknown verb 'strat'");
//
// For the first eight seconds of the show the title names the main keys
// ("glimmerQ/quorV0!xe!!! — Tab: timeline, Space: pause, Left/Right: seek, Esc: quit"): the
// window is the one place a newcomer looks that no screenshot, frame or video ever shows.
// The title adds the time while paused and for two seconds after a seek or reload
// ("glimmerQ/quorV0!xe!!! — 1:02.350 (paused)"), in place of the keys; a message (a reload's
// error) stays there until the next seek, reload or resume. A seek that takes a while says how
// far it is ("glimmerQ/quorV0!xe!!! — seeking to 1:44 … 40 %"). The title is set only when its
// text changes.
#pragma once

#include "runtime/base/clock.h"
#include "runtime/play/frame_output.h"
#include "runtime/play/player.h"

#include <functional>
#include <string>

namespace glimmerq {

class WindowTitle : public FrameOutput, public PlaybackListener {
public:
    using TitleSink = std::function<void(const std::string& title)>;

    WindowTitle(std::string title, Clock& clock, TitleSink setTitle);

    bool write(const Frame& frame, std::string* error) override;
    void hold(const RenderTarget& target) override;
    void restarted(int64_t timeMs) override;
    void pausedChanged(bool paused, int64_t timeMs) override;
    void seeking(int64_t targetMs, double fraction) override;

    // Shown after the time until the next seek, reload or resume.
    void showMessage(const std::string& message);

private:
    void update();

    std::string title_;
    Clock& clock_;
    TitleSink setTitle_;
    int64_t lastTimeMs_ = 0;
    bool paused_ = false;
    int64_t showTimeUntilMicros_ = 0;
    int64_t showKeysUntilMicros_ = -1;  // set by the first frame shown
    std::string message_;
    std::string seeking_;  // "seeking to 1:44 … 40 %" while a long seek is under way
    std::string shownTitle_;
};

}  // namespace glimmerq
