#include "runtime/outputs/progress_output.h"


namespace glimmerq {

ProgressOutput::ProgressOutput(FILE* out, std::string label, int64_t totalFrames, Clock& clock)
    : clock_(clock), progress_(out, std::move(label), totalFrames, isTerminal(out), clock.nowMicros()) {}

bool ProgressOutput::write(const Frame& frame, std::string*) {
    frames_ = frame.index + 1;
    progress_.update(frames_, clock_.nowMicros());
    return true;
}

bool ProgressOutput::finish(std::string*) {
    progress_.finish(frames_, clock_.nowMicros());
    return true;
}

// The line ends before whatever says why the run stopped.
void ProgressOutput::abort() { progress_.finish(frames_, clock_.nowMicros()); }

}  // namespace glimmerq
