// screenshots.h: saves the picture at the render size when asked (the S key).
//
//   Screenshots screenshots(messages);
//   player.addOutput(&screenshots); player.addListener(&screenshots);
//   screenshots.request();     // playing: the next frame is saved; paused: the held one, now
//
// Files are named after the show time, glimmerq-1m02.350s.png, in the current directory;
// "glimmerq: saved NAME" goes to stdout, a failure to stderr, and the show plays on.
#pragma once

#include "runtime/base/messages.h"
#include "runtime/play/frame_output.h"
#include "runtime/play/player.h"

namespace glimmerq {

class Screenshots : public FrameOutput, public PlaybackListener {
public:
    explicit Screenshots(const Messages& messages) : messages_(messages) {}

    void request();

    bool write(const Frame& frame, std::string* error) override;
    void hold(const RenderTarget& target) override { lastTarget_ = &target; }
    void restarted(int64_t timeMs) override { lastTimeMs_ = timeMs; }
    void pausedChanged(bool paused, int64_t timeMs) override;

private:
    void save(const RenderTarget& target, int64_t timeMs);

    const Messages& messages_;
    const RenderTarget* lastTarget_ = nullptr;
    int64_t lastTimeMs_ = 0;
    bool paused_ = false;
    bool wanted_ = false;
};

}  // namespace glimmerq
