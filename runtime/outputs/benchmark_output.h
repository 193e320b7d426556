// benchmark_output.h: times every frame (drawing until the GL has finished it) and reports
// them per set of running effects, as a table and optionally as JSON. The time is the
// player's measure of the drawing alone: writing PNG files or a video beside it is not in it.
#pragma once

#include "runtime/base/clock.h"
#include "runtime/play/frame_output.h"
#include "runtime/outputs/frame_stats.h"

#include <cstdio>

namespace glimmerq {

class BenchmarkOutput : public FrameOutput {
public:
    BenchmarkOutput(Clock& clock, FILE* out, std::string jsonPath, double startupMs);
    bool write(const Frame& frame, std::string* error) override;
    // Prints the table (and writes the JSON) for what was measured.
    bool finish(std::string* error) override;
    // An interrupted run still reports the frames it measured.
    void abort() override;
    bool timesDrawing() const override { return true; }

private:
    Clock& clock_;
    FILE* out_;
    std::string jsonPath_;
    double startupMs_;
    int64_t firstFrameMicros_ = -1;
    FrameStats stats_;
};

}  // namespace glimmerq
