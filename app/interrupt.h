// interrupt.h: the signals that ask a run to stop, checked once a frame: SIGINT (Ctrl+C),
// SIGTERM (kill, a session manager) and SIGHUP (the terminal was closed).
//
//   InterruptWatch watch;                   // installs the handlers, restores them when gone
//   if (watch.requested()) ...;             // finish what is partial
//   return exitCodeForSignal(watch.signal());  // 130, 143 or 129
//
// The handler only notes the signal, so the run ends as it does on an error: every output
// drops what is partial (a video's FILE.part, its ffmpeg, its temporary files) before the
// program exits. While the watch lives SIGPIPE is ignored: a closed pipe on stdout or stderr
// fails the write instead of killing the program halfway through that cleaning up.
// Windows get the same signals: SDL's own handlers, which would turn SIGINT and SIGTERM into
// a quit (exit 0), are switched off where SDL starts (window.cpp).
//
// A SIGHUP ignored when the program started (nohup) stays ignored. SIGINT does not: a shell
// starts a job in the background with SIGINT ignored, and `kill -INT` should stop it as Ctrl+C
// stops one in the foreground.
//
// Not here: SIGKILL, which no program can answer (ffmpeg then sees its input end, finishes
// FILE.part and exits), and signals that arrive before the watch is installed.
#pragma once

#include "app/exit_codes.h"

#include <csignal>
#include <iterator>

namespace glimmerq {

class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    bool requested() const { return signal() != 0; }
    // The first stop signal that arrived; 0 while none has.
    int signal() const;

    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    static constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous_[std::size(kStopSignals)] {};
    struct sigaction previousPipe_ {};
};

}  // namespace glimmerq
