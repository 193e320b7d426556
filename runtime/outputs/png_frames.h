// png_frames.h: writes every frame as DIR/000000.png, 000001.png, ... at the render size.
#pragma once

#include "runtime/play/frame_output.h"

#include <vector>

namespace glimmerq {

class PngFrames : public FrameOutput {
public:
    explicit PngFrames(std::string directory) : directory_(std::move(directory)) {}
    // Creates the directory; false with a reason naming it.
    bool prepare(std::string* error);
    bool write(const Frame& frame, std::string* error) override;

private:
    std::string directory_;
    std::vector<unsigned char> pixels_;
};

}  // namespace glimmerq
