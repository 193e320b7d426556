// Arbitrary bytes as a JPEG texture: decoding gives an image or an error, never a crash or exit().
#include "runtime/data/jpeg_image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    glimmerq::Image image;
    std::string error;
    if (glimmerq::decodeJpeg(data, size, &image, &error)) {
        if (image.width <= 0 || image.height <= 0 ||
            image.rgb.size() != size_t(image.width) * size_t(image.height) * 3)
            __builtin_trap();
    }
    return 0;
}
