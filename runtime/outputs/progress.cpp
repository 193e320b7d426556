#include "runtime/outputs/progress.h"

#include "runtime/base/messages.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace glimmerq {

namespace {
constexpr int64_t kRedrawMicros = 250000;  // at most four lines a second

double framesPerSecond(int64_t frames, double seconds) { return seconds > 0 ? double(frames) / seconds : 0.0; }
}  // namespace

std::string formatClock(double seconds) {
    const long long total = seconds > 0 ? std::llround(seconds) : 0;
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    return text;
}

std::string progressLine(const std::string& label, int64_t frames, int64_t totalFrames, double seconds) {
    const double fps = framesPerSecond(frames, seconds);
    char text[160];
    if (totalFrames > 0) {
        const int64_t percent = std::min<int64_t>(100, frames * 100 / totalFrames);
        const int64_t remaining = std::max<int64_t>(0, totalFrames - frames);
        const std::string left = fps > 0 ? formatClock(double(remaining) / fps) : "-:--";
        std::snprintf(text, sizeof text, "%s: %3lld%%  %lld/%lld frames  %.1f fps  %s left", label.c_str(),
                      (long long)percent, (long long)frames, (long long)totalFrames, fps, left.c_str());
    } else {
        std::snprintf(text, sizeof text, "%s: %lld frames  %.1f fps  %s", label.c_str(), (long long)frames, fps,
                      formatClock(seconds).c_str());
    }
    return text;
}

std::string progressSummary(const std::string& label, int64_t frames, double seconds) {
    char text[160];
    std::snprintf(text, sizeof text, "%s: %lld %s in %.1f s (%.1f fps)", label.c_str(),
                  (long long)frames, frames == 1 ? "frame" : "frames", seconds, framesPerSecond(frames, seconds));
    return messageLine(text);
}

bool isTerminal(FILE* stream) { return stream && isatty(fileno(stream)) == 1; }

Progress::Progress(FILE* out, std::string label, int64_t totalFrames, bool terminal, int64_t startMicros)
    : out_(out),
      label_(std::move(label)),
      totalFrames_(totalFrames),
      terminal_(terminal),
      startMicros_(startMicros),
      lastDrawMicros_(startMicros) {}

void Progress::update(int64_t frames, int64_t nowMicros) {
    if (!terminal_ || finished_ || nowMicros - lastDrawMicros_ < kRedrawMicros) return;
    lastDrawMicros_ = nowMicros;
    rewrite(progressLine(label_, frames, totalFrames_, double(nowMicros - startMicros_) / 1e6));
}

void Progress::finish(int64_t frames, int64_t nowMicros) {
    if (finished_) return;
    finished_ = true;
    const std::string summary = progressSummary(label_, frames, double(nowMicros - startMicros_) / 1e6);
    if (terminal_) {
        rewrite(summary);
        std::fputc('\n', out_);
    } else {
        std::fprintf(out_, "%s\n", summary.c_str());
    }
    std::fflush(out_);
}

// Spaces wipe what a longer earlier line left to the right of the cursor.
void Progress::rewrite(const std::string& text) {
    std::fprintf(out_, "\r%s", text.c_str());
    if (text.size() < shownLength_) {
        const size_t extra = shownLength_ - text.size();
        std::fprintf(out_, "%*s\r%s", int(extra), "", text.c_str());
    }
    shownLength_ = text.size();
    std::fflush(out_);
}

}  // namespace glimmerq
