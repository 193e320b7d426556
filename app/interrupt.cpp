#include "app/interrupt.h"

namespace glimmerq {

namespace {
volatile std::sig_atomic_t gSignal = 0;
extern "C" void onStopSignal(int number) {
    // A second signal while the run winds down does not change why it stopped.
    if (gSignal == 0) gSignal = number;
}
}  // namespace

InterruptWatch::InterruptWatch() {
    gSignal = 0;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kStopSignals); ++i) {
        sigaction(kStopSignals[i], nullptr, &previous_[i]);
        // Started under nohup: a closed terminal is meant not to stop the run.
        if (kStopSignals[i] == SIGHUP && previous_[i].sa_handler == SIG_IGN) continue;
        sigaction(kStopSignals[i], &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previousPipe_);
}

InterruptWatch::~InterruptWatch() {
    for (size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &previous_[i], nullptr);
    sigaction(SIGPIPE, &previousPipe_, nullptr);
}

int InterruptWatch::signal() const { return gSignal; }

}  // namespace glimmerq
