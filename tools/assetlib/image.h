// image.h: a small RGB canvas for the data generators, written out as JPEG.
//
//   Image img(256, 256);
//   img.at(x, y) = {255, 128, 0};
//   writeJpeg(img, dir / "voxe.jpg", 92);
//
// Floating-point helpers work in [0, 1] per channel; pixel (0, 0) is the top-left corner,
// which is also the first row a texture upload receives (t = 0 in GL).
// Not here: decoding, alpha channels (the data file's JPEGs carry none).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace assets {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

struct Color {
    float r = 0, g = 0, b = 0;
};

class Image {
public:
    Image(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * height) {}

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb& at(int x, int y) { return pixels_[size_t(y) * width_ + x]; }
    const Rgb& at(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }
    const std::vector<Rgb>& pixels() const { return pixels_; }

    // Stores a colour in [0, 1] per channel, clamped.
    void set(int x, int y, Color c);
    // Adds a colour weighted by coverage in [0, 1], clamped; out-of-range pixels are ignored.
    void add(int x, int y, Color c, float coverage = 1.0f);

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// Writes a baseline JPEG; exits the generator with a message on failure (tools only).
void writeJpeg(const Image& image, const std::filesystem::path& path, int quality = 92);

// Writes a whole byte buffer to a file; exits with a message on failure.
void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// The noise's value at one lattice point, in [0, 1] (65536 steps): a hash of the point and
// the seed, the same on every platform. Also a fixed per-pixel random value (dither).
float lattice(int32_t x, int32_t y, uint32_t seed);
// Deterministic value noise in [0, 1]: same inputs, same output on every platform.
float valueNoise(float x, float y, uint32_t seed);
// Sum of octaves of valueNoise, normalised to [0, 1].
float fractalNoise(float x, float y, int octaves, uint32_t seed);

}  // namespace assets
