#include "runtime/outputs/window_title.h"

#include "runtime/base/show_time.h"

namespace glimmerq {

namespace {
constexpr int64_t kShowTimeAfterJumpMicros = 2000000;  // after a seek or reload
constexpr int64_t kShowKeysMicros = 8000000;          // from the first frame on
const char kSeparator[] = " \u2014 ";                   // an em dash between the parts
const char kKeys[] = "Tab: timeline, Space: pause, Left/Right: seek, Esc: quit";
}  // namespace

WindowTitle::WindowTitle(std::string title, Clock& clock, TitleSink setTitle)
    : title_(std::move(title)), clock_(clock), setTitle_(std::move(setTitle)), shownTitle_(title_) {}

bool WindowTitle::write(const Frame& frame, std::string*) {
    lastTimeMs_ = frame.timeMs;
    if (showKeysUntilMicros_ < 0) showKeysUntilMicros_ = clock_.nowMicros() + kShowKeysMicros;
    update();
    return true;
}

void WindowTitle::hold(const RenderTarget&) { update(); }

void WindowTitle::restarted(int64_t timeMs) {
    lastTimeMs_ = timeMs;
    seeking_.clear();
    message_.clear();
    showTimeUntilMicros_ = clock_.nowMicros() + kShowTimeAfterJumpMicros;
}

void WindowTitle::pausedChanged(bool paused, int64_t timeMs) {
    paused_ = paused;
    lastTimeMs_ = timeMs;
    if (!paused) message_.clear();
    update();
}

void WindowTitle::seeking(int64_t targetMs, double fraction) {
    seeking_ = seekingText(targetMs, fraction);
    update();
}

void WindowTitle::showMessage(const std::string& message) {
    message_ = message;
    update();
}

void WindowTitle::update() {
    std::string title = title_;
    if (!seeking_.empty()) {
        title += kSeparator + seeking_;
        if (title != shownTitle_) setTitle_(shownTitle_ = title);
        return;
    }
    const bool showTime = paused_ || clock_.nowMicros() < showTimeUntilMicros_ || !message_.empty();
    if (showTime) {
        title += kSeparator + formatShowTime(lastTimeMs_);
        if (paused_) title += " (paused)";
        if (!message_.empty()) title += kSeparator + message_;
    } else if (clock_.nowMicros() < showKeysUntilMicros_) {
        title += kSeparator + std::string(kKeys);
    }
    if (title == shownTitle_) return;
    shownTitle_ = title;
    setTitle_(title);
}

}  // namespace glimmerq
