#include "runtime/outputs/screenshots.h"

#include "runtime/base/show_time.h"
#include "runtime/outputs/png_writer.h"

#include <vector>

namespace glimmerq {

void Screenshots::request() {
    if (paused_ && lastTarget_)
        save(*lastTarget_, lastTimeMs_);
    else
        wanted_ = true;
}

bool Screenshots::write(const Frame& frame, std::string*) {
    lastTarget_ = frame.target;
    lastTimeMs_ = frame.timeMs;
    if (wanted_) save(*frame.target, frame.timeMs);
    return true;
}

void Screenshots::pausedChanged(bool paused, int64_t timeMs) {
    paused_ = paused;
    lastTimeMs_ = timeMs;
}

void Screenshots::save(const RenderTarget& target, int64_t timeMs) {
    wanted_ = false;
    std::vector<unsigned char> pixels;
    target.readPixels(&pixels);
    const std::string path = screenshotName(timeMs);
    std::string error;
    if (writePng(path, target.width(), target.height(), pixels, &error))
        messages_.note("saved " + path);
    else
        messages_.report(error);
}

}  // namespace glimmerq
