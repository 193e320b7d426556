#include "app/interrupt.h"

namespace glimmerq {

namespace {
volatile std::sig_atomic_t gRequested = 0;
extern "C" void onStopSignal(int) { gRequested = 1; }
}  // namespace

InterruptWatch::InterruptWatch() {
    gRequested = 0;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
}

InterruptWatch::~InterruptWatch() {
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
}

bool InterruptWatch::requested() const { return gRequested != 0; }

}  // namespace glimmerq
