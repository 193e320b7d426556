#include "runtime/outputs/benchmark_output.h"

namespace glimmerq {

BenchmarkOutput::BenchmarkOutput(Clock& clock, FILE* out, std::string jsonPath, double startupMs)
    : clock_(clock), out_(out), jsonPath_(std::move(jsonPath)), startupMs_(startupMs) {}

bool BenchmarkOutput::write(const Frame& frame, std::string*) {
    if (firstFrameMicros_ < 0) firstFrameMicros_ = frame.drawStartMicros;
    stats_.add(frame.effects, double(frame.drawMicros) / 1000.0);
    return true;
}

bool BenchmarkOutput::finish(std::string* error) {
    const double playSeconds = firstFrameMicros_ < 0 ? 0.0 : double(clock_.nowMicros() - firstFrameMicros_) / 1e6;
    stats_.printTable(out_, startupMs_, playSeconds);
    if (jsonPath_.empty()) return true;
    return stats_.writeJson(jsonPath_, startupMs_, playSeconds, error);
}

void BenchmarkOutput::abort() {
    std::string ignored;
    finish(&ignored);
}

}  // namespace glimmerq
