// contact_sheet RENDER_DIR OUTPUT.png [--every SECONDS] [--fps N] [--start TIME] [--columns C]
//               [--thumb-width W]
//
// Tiles one frame every few seconds of a `glimmerq --render` folder (000000.png, ...) into
// one PNG, each thumbnail with its show time (M:SS.s) underneath. A render made with
// `--start TIME` begins at that show time: pass the same TIME (seconds or M:SS.mmm) here.
#include "tools/assetlib/font.h"
#include "tools/assetlib/png_file.h"
#include "runtime/base/show_time.h"
#include "tools/show_time.h"


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kLabelHeight = 22;   // pixels under each thumbnail for its time stamp
constexpr int kGap = 4;            // pixels between tiles
constexpr float kLabelScale = 2.0f;

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

bool readPng(const fs::path& path, Picture* picture) {
    return assets::readPngRgb(path, &picture->rgb, &picture->width, &picture->height);
}

int usage() {
    std::fprintf(stderr, "usage: contact_sheet RENDER_DIR OUTPUT.png [--every SECONDS] [--fps N] "
                         "[--start TIME] [--columns C] [--thumb-width W]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const fs::path dir = argv[1];
    const fs::path output = argv[2];
    double every = 5.0;
    int fps = 60, columns = 6, thumbWidth = 256;
    int64_t startMs = 0;  // show time of 000000.png
    if (argc % 2 == 0) return usage();  // every flag takes a value
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        const double value = std::atof(argv[i + 1]);
        if (flag == "--start") {
            std::string why;
            if (!glimmerq::parseShowTime(argv[i + 1], &startMs, &why)) {
                std::fprintf(stderr, "glimmerq: contact_sheet: --start '%s': %s\n", argv[i + 1], why.c_str());
                return 2;
            }
        } else if (flag == "--every") every = value;
        else if (flag == "--fps") fps = int(value);
        else if (flag == "--columns") columns = int(value);
        else if (flag == "--thumb-width") thumbWidth = int(value);
        else return usage();
    }
    if (every <= 0 || fps <= 0 || columns <= 0 || thumbWidth <= 0) return usage();

    std::vector<std::pair<fs::path, int64_t>> picks;  // frame file, its show time in ms
    for (long frame = 0;; frame = std::lround((double(picks.size()) * every) * fps)) {
        char name[32];
        std::snprintf(name, sizeof name, "%06ld.png", frame);
        if (!fs::exists(dir / name)) break;
        picks.emplace_back(dir / name, show_time::ofFrame(startMs, frame, fps));
    }
    if (picks.empty()) {
        std::fprintf(stderr, "glimmerq: contact_sheet: %s: no frames (000000.png, ...)\n", dir.c_str());
        return 1;
    }

    Picture first;
    if (!readPng(picks[0].first, &first)) {
        std::fprintf(stderr, "glimmerq: contact_sheet: %s: not a readable PNG\n", picks[0].first.c_str());
        return 1;
    }
    const int thumbHeight = std::max(1, thumbWidth * first.height / first.width);
    const int rows = int((picks.size() + columns - 1) / columns);
    const int cellWidth = thumbWidth + kGap, cellHeight = thumbHeight + kLabelHeight + kGap;
    assets::Image sheet(columns * cellWidth + kGap, rows * cellHeight + kGap);

    for (size_t i = 0; i < picks.size(); ++i) {
        Picture frame;
        if (!readPng(picks[i].first, &frame)) {
            std::fprintf(stderr, "glimmerq: contact_sheet: %s: not a readable PNG\n", picks[i].first.c_str());
            return 1;
        }
        const int ox = kGap + int(i % columns) * cellWidth, oy = kGap + int(i / columns) * cellHeight;
        // Box filter: every thumbnail pixel averages the frame pixels it covers.
        for (int y = 0; y < thumbHeight; ++y)
            for (int x = 0; x < thumbWidth; ++x) {
                const int x0 = x * frame.width / thumbWidth, x1 = std::max(x0 + 1, (x + 1) * frame.width / thumbWidth);
                const int y0 = y * frame.height / thumbHeight, y1 = std::max(y0 + 1, (y + 1) * frame.height / thumbHeight);
                float sum[3] = {0, 0, 0};
                for (int sy = y0; sy < y1; ++sy)
                    for (int sx = x0; sx < x1; ++sx)
                        for (int c = 0; c < 3; ++c) sum[c] += frame.rgb[(size_t(sy) * frame.width + sx) * 3 + c];
                const float n = float((x1 - x0) * (y1 - y0)) * 255.0f;
                sheet.set(ox + x, oy + y, {sum[0] / n, sum[1] / n, sum[2] / n});
            }
        assets::drawText(sheet, glimmerq::formatShowTime(picks[i].second, glimmerq::ShowTimeStyle::Tenths), float(ox + 2), float(oy + thumbHeight + 4), kLabelScale,
                         {0.9f, 0.9f, 0.9f});
    }

    std::vector<unsigned char> rgb;
    for (const auto& p : sheet.pixels()) rgb.insert(rgb.end(), {p.r, p.g, p.b});
    std::string why;
    if (!assets::writePng(output, sheet.width(), sheet.height(), 3, rgb.data(), &why)) {
        std::fprintf(stderr, "glimmerq: contact_sheet: %s: cannot write (%s)\n", output.c_str(), why.c_str());
        return 1;
    }
    std::printf("contact_sheet: %zu frames into %s\n", picks.size(), output.c_str());
    return 0;
}
