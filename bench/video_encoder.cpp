// video_encoder: how fast VideoEncoder turns frames into a video, without drawing anything.
//
//   build/video_encoder [FRAMES] [mp4|mkv|webm ...]     (default: 300 frames, mp4 and webm)
//
// Feeds FRAMES synthetic 60 fps frames (moving colour waves with a faint dither, so the encoder
// has real work) at 640x360 and 1280x720, with no soundtrack, into a file under /tmp, and
// prints the encoding speed in frames per second and as a multiple of real time. The frames
// are made before the clock starts; only writeFrame and finish are timed.
#include "runtime/outputs/video_encoder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int kFps = 60;
constexpr int kDefaultFrames = 300;
constexpr int kDistinctFrames = 16;  // cycled; each a different phase of the pattern
constexpr double kPi = 3.14159265358979323846;

std::vector<unsigned char> makeFrame(int width, int height, int index) {
    std::vector<unsigned char> rgba(size_t(width) * height * 4);
    const double phase = index * 2.0 * kPi / kDistinctFrames;
    uint32_t noise = 0x9E3779B9u * uint32_t(index + 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const double u = double(x) / width, v = double(y) / height;
            const double wave = std::sin(u * 9.0 + phase) + std::sin(v * 7.0 - phase * 2.0) +
                                std::sin((u + v) * 13.0 + phase * 3.0);
            unsigned char* p = &rgba[(size_t(y) * width + x) * 4];
            const int grain = int(noise >> 30) - 2;  // a texture dither's worth
            p[0] = (unsigned char)std::clamp(int(128 + 40 * wave) + grain, 0, 255);
            p[1] = (unsigned char)std::clamp(int(128 + 40 * std::sin(wave + phase)) + grain, 0, 255);
            p[2] = (unsigned char)std::clamp(int(128 - 40 * wave) + grain, 0, 255);
            p[3] = 255;
        }
    return rgba;
}

bool run(int width, int height, const std::string& extension, int frames) {
    std::vector<std::vector<unsigned char>> pictures;
    for (int i = 0; i < kDistinctFrames; ++i) pictures.push_back(makeFrame(width, height, i));

    glimmerq::VideoSettings settings;
    settings.path = "/tmp/glimmerq-bench-video." + extension;
    settings.width = width;
    settings.height = height;
    settings.fps = kFps;
    std::string error;
    const auto begin = std::chrono::steady_clock::now();
    auto video = glimmerq::VideoEncoder::start(settings, &error);
    if (!video) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    for (int i = 0; i < frames; ++i)
        if (!video->writeFrame(pictures[i % kDistinctFrames].data(), &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
    if (!video->finish(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const double fps = frames / seconds;
    std::printf("%4dx%-4d %-4s %5d frames in %6.2f s: %6.1f frames/s, %5.2fx real time at %d fps\n", width, height,
                extension.c_str(), frames, seconds, fps, fps / kFps, kFps);
    std::fflush(stdout);
    std::remove(settings.path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = kDefaultFrames;
    std::vector<std::string> formats;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "mp4") == 0 || std::strcmp(argv[i], "mkv") == 0 || std::strcmp(argv[i], "webm") == 0)
            formats.push_back(argv[i]);
        else if (std::atoi(argv[i]) > 0)
            frames = std::atoi(argv[i]);
        else {
            std::fprintf(stderr, "usage: video_encoder [FRAMES] [mp4|mkv|webm ...]\n");
            return 2;
        }
    }
    if (formats.empty()) formats = {"mp4", "webm"};
    for (const std::string& format : formats)
        for (const auto& [width, height] : {std::pair{640, 360}, std::pair{1280, 720}})
            if (!run(width, height, format, frames)) return 1;
    return 0;
}
