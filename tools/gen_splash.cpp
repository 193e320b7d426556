// gen_splash OUTDIR: writes the loading screen's splash "cnslbg.jpg".
//
// 1280x720: a violet-to-midnight sky with soft nebula clouds, a glowing horizon grid
// below, the title "glimmerQ" above the middle and the group "quorV0!xe" below it. The
// band just below the middle (45 % to 47 % of the height from the bottom) stays calm
// because the progress bar runs across it.
#include "tools/assetlib/font.h"
#include "tools/assetlib/image.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr uint32_t kSeed = 1999;
constexpr float kHorizon = 0.70f;          // horizon height, fraction from the top
constexpr float kTitleScale = 16.0f;       // title font pixel size in image pixels
constexpr float kGroupScale = 6.0f;
constexpr float kTitleBaseline = 0.44f;    // title bottom, fraction from the top
constexpr float kGroupTop = 0.585f;

assets::Color sky(float fx, float fy) {
    // Deep violet at the top, warm magenta toward the horizon.
    const float t = fy / kHorizon;
    assets::Color c{0.05f + 0.35f * t * t, 0.02f + 0.05f * t, 0.12f + 0.18f * t};
    const float cloud = assets::fractalNoise(fx * 6.0f, fy * 10.0f, 5, kSeed);
    const float wisps = std::pow(std::max(0.0f, cloud - 0.45f) * 1.8f, 2.0f);
    c.r += wisps * 0.35f;
    c.g += wisps * 0.12f;
    c.b += wisps * 0.45f;
    return c;
}

assets::Color ground(float fx, float fy) {
    // A perspective grid: lines at equal steps in depth and in x/depth.
    const float below = (fy - kHorizon) / (1.0f - kHorizon);  // 0 at the horizon, 1 at the bottom
    const float depth = 1.0f / std::max(below, 0.002f);
    const float gx = (fx - 0.5f) * depth * 8.0f;
    const float gz = depth * 2.0f;
    const float lineX = std::exp(-std::pow((gx - std::round(gx)) / (0.02f * depth), 2.0f));
    const float lineZ = std::exp(-std::pow((gz - std::round(gz)) / (0.03f * depth), 2.0f));
    const float fade = std::min(1.0f, below * 3.0f);
    const float line = std::max(lineX, lineZ) * fade;
    return {0.02f + line * 0.9f, 0.01f + line * 0.25f, 0.05f + line * 0.8f};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_splash OUTDIR\n");
        return 2;
    }
    assets::Image image(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const float fx = (x + 0.5f) / kWidth, fy = (y + 0.5f) / kHeight;
            image.set(x, y, fy < kHorizon ? sky(fx, fy) : ground(fx, fy));
        }
    // A bright haze line on the horizon.
    for (int y = 0; y < kHeight; ++y) {
        const float d = (y + 0.5f) / kHeight - kHorizon;
        const float haze = std::exp(-d * d / 0.0004f);
        for (int x = 0; x < kWidth; ++x) image.add(x, y, {1.0f, 0.45f, 0.8f}, haze * 0.6f);
    }

    const std::string title = "glimmerQ";
    const float titleX = (kWidth - assets::textWidth(title, kTitleScale)) * 0.5f;
    const float titleY = kHeight * kTitleBaseline - assets::kGlyphBaselineRows * kTitleScale;
    assets::drawTextGlow(image, title, titleX, titleY, kTitleScale, {1.0f, 0.5f, 0.9f}, 14.0f);
    assets::drawText(image, title, titleX + 4, titleY + 4, kTitleScale, {-0.6f, -0.6f, -0.6f});
    assets::drawText(image, title, titleX, titleY, kTitleScale, {1.0f, 0.95f, 1.0f});

    const std::string group = "quorV0!xe";
    const float groupX = (kWidth - assets::textWidth(group, kGroupScale)) * 0.5f;
    assets::drawTextGlow(image, group, groupX, kHeight * kGroupTop, kGroupScale, {0.3f, 0.8f, 1.0f}, 6.0f);
    assets::drawText(image, group, groupX, kHeight * kGroupTop, kGroupScale, {0.8f, 0.95f, 1.0f});

    assets::writeJpeg(image, std::string(argv[1]) + "/cnslbg.jpg", 90);
    return 0;
}
