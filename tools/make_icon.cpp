// make_icon: the desktop icon, made from the group's logo texture.
//
//   make_icon build/data/qv01.jpg build/glimmerq.png
//
// Decodes the logo JPEG (the glowing "qv" spark gen_textures writes), scales it to 256x256
// and cuts it into a rounded square: outside the corners' quarter circles the icon is
// transparent, with a one-pixel smooth edge. Deterministic: same logo, same bytes.
// Not here: other icon sizes (desktops scale the 256 one), SVG.
#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kIconSize = 256;             // pixels, the hicolor 256x256 size
constexpr float kCornerRadius = 44.0f;     // pixels, about a sixth of the side

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

// Coverage in [0, 1] of the pixel centred at (x, y) by the rounded square.
float roundedSquareCoverage(float x, float y) {
    const float inner = kCornerRadius, outer = float(kIconSize) - kCornerRadius;
    const float dx = x < inner ? inner - x : (x > outer ? x - outer : 0.0f);
    const float dy = y < inner ? inner - y : (y > outer ? y - outer : 0.0f);
    const float distance = std::sqrt(dx * dx + dy * dy);  // beyond the straight edges' inset
    return std::clamp(kCornerRadius - distance + 0.5f, 0.0f, 1.0f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icon LOGO.jpg OUTPUT.png\n");
        return 2;
    }
    Picture logo;
    std::string error;
    if (!decodeJpeg(argv[1], &logo, &error)) {
        std::fprintf(stderr, "make_icon: %s\n", error.c_str());
        return 1;
    }
    // A box of source pixels per icon pixel when shrinking; bilinear when growing.
    const float scaleX = float(logo.width) / kIconSize, scaleY = float(logo.height) / kIconSize;
    const int taps = std::max(1, int(std::ceil(std::max(scaleX, scaleY))));
    std::vector<unsigned char> rgba(size_t(kIconSize) * kIconSize * 4);
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x) {
            float sum[3] = {0, 0, 0};
            for (int ty = 0; ty < taps; ++ty)
                for (int tx = 0; tx < taps; ++tx) {
                    float s[3];
                    sample(logo, (float(x) + (tx + 0.5f) / taps) * scaleX - 0.5f,
                           (float(y) + (ty + 0.5f) / taps) * scaleY - 0.5f, s);
                    for (int c = 0; c < 3; ++c) sum[c] += s[c];
                }
            unsigned char* out = &rgba[(size_t(y) * kIconSize + x) * 4];
            for (int c = 0; c < 3; ++c) out[c] = (unsigned char)std::lround(sum[c] / float(taps * taps));
            out[3] = (unsigned char)std::lround(255.0f * roundedSquareCoverage(float(x) + 0.5f, float(y) + 0.5f));
        }

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kIconSize;
    image.height = kIconSize;
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, argv[2], 0, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "make_icon: %s: %s\n", argv[2], image.message);
        return 1;
    }
    return 0;
}
