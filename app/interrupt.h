// interrupt.h: Ctrl+C (SIGINT) and SIGTERM as a request to stop, checked once a frame.
//
//   InterruptWatch watch;                  // installs the handlers, restores them when gone
//   if (watch.requested()) ...;            // finish what is partial, exit 130
//
// Inside a window SDL turns Ctrl+C into a quit event first; this is for the runs without one
// (render, video, benchmark, headless), which end cleanly instead of dying mid-file.
#pragma once

#include "app/exit_codes.h"

#include <csignal>

namespace glimmerq {

class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    bool requested() const;

    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

}  // namespace glimmerq
