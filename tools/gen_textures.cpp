// gen_textures: the four effect textures, written as JPEGs into OUTDIR.
//
//   gen_textures OUTDIR   ->  voxe.jpg, jelly.jpg, rock_sw.jpg, qv01.jpg
//
// Each picture is designed for the way its effect shows it:
//   voxe.jpg     a cube face, white-modulated and fogged to black (EASYONE);
//   jelly.jpg    tiles seamlessly, seen through grey 0.3 with an inverting additive blend
//                (CWOBBEL), so it is bright and saturated;
//   rock_sw.jpg  grey rock stretched once along 1404 units of shaft wall, added at grey 0.7
//                (STRAHLEN): dark base, light streaks that run along the depth (t);
//   qv01.jpg     a glowing "qv" spark added onto black (SPLASH): its border is pure black.
// The textures are stored by the host with 5 bits per channel, so smooth gradients carry a
// faint deterministic dither. Everything is computed from fixed seeds: same bytes every run.
#include "tools/assetlib/image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

using assets::Color;
using assets::Image;

constexpr float kPi = 3.14159265f;
constexpr int kJpegQuality = 95;
constexpr float kDitherAmplitude = 1.0f / 64.0f;  // half a step of a 5-bit channel

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
float mix(float a, float b, float t) { return a + (b - a) * t; }
Color mix(Color a, Color b, float t) { return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)}; }
Color scale(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }
Color add(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

int wrap(int v, int period) { return ((v % period) + period) % period; }

// Value noise whose lattice repeats every `period` cells in x and y: tiles seamlessly.
float tiledNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    auto at = [&](int cx, int cy) { return assets::lattice(wrap(cx, periodX), wrap(cy, periodY), seed); };
    const float a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    return mix(mix(a, b, tx), mix(c, d, tx), ty);
}

// Octaves of tiledNoise over u, v in [0, 1): cellsX x cellsY lattice cells at the first octave.
float tiledFractal(float u, float v, int cellsX, int cellsY, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += tiledNoise(u * cellsX, v * cellsY, cellsX, cellsY, seed + uint32_t(i) * 101u) * amplitude;
        total += amplitude;
        cellsX *= 2;
        cellsY *= 2;
        amplitude *= 0.5f;
    }
    return sum / total;
}

// A signed offset in [-amplitude, amplitude], fixed per pixel: hides 5-bit banding.
float dither(int x, int y, uint32_t seed) { return (assets::lattice(x, y, seed) * 2.0f - 1.0f) * kDitherAmplitude; }

Color dithered(Color c, int x, int y, uint32_t seed, float weight = 1.0f) {
    const float d = dither(x, y, seed) * weight;
    return {c.r + d, c.g + d, c.b + d};
}

// Distance from p to the segment a-b.
float segmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    const float vx = bx - ax, vy = by - ay;
    const float t = clamp01(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy));
    return std::hypot(px - (ax + vx * t), py - (ay + vy * t));
}

