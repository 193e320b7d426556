// jpeg_image.h: decodes a JPEG held in memory into RGB pixels, never ending the process.
//
//   Image image;
//   std::string error;
//   if (!decodeJpeg(bytes.data(), bytes.size(), &image, &error)) { ...error... }
//
// Pixels are RGB, 3 bytes each, rows from the top of the picture. Images above
// kMaxJpegPixels pixels, zero-sized ones and progressive files with an absurd number of
// scans are refused before any pixel is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace glimmerq {

constexpr int64_t kMaxJpegPixels = 16384ll * 16384ll;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // width * height * 3 bytes, top row first
};

bool decodeJpeg(const unsigned char* data, size_t size, Image* image, std::string* error);

}  // namespace glimmerq
