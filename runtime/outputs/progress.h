// progress.h: how far a --render or --video run has got, on stderr.
//
//   Progress progress(stderr, "show.mp4", totalFrames, isTerminal(stderr), clock.nowMicros());
//   for (...) { draw(); progress.update(frame + 1, clock.nowMicros()); }
//   progress.finish(frames, clock.nowMicros());     // before printing anything else
//
// On a terminal: one line, rewritten in place with \r at most four times a second:
//   show.mp4:  42%  1260/3000 frames  58.3 fps  0:30 left
// and at the end replaced by the summary and a newline. Anywhere else (a log, a pipe): only
// the summary, once:
//   glimmerq: show.mp4: 3000 frames in 51.2 s (58.6 fps)
// Speeds are averages over the whole run so far, so the time left settles instead of
// jumping between fast and slow sections. A total of 0 means unknown: no percentage and no
// time left. Times come from the caller; nothing here reads a clock.
//
// Not here: colours, bars, terminal-width handling: the line is 50 columns and the label,
// so pass a short label (the file's name rather than its path) or a wrapped line piles up.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace glimmerq {

// "0:07", "2:30", "1:02:03"; seconds rounded to the nearest whole one, negatives as 0.
std::string formatClock(double seconds);

// The in-place line for `frames` of `totalFrames` done in `seconds`.
std::string progressLine(const std::string& label, int64_t frames, int64_t totalFrames, double seconds);

// The closing line.
std::string progressSummary(const std::string& label, int64_t frames, double seconds);

// isatty on the stream's descriptor.
bool isTerminal(FILE* stream);

class Progress {
public:
    Progress(FILE* out, std::string label, int64_t totalFrames, bool terminal, int64_t startMicros);

    // `frames` done by `nowMicros`; on a terminal redraws when a quarter second has passed.
    void update(int64_t frames, int64_t nowMicros);
    // Prints the summary (on a terminal over the progress line) and a newline. Once.
    void finish(int64_t frames, int64_t nowMicros);

private:
    void rewrite(const std::string& text);

    FILE* out_;
    std::string label_;
    int64_t totalFrames_;
    bool terminal_;
    int64_t startMicros_;
    int64_t lastDrawMicros_;
    size_t shownLength_ = 0;  // characters of the line now on the terminal
    bool finished_ = false;
};

}  // namespace glimmerq