// --- voxe.jpg: one face of the cube -----------------------------------------------------
// A dark blue glass tile with a bevelled steel frame and a glowing amber emblem.
Image makeCubeFace() {
    constexpr int kSize = 256;
    constexpr uint32_t kSeed = 0x766F7865u;  // "voxe"
    const Color deepBlue{0.05f, 0.07f, 0.22f};
    const Color glassBlue{0.14f, 0.24f, 0.55f};
    const Color steel{0.62f, 0.70f, 0.82f};
    const Color amber{1.00f, 0.62f, 0.18f};
    const Color hotWhite{1.00f, 0.95f, 0.80f};

    Image img(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            // Centred coordinates in [-1, 1], y up.
            const float u = (x + 0.5f) / kSize * 2.0f - 1.0f;
            const float v = 1.0f - (y + 0.5f) / kSize * 2.0f;
            const float edge = std::max(std::fabs(u), std::fabs(v));  // 1 at the border

            // Glass: a radial sheen over cloudy noise.
            const float cloud = tiledFractal((u + 1) / 2, (v + 1) / 2, 4, 4, 5, kSeed);
            const float sheen = 1.0f - smoothstep(0.0f, 1.1f, std::hypot(u + 0.3f, v - 0.35f));
            Color c = mix(deepBlue, glassBlue, clamp01(0.35f * cloud + 0.65f * sheen));

            // Bevelled frame: lit from the upper left.
            constexpr float kFrameInner = 0.84f;
            if (edge > kFrameInner) {
                const float across = (edge - kFrameInner) / (1.0f - kFrameInner);  // 0 inner .. 1 outer
                const bool litSide = (std::fabs(u) > std::fabs(v)) ? (u < 0) : (v > 0);
                const float bevel = litSide ? 1.0f - 0.35f * across : 0.45f + 0.2f * (1.0f - across);
                const float grain = 0.85f + 0.15f * tiledFractal((u + 1) / 2, (v + 1) / 2, 32, 2, 3, kSeed + 7);
                c = scale(steel, bevel * grain);
                // A thin dark groove where frame meets glass, a bright rim at the outside.
                c = scale(c, 0.4f + 0.6f * smoothstep(0.0f, 0.12f, across));
                c = add(c, scale(hotWhite, 0.35f * smoothstep(0.85f, 1.0f, across)));
            }

            // Emblem: a ring around a diamond, glowing amber with a white-hot core.
            const float r = std::hypot(u, v);
            const float ring = std::fabs(r - 0.50f);
            const float diamond = std::fabs(std::fabs(u) + std::fabs(v) - 0.30f);
            const float cross = std::min(std::fabs(u), std::fabs(v)) + 0.6f * smoothstep(0.25f, 0.7f, r);
            const float stroke = std::min({ring, diamond, cross});
            if (edge < kFrameInner) {
                const float core = 1.0f - smoothstep(0.012f, 0.03f, stroke);
                const float glow = std::exp(-stroke * stroke / 0.006f) * 0.8f;
                c = add(c, scale(amber, glow));
                c = add(c, scale(hotWhite, core));
            }
            img.set(x, y, dithered(c, x, y, kSeed));
        }
    }
    return img;
}

// --- jelly.jpg: a seamless, flowing jelly ------------------------------------------------
// Domain-warped noise in magenta, violet and teal, crossed by bright caustic veins.
Image makeJelly() {
    constexpr int kSize = 256;
    constexpr uint32_t kSeed = 0x6A656C6Cu;  // "jell"
    Image img(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = float(x) / kSize, v = float(y) / kSize;
            // Warp offsets are themselves seamless, so the warped pattern still tiles.
            const float wx = tiledFractal(u, v, 3, 3, 4, kSeed + 1) - 0.5f;
            const float wy = tiledFractal(u, v, 3, 3, 4, kSeed + 2) - 0.5f;
            const float f = tiledFractal(u + 0.45f * wx, v + 0.45f * wy, 4, 4, 5, kSeed + 3);
            // Cosine palette over the warped field: violet -> magenta -> teal.
            const float t = f * 1.6f + 0.15f;
            Color c{0.55f + 0.45f * std::cos(2 * kPi * (t + 0.00f)),
                    0.45f + 0.40f * std::cos(2 * kPi * (t + 0.33f)),
                    0.65f + 0.35f * std::cos(2 * kPi * (t + 0.60f))};
            // Caustics: thin bright contour lines of a second warped field.
            const float g = tiledFractal(u + 0.6f * wy, v + 0.6f * wx, 2, 2, 4, kSeed + 4);
            const float band = std::fabs(std::fmod(g * 9.0f, 1.0f) * 2.0f - 1.0f);  // 1 on a line
            const float vein = std::pow(band, 14.0f);
            c = add(scale(c, 0.85f), scale(Color{0.75f, 1.0f, 0.95f}, 0.75f * vein));
            img.set(x, y, dithered(c, x, y, kSeed));
        }
    }
    return img;
}

