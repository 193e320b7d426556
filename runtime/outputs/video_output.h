// video_output.h: every frame into a video file, read back one frame late so that drawing
// the next frame and fetching this one overlap, and encoded by ffmpeg while the show draws.
//
//   auto video = VideoOutput::start(settings, &error);   // ffmpeg running, or a reason
//   player.addOutput(video.get());
//
// finish() hands out the last frame and waits for ffmpeg; abort() (a failure elsewhere,
// Ctrl+C) stops ffmpeg and removes the partial file.
#pragma once

#include "runtime/display/async_readback.h"
#include "runtime/play/frame_output.h"
#include "runtime/outputs/video_encoder.h"

#include <memory>

namespace glimmerq {

class VideoOutput : public FrameOutput {
public:
    static std::unique_ptr<VideoOutput> start(const VideoSettings& settings, std::string* error);

    bool write(const Frame& frame, std::string* error) override;
    bool finish(std::string* error) override;
    void abort() override;

private:
    explicit VideoOutput(std::unique_ptr<VideoEncoder> encoder, int width, int height);

    std::unique_ptr<VideoEncoder> encoder_;
    AsyncReadback readback_;
};

}  // namespace glimmerq
