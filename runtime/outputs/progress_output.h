// progress_output.h: the progress line of a long render or encode, fed by the frames.
//
//   ProgressOutput progress(stderr, "show.mp4", totalFrames, clock);
//   player.addOutput(&progress);    // after the outputs whose work it reports
#pragma once

#include "runtime/base/clock.h"
#include "runtime/play/frame_output.h"
#include "runtime/outputs/progress.h"

#include <cstdio>

namespace glimmerq {

class ProgressOutput : public FrameOutput {
public:
    // totalFrames 0 = unknown (a looping run).
    ProgressOutput(FILE* out, std::string label, int64_t totalFrames, Clock& clock);
    bool write(const Frame& frame, std::string* error) override;
    bool finish(std::string* error) override;
    void abort() override;

private:
    Clock& clock_;
    Progress progress_;
    int64_t frames_ = 0;
};

}  // namespace glimmerq
