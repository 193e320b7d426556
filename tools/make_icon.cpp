// make_icon: the desktop icon, made from the group's logo texture.
//
//   make_icon build/data/qv01.jpg build/icon-48.png 48
//
// Decodes the logo JPEG (the glowing "qv" spark gen_textures writes), scales it to SIZE x SIZE
// pixels (16 to 1024) and cuts it into a rounded square: outside the corners' quarter circles
// the icon is transparent, with a one-pixel smooth edge. Deterministic: same logo and size,
// same bytes. Not here: SVG.
#include "tools/assetlib/png_file.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kMinIconSize = 16;                   // pixels, the smallest hicolor size
constexpr int kMaxIconSize = 1024;                 // pixels, the largest hicolor size
constexpr float kCornerRadiusPerSide = 0.171875f;  // corner radius / side: 44 px at 256 px

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

bool decodeJpeg(const std::string& path, Picture* picture, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.empty()) {
        *error = path + ": cannot read it";
        return false;
    }
    tjhandle decoder = tjInitDecompress();
    int subsampling = 0, colourspace = 0;
    bool ok = tjDecompressHeader3(decoder, bytes.data(), (unsigned long)bytes.size(), &picture->width,
                                  &picture->height, &subsampling, &colourspace) == 0 &&
              picture->width > 0 && picture->height > 0;
    if (ok) {
        picture->rgb.resize(size_t(picture->width) * picture->height * 3);
        ok = tjDecompress2(decoder, bytes.data(), (unsigned long)bytes.size(), picture->rgb.data(), picture->width, 0,
                           picture->height, TJPF_RGB, TJFLAG_ACCURATEDCT) == 0;
    }
    if (!ok) *error = path + ": not a JPEG this program can decode (" + tjGetErrorStr2(decoder) + ")";
    tjDestroy(decoder);
    return ok;
}

// Bilinear sample at pixel-centre coordinates, clamped at the edges.
void sample(const Picture& p, float x, float y, float out[3]) {
    x = std::clamp(x, 0.0f, float(p.width - 1));
    y = std::clamp(y, 0.0f, float(p.height - 1));
    const int x0 = int(x), y0 = int(y);
    const int x1 = std::min(x0 + 1, p.width - 1), y1 = std::min(y0 + 1, p.height - 1);
    const float fx = x - float(x0), fy = y - float(y0);
    for (int c = 0; c < 3; ++c) {
        auto at = [&](int px, int py) { return float(p.rgb[(size_t(py) * p.width + px) * 3 + c]); };
        const float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * fx;
        const float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * fx;
        out[c] = top + (bottom - top) * fy;
    }
}

// Coverage in [0, 1] of the pixel centred at (x, y) by the rounded square of side `size`.
float roundedSquareCoverage(float x, float y, int size) {
    const float radius = kCornerRadiusPerSide * float(size);
    const float inner = radius, outer = float(size) - radius;
    const float dx = x < inner ? inner - x : (x > outer ? x - outer : 0.0f);
    const float dy = y < inner ? inner - y : (y > outer ? y - outer : 0.0f);
    const float distance = std::sqrt(dx * dx + dy * dy);  // beyond the straight edges' inset
    return std::clamp(radius - distance + 0.5f, 0.0f, 1.0f);
}

// The SIZE argument: a whole number of pixels from kMinIconSize to kMaxIconSize, else 0.
int parseSize(const char* text) {
    char* end = nullptr;
    const long size = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || size < kMinIconSize || size > kMaxIconSize) return 0;
    return int(size);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_icon LOGO.jpg OUTPUT.png SIZE\n");
        return 2;
    }
    const int iconSize = parseSize(argv[3]);
    if (iconSize == 0) {
        std::fprintf(stderr, "make_icon: SIZE must be a whole number of pixels from %d to %d, not %s\n",
                     kMinIconSize, kMaxIconSize, argv[3]);
        return 2;
    }
    Picture logo;
    std::string error;
    if (!decodeJpeg(argv[1], &logo, &error)) {
        std::fprintf(stderr, "make_icon: %s\n", error.c_str());
        return 1;
    }
    // A box of source pixels per icon pixel when shrinking; bilinear when growing.
    const float scaleX = float(logo.width) / iconSize, scaleY = float(logo.height) / iconSize;
    const int taps = std::max(1, int(std::ceil(std::max(scaleX, scaleY))));
    std::vector<unsigned char> rgba(size_t(iconSize) * iconSize * 4);
    for (int y = 0; y < iconSize; ++y)
        for (int x = 0; x < iconSize; ++x) {
            float sum[3] = {0, 0, 0};
            for (int ty = 0; ty < taps; ++ty)
                for (int tx = 0; tx < taps; ++tx) {
                    float s[3];
                    sample(logo, (float(x) + (tx + 0.5f) / taps) * scaleX - 0.5f,
                           (float(y) + (ty + 0.5f) / taps) * scaleY - 0.5f, s);
                    for (int c = 0; c < 3; ++c) sum[c] += s[c];
                }
            unsigned char* out = &rgba[(size_t(y) * iconSize + x) * 4];
            for (int c = 0; c < 3; ++c) out[c] = (unsigned char)std::lround(sum[c] / float(taps * taps));
            const float coverage = roundedSquareCoverage(float(x) + 0.5f, float(y) + 0.5f, iconSize);
            out[3] = (unsigned char)std::lround(255.0f * coverage);
        }

    std::string why;
    if (!assets::writePng(argv[2], iconSize, iconSize, 4, rgba.data(), &why)) {
        std::fprintf(stderr, "make_icon: %s: %s\n", argv[2], why.c_str());
        return 1;
    }
    return 0;
}
