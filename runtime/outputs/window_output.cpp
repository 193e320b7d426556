#include "runtime/outputs/window_output.h"

#include "runtime/outputs/png_writer.h"
#include "runtime/base/time_format.h"

#include <vector>

namespace glimmerq {

namespace {
constexpr int64_t kShowTimeAfterJumpMicros = 2000000;  // after a seek or reload
}

WindowOutput::WindowOutput(Window& window, Clock& clock, std::string title, FILE* out, FILE* err)
    : window_(window), clock_(clock), title_(std::move(title)), out_(out), err_(err), shownTitle_(title_) {}

bool WindowOutput::write(const Frame& frame, std::string*) {
    lastTarget_ = frame.target;
    lastTimeMs_ = frame.timeMs;
    if (screenshotWanted_) saveScreenshot(*frame.target, frame.timeMs);
    window_.present(*frame.target);
    updateTitle();
    return true;
}

Commands WindowOutput::poll() {
    const Window::Input input = window_.pollEvents();
    Commands commands;
    commands.quit = input.quit;
    commands.togglePause = input.togglePause;
    commands.seekMs = input.seekMs;
    commands.restart = input.restart;
    commands.reload = input.reload || (reloadRequested_ && reloadRequested_());
    // Paused, the held picture is saved at once; playing, the next frame is.
    if (input.screenshot) {
        if (paused_ && lastTarget_)
            saveScreenshot(*lastTarget_, lastTimeMs_);
        else
            screenshotWanted_ = true;
    }
    return commands;
}

void WindowOutput::hold(const RenderTarget& target) {
    window_.present(target);
    updateTitle();
}

void WindowOutput::restarted(int64_t timeMs) {
    lastTimeMs_ = timeMs;
    message_.clear();
    showTimeUntilMicros_ = clock_.nowMicros() + kShowTimeAfterJumpMicros;
}

void WindowOutput::pausedChanged(bool paused, int64_t timeMs) {
    paused_ = paused;
    lastTimeMs_ = timeMs;
    if (!paused) message_.clear();
    updateTitle();
}

void WindowOutput::showMessage(const std::string& message) {
    message_ = message;
    updateTitle();
}

void WindowOutput::saveScreenshot(const RenderTarget& target, int64_t timeMs) {
    screenshotWanted_ = false;
    std::vector<unsigned char> pixels;
    target.readPixels(&pixels);
    const std::string path = screenshotName(timeMs);
    std::string error;
    if (writePng(path, target.width(), target.height(), pixels, &error))
        std::fprintf(out_, "glimmerq: saved %s\n", path.c_str());
    else
        std::fprintf(err_, "glimmerq: %s\n", error.c_str());
}

void WindowOutput::updateTitle() {
    std::string title = title_;
    const bool showTime = paused_ || clock_.nowMicros() < showTimeUntilMicros_ || !message_.empty();
    if (showTime) {
        title += " \u2014 " + formatShowTime(lastTimeMs_);
        if (paused_) title += " (paused)";
        if (!message_.empty()) title += " \u2014 " + message_;
    }
    if (title == shownTitle_) return;
    shownTitle_ = title;
    window_.setTitle(title);
}

}  // namespace glimmerq
