#include "tools/assetlib/png_file.h"

#include <png.h>

namespace assets {

bool readPngRgb(const std::filesystem::path& path, std::vector<uint8_t>* rgb, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb->resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) return false;
    *width = int(image.width);
    *height = int(image.height);
    return true;
}

bool writePng(const std::filesystem::path& path, int width, int height, int channels, const uint8_t* pixels,
              std::string* why) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, pixels, 0, nullptr)) return true;
    *why = image.message;
    return false;
}

}  // namespace assets
