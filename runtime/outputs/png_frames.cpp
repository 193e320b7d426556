#include "runtime/outputs/png_frames.h"

#include "runtime/outputs/png_writer.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace glimmerq {

bool PngFrames::prepare(std::string* error) {
    std::error_code ec;
    fs::create_directories(directory_, ec);
    if (ec) {
        *error = directory_ + ": " + ec.message();
        return false;
    }
    return true;
}

bool PngFrames::write(const Frame& frame, std::string* error) {
    frame.target->readPixels(&pixels_);
    char name[32];
    std::snprintf(name, sizeof name, "%06lld.png", (long long)frame.index);
    return writePng((fs::path(directory_) / name).string(), frame.target->width(), frame.target->height(), pixels_,
                    error);
}

}  // namespace glimmerq
