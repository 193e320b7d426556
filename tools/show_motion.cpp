// show_motion RENDER_DIR [--fps N] [--start SECONDS] [--frames-out FILE]
//
// Reads the frames of a `glimmerq --render` folder (000000.png, 000001.png, ... until one is
// missing) and prints, for every second of show time, the mean motion (mean absolute luma
// difference between consecutive frames, 0..255) and the mean luma; then the stretches of
// kMinStillSeconds or more whose every second moves less than kStillMotion (the ending
// included: it has to fade or move to its last frame), and the flashes that hold a nearly
// white picture longer than kMaxWhiteSeconds. A render begun with `--start` passes the same
// time here, so the seconds are show time. With --frames-out it also writes one line a
// frame, "SECONDS MOTION LUMA DARK UL UR LL LR": its show time, motion, mean luma, the share
// of near-black pixels (luma under kNearBlackLuma, 0..1) and the mean luma of each quarter,
// for tools/measure-show's figures by section and beat. See show_motion.h.
#include "tools/assetlib/png_file.h"
#include "tools/show_motion.h"


#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kStillMotion = 1.5;       // luma levels a frame, averaged over a second
constexpr double kMinStillSeconds = 3;
constexpr int kNearBlackLuma = 16;         // darker than this reads as black on a screen
constexpr double kWhiteLuma = 250;         // a frame this bright on average reads as white
constexpr double kMaxWhiteSeconds = 0.5;   // a flash may hold white this long

bool readLuma(const fs::path& path, std::vector<uint8_t>* y, int* width, int* height) {
    std::vector<uint8_t> rgb;
    if (!assets::readPngRgb(path, &rgb, width, height)) return false;
    *y = motion::luma(rgb.data(), size_t(*width) * size_t(*height));
    return true;
}

void printStretches(const char* what, const std::vector<motion::Stretch>& stretches, double offset) {
    std::printf("%s:", what);
    if (stretches.empty()) std::printf(" none");
    for (const motion::Stretch& s : stretches)
        std::printf(" %.2f-%.2f s (%.2f s)", s.from + offset, s.to + offset, s.seconds());
    std::printf("\n");
}

int usage() {
    std::fprintf(stderr, "usage: show_motion RENDER_DIR [--fps N] [--start SECONDS] [--frames-out FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) return usage();
    const fs::path dir = argv[1];
    int fps = 60;
    double start = 0;
    std::string framesOut;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--frames-out") {
            framesOut = argv[i + 1];
            continue;
        }
        char* end = nullptr;
        const double value = std::strtod(argv[i + 1], &end);
        if (end == argv[i + 1] || *end) return usage();
        if (flag == "--fps" && value >= 1 && value <= 1000 && value == int(value)) fps = int(value);
        else if (flag == "--start" && value >= 0) start = value;
        else return usage();
    }

    std::vector<motion::Frame> frames;
    std::vector<uint8_t> previous, y;
    int width = 0, height = 0;
    for (long n = 0;; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "%06ld.png", n);
        const fs::path path = dir / name;
        if (!fs::exists(path)) break;
        int w = 0, h = 0;
        if (!readLuma(path, &y, &w, &h)) {
            std::fprintf(stderr, "glimmerq: %s: not a readable PNG\n", path.c_str());
            return 1;
        }
        if (n > 0 && (w != width || h != height)) {
            std::fprintf(stderr, "glimmerq: %s: %dx%d, but the frames before are %dx%d\n", path.c_str(), w, h,
                         width, height);
            return 1;
        }
        width = w;
        height = h;
        motion::Frame frame{n > 0 ? motion::meanAbsDiff(previous, y) : 0.0, motion::mean(y),
                            motion::shareBelow(y, kNearBlackLuma)};
        const motion::Quarters quarters = motion::quarterMeans(y, w, h);
        std::copy(quarters.mean, quarters.mean + 4, frame.quarters);
        frames.push_back(frame);
        previous.swap(y);
    }
    if (frames.empty()) {
        std::fprintf(stderr, "glimmerq: %s: no frames (000000.png, ...)\n", dir.c_str());
        return 1;
    }

    if (!framesOut.empty()) {
        FILE* out = std::fopen(framesOut.c_str(), "w");
        if (!out) {
            std::fprintf(stderr, "glimmerq: %s: cannot write\n", framesOut.c_str());
            return 1;
        }
        for (size_t n = 0; n < frames.size(); ++n) {
            const motion::Frame& f = frames[n];
            std::fprintf(out, "%.4f %.3f %.2f %.4f %.2f %.2f %.2f %.2f\n", start + double(n) / fps, f.motion, f.luma,
                         f.dark, f.quarters[0], f.quarters[1], f.quarters[2], f.quarters[3]);
        }
        std::fclose(out);
    }

    // Seconds count from the render's first frame; `start` shifts them to show time.
    const std::vector<motion::Second> seconds = motion::perSecond(frames, fps);
    std::printf("second motion luma\n");
    for (size_t s = 0; s < seconds.size(); ++s)
        std::printf("%6.0f %6.2f %6.1f\n", double(s) + start, seconds[s].motion, seconds[s].luma);
    const double length = double(frames.size()) / fps;
    char still[128], white[128];
    std::snprintf(still, sizeof still, "still (motion under %.1f for %.0f s or more)", kStillMotion,
                  kMinStillSeconds);
    std::snprintf(white, sizeof white, "white (mean luma %.0f or more for over %.1f s)", kWhiteLuma, kMaxWhiteSeconds);
    printStretches(still, motion::stillStretches(seconds, kStillMotion, kMinStillSeconds, length), start);
    printStretches(white, motion::whiteRuns(frames, fps, kWhiteLuma, kMaxWhiteSeconds), start);
    return 0;
}
