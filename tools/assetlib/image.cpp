#include "tools/assetlib/image.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace assets {

namespace {

uint8_t toByte(float v) {
    return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

[[noreturn]] void fail(const std::filesystem::path& path, const char* what) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), what);
    std::exit(1);
}

uint32_t hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ uint32_t(x) * 0x85EBCA77u ^ uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

void Image::set(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    at(x, y) = {toByte(c.r), toByte(c.g), toByte(c.b)};
}

void Image::add(int x, int y, Color c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Rgb& p = at(x, y);
    p = {toByte(p.r / 255.0f + c.r * coverage), toByte(p.g / 255.0f + c.g * coverage),
         toByte(p.b / 255.0f + c.b * coverage)};
}

void writeJpeg(const Image& image, const std::filesystem::path& path, int quality) {
    tjhandle compressor = tjInitCompress();
    if (!compressor) fail(path, "cannot start the JPEG compressor");
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(compressor, reinterpret_cast<const unsigned char*>(image.pixels().data()),
                               image.width(), 0, image.height(), TJPF_RGB, &jpeg, &size, TJSAMP_444,
                               quality, TJFLAG_ACCURATEDCT);
    if (rc != 0) fail(path, tjGetErrorStr2(compressor));
    std::vector<uint8_t> bytes(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(compressor);
    writeFile(path, bytes);
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) fail(path, "cannot write the file");
}

float lattice(int32_t x, int32_t y, uint32_t seed) { return float(hash(x, y, seed) & 0xFFFFu) / 65535.0f; }

float valueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = int32_t(fx), iy = int32_t(fy);
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    const float a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    const float c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fractalNoise(float x, float y, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += valueNoise(x, y, seed + uint32_t(i) * 101u) * amplitude;
        total += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

}  // namespace assets