// --- rock_sw.jpg: grey rock for the shaft walls ------------------------------------------
// Each wall stretches the picture once along 1404 units of depth: along t (y) on the top and
// bottom walls, along s (x) on the side walls, and only the near end (small t, large s) is
// in view. Streaks in both directions become rays converging on the vanishing point on one
// pair of walls and bands that show the shaft sliding on the other; quartz veins and a bright
// rim where two walls meet finish it. Mostly dark: it is added onto the picture.
Image makeRock() {
    constexpr int kSize = 512;
    constexpr uint32_t kSeed = 0x726F636Bu;  // "rock"
    Image img(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = float(x) / kSize, v = float(y) / kSize;
            const float body = tiledFractal(u, v, 8, 8, 6, kSeed);
            float grey = 0.06f + 0.26f * body;
            // Streaks: noise fine across, coarse along; one set per direction.
            const float along = tiledFractal(u, v, 64, 4, 3, kSeed + 1);
            const float across = tiledFractal(u, v, 4, 64, 3, kSeed + 2);
            grey += 0.42f * std::pow(along, 5.0f) + 0.42f * std::pow(across, 5.0f);
            // Quartz veins: the ridges of a warped field.
            const float warp = tiledFractal(u, v, 4, 4, 3, kSeed + 3) - 0.5f;
            const float field = tiledFractal(u + 0.2f * warp, v - 0.2f * warp, 6, 6, 4, kSeed + 4);
            const float ridge = 1.0f - std::fabs(field * 2.0f - 1.0f);
            grey += 0.5f * std::pow(ridge, 16.0f);
            // The rim along every border: the corners where two walls meet.
            const float border = std::min({u, 1.0f - u, v, 1.0f - v});
            grey += 0.5f * (1.0f - smoothstep(0.0f, 0.02f, border));
            const float tint = 0.04f * (body - 0.5f);  // faintly warm and cold patches
            img.set(x, y, dithered({grey + tint, grey, grey - tint}, x, y, kSeed));
        }
    }
    return img;
}

// --- qv01.jpg: the glowing logo spark ----------------------------------------------------
// A lowercase "qv" in white-hot strokes inside a cyan and violet glow with a four-point
// flare. Added onto black, so everything fades to pure black well before the border.
Image makeLogoSpark() {
    constexpr int kSize = 256;
    constexpr uint32_t kSeed = 0x71763031u;  // "qv01"
    const Color cyan{0.25f, 0.75f, 1.0f};
    const Color violet{0.65f, 0.30f, 1.0f};
    const Color white{1.0f, 1.0f, 1.0f};
    Image img(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float u = (x + 0.5f) / kSize * 2.0f - 1.0f;
            // The texture's first row (t = 0) meets the square's bottom edge: v runs upwards
            // from the first row, so the letters stand upright on screen.
            const float v = (y + 0.5f) / kSize * 2.0f - 1.0f;
            const float r = std::hypot(u, v);

            // "q": a bowl and a descender; "v": two strokes.
            const float bowl = std::fabs(std::hypot(u + 0.27f, v - 0.02f) - 0.17f);
            const float stem = segmentDistance(u, v, -0.10f, 0.19f, -0.10f, -0.40f);
            const float tail = segmentDistance(u, v, -0.10f, -0.40f, -0.02f, -0.32f);
            const float vLeft = segmentDistance(u, v, 0.06f, 0.19f, 0.20f, -0.15f);
            const float vRight = segmentDistance(u, v, 0.20f, -0.15f, 0.34f, 0.19f);
            const float letters = std::min({bowl, stem, tail, vLeft, vRight});

            const float core = 1.0f - smoothstep(0.018f, 0.038f, letters);
            const float letterGlow = std::exp(-letters * letters / 0.008f);
            const float halo = std::exp(-r * r / 0.06f);
            const float flare = std::exp(-std::fabs(u * v) * 90.0f) * std::exp(-r * r / 0.35f);

            Color c = scale(violet, 0.25f * halo);
            c = add(c, scale(cyan, 0.75f * letterGlow));
            c = add(c, scale(white, 0.45f * flare));
            c = add(c, scale(white, core));
            // Pure black outside the disc: no square edges show when added onto black.
            const float fade = 1.0f - smoothstep(0.70f, 0.95f, r);
            c = scale(c, fade);
            const float level = std::max({c.r, c.g, c.b});
            img.set(x, y, dithered(c, x, y, kSeed, smoothstep(0.02f, 0.1f, level)));
        }
    }
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    assets::writeJpeg(makeCubeFace(), dir / "voxe.jpg", kJpegQuality);
    assets::writeJpeg(makeJelly(), dir / "jelly.jpg", kJpegQuality);
    assets::writeJpeg(makeRock(), dir / "rock_sw.jpg", kJpegQuality);
    assets::writeJpeg(makeLogoSpark(), dir / "qv01.jpg", kJpegQuality);
    return 0;
}
