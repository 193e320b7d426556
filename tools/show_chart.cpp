// show_chart OUTPUT.png MOTION LOUDNESS SECTIONS
//
// Draws the show over time into one picture for the README: the picture's motion per second
// (top, with the stillness line at 1.5) and the music's short-term loudness (bottom), over
// the show's sections as labelled bands. The inputs are text, one record a line:
//   MOTION     "SECOND MOTION ..." (what show_motion prints; other lines are skipped)
//   LOUDNESS   "SECONDS LUFS"
//   SECTIONS   "START NAME", the last line "END end"
// tools/measure-show writes them and runs this.
#include "tools/assetlib/font.h"
#include "tools/assetlib/image.h"
#include "tools/assetlib/png_file.h"


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1200, kHeight = 420;
constexpr int kLeft = 70, kRight = 20, kTop = 40, kBottom = 34, kPanelGap = 26;
constexpr double kStillMotion = 1.5;
constexpr double kLoudMin = -30, kLoudMax = -8;   // LUFS shown
constexpr double kTickSeconds = 10;
constexpr float kTextScale = 1.5f;

struct Point {
    double x, y;
};

std::vector<Point> readPoints(const char* path, bool* ok) {
    std::vector<Point> points;
    std::ifstream in(path);
    *ok = bool(in);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Point p;
        if (fields >> p.x >> p.y) points.push_back(p);
    }
    return points;
}

struct Section {
    double start;
    std::string name;
};

void line(assets::Image& img, double x0, double y0, double x1, double y1, assets::Color c) {
    const int steps = int(std::max(std::abs(x1 - x0), std::abs(y1 - y0))) + 1;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const int x = int(std::lround(x0 + (x1 - x0) * t)), y = int(std::lround(y0 + (y1 - y0) * t));
        for (int dy = 0; dy < 2; ++dy) img.add(x, y + dy, c);
    }
}

void fill(assets::Image& img, int x0, int y0, int x1, int y1, assets::Color c) {
    for (int y = std::max(0, y0); y < std::min(img.height(), y1); ++y)
        for (int x = std::max(0, x0); x < std::min(img.width(), x1); ++x) img.set(x, y, c);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: show_chart OUTPUT.png MOTION LOUDNESS SECTIONS\n");
        return 2;
    }
    bool okMotion = false, okLoud = false;
    const std::vector<Point> motion = readPoints(argv[2], &okMotion);
    const std::vector<Point> loudness = readPoints(argv[3], &okLoud);
    std::vector<Section> sections;
    std::ifstream in(argv[4]);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        Section s;
        if (fields >> s.start >> s.name) sections.push_back(s);
    }
    for (int i = 2; i <= 4; ++i) {
        const bool ok = i == 2 ? okMotion : i == 3 ? okLoud : bool(in) || in.eof();
        if (!ok) {
            std::fprintf(stderr, "glimmerq: %s: cannot read\n", argv[i]);
            return 1;
        }
    }
    if (sections.size() < 2 || motion.empty()) {
        std::fprintf(stderr, "glimmerq: show_chart: needs two section times and some motion\n");
        return 1;
    }

    const double end = sections.back().start;
    const int plotW = kWidth - kLeft - kRight;
    const int panelH = (kHeight - kTop - kBottom - kPanelGap) / 2;
    const int motionTop = kTop, loudTop = kTop + panelH + kPanelGap;
    double motionMax = kStillMotion * 2;
    for (const Point& p : motion) motionMax = std::max(motionMax, p.y);
    motionMax = std::ceil(motionMax / 5) * 5;
    auto xOf = [&](double t) { return kLeft + plotW * t / end; };
    auto yMotion = [&](double m) { return motionTop + panelH * (1 - std::min(m, motionMax) / motionMax); };
    auto yLoud = [&](double l) {
        return loudTop + panelH * (1 - (std::clamp(l, kLoudMin, kLoudMax) - kLoudMin) / (kLoudMax - kLoudMin));
    };

    assets::Image img(kWidth, kHeight);
    fill(img, 0, 0, kWidth, kHeight, {0.07f, 0.07f, 0.09f});
    // Sections: alternating bands under both panels, each named at the top.
    for (size_t k = 0; k + 1 < sections.size(); ++k) {
        const float shade = k % 2 ? 0.16f : 0.11f;
        const int x0 = int(xOf(sections[k].start)), x1 = int(xOf(sections[k + 1].start));
        fill(img, x0, motionTop, x1, motionTop + panelH, {shade, shade, shade + 0.03f});
        fill(img, x0, loudTop, x1, loudTop + panelH, {shade, shade, shade + 0.03f});
        std::string name = sections[k].name;
        std::replace(name.begin(), name.end(), '_', ' ');
        while (!name.empty() && assets::textWidth(name, kTextScale) > x1 - x0 - 4) name.pop_back();
        assets::drawText(img, name, float(x0 + 3), float(kTop - 16 - (k % 2) * 0), kTextScale,
                         {0.85f, 0.85f, 0.9f});
    }
    // Scales: the stillness line and a few loudness levels.
    line(img, kLeft, yMotion(kStillMotion), kLeft + plotW, yMotion(kStillMotion), {0.5f, 0.15f, 0.15f});
    for (double l = -25; l <= -10; l += 5) line(img, kLeft, yLoud(l), kLeft + plotW, yLoud(l), {0.12f, 0.12f, 0.12f});
    for (double t = 0; t <= end; t += kTickSeconds) {
        const std::string label = std::to_string(int(t) / 60) + ":" + (int(t) % 60 < 10 ? "0" : "") +
                                  std::to_string(int(t) % 60);
        assets::drawText(img, label, float(xOf(t) - assets::textWidth(label, kTextScale) / 2),
                         float(kHeight - kBottom + 10), kTextScale, {0.7f, 0.7f, 0.7f});
        line(img, xOf(t), loudTop + panelH, xOf(t), loudTop + panelH + 5, {0.6f, 0.6f, 0.6f});
    }
    assets::drawText(img, "motion", 6, float(motionTop + 4), kTextScale, {1.0f, 0.75f, 0.3f});
    assets::drawText(img, "0-" + std::to_string(int(motionMax)), 6, float(motionTop + 20), kTextScale,
                     {0.7f, 0.7f, 0.7f});
    assets::drawText(img, "LUFS", 6, float(loudTop + 4), kTextScale, {0.4f, 0.8f, 1.0f});
    assets::drawText(img, "-30..-8", 6, float(loudTop + 20), kTextScale, {0.7f, 0.7f, 0.7f});
    // The curves: motion per second as steps at their centres, loudness as it was measured.
    for (size_t i = 1; i < motion.size(); ++i)
        line(img, xOf(motion[i - 1].x + 0.5), yMotion(motion[i - 1].y), xOf(motion[i].x + 0.5), yMotion(motion[i].y),
             {1.0f, 0.75f, 0.3f});
    for (size_t i = 1; i < loudness.size(); ++i)
        line(img, xOf(loudness[i - 1].x), yLoud(loudness[i - 1].y), xOf(loudness[i].x), yLoud(loudness[i].y),
             {0.4f, 0.8f, 1.0f});

    std::vector<uint8_t> rgb;
    rgb.reserve(size_t(kWidth) * kHeight * 3);
    for (const assets::Rgb& p : img.pixels()) rgb.insert(rgb.end(), {p.r, p.g, p.b});
    std::string why;
    if (!assets::writePng(argv[1], kWidth, kHeight, 3, rgb.data(), &why)) {
        std::fprintf(stderr, "glimmerq: %s: cannot write (%s)\n", argv[1], why.c_str());
        return 1;
    }
    return 0;
}
