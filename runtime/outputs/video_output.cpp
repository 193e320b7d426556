#include "runtime/outputs/video_output.h"

namespace glimmerq {

std::unique_ptr<VideoOutput> VideoOutput::start(const VideoSettings& settings, std::string* error) {
    auto encoder = VideoEncoder::start(settings, error);
    if (!encoder) return nullptr;
    return std::unique_ptr<VideoOutput>(new VideoOutput(std::move(encoder), settings.width, settings.height));
}

VideoOutput::VideoOutput(std::unique_ptr<VideoEncoder> encoder, int width, int height)
    : encoder_(std::move(encoder)),
      readback_(width, height, [this](const unsigned char* rgba, std::string* error) {
          return encoder_->writeFrame(rgba, error);
      }) {}

bool VideoOutput::write(const Frame& frame, std::string* error) { return readback_.start(*frame.target, error); }

bool VideoOutput::finish(std::string* error) { return readback_.flush(error) && encoder_->finish(error); }

void VideoOutput::abort() { encoder_->abort(); }

}  // namespace glimmerq
