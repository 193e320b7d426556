#include "runtime/outputs/png_writer.h"

#include <png.h>

#include <cstdio>

namespace glimmerq {

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba,
              std::string* error) {
    if (width <= 0 || height <= 0 || rgba.size() < size_t(width) * height * 4) {
        *error = path + ": no picture to write";
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = path + ": cannot open for writing";
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    // The alpha channel is a by-product of blending, not transparency: write RGB.
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    for (size_t i = 0, n = size_t(width) * height; i < n; ++i) {
        rgb[i * 3 + 0] = rgba[i * 4 + 0];
        rgb[i * 3 + 1] = rgba[i * 4 + 1];
        rgb[i * 3 + 2] = rgba[i * 4 + 2];
    }
    image.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr) != 0;
    if (std::fclose(file) != 0 || !ok) {
        *error = path + ": cannot write the PNG (" + (image.message[0] ? image.message : "disk full?") + ")";
        // A cut-off file would pass for a frame in a folder of frames.
        std::remove(path.c_str());
        return false;
    }
    return true;
}

}  // namespace glimmerq
