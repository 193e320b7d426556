#include "runtime/data/jpeg_image.h"

#include <turbojpeg.h>

#include <limits>

namespace glimmerq {

bool decodeJpeg(const unsigned char* data, size_t size, Image* image, std::string* error) {
    if (!data || size == 0 || size > std::numeric_limits<unsigned long>::max()) {
        *error = "empty image";
        return false;
    }
    // TurboJPEG wraps libjpeg with its own setjmp error handler: corrupt data comes back
    // as an error code instead of libjpeg's default exit().
    tjhandle decompressor = tjInitDecompress();
    if (!decompressor) {
        *error = "cannot start the JPEG decoder";
        return false;
    }
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    bool ok = tjDecompressHeader3(decompressor, data, (unsigned long)size, &width, &height,
                                  &subsampling, &colorspace) == 0;
    if (!ok) {
        *error = std::string("not a JPEG image (") + tjGetErrorStr2(decompressor) + ")";
    } else if (width <= 0 || height <= 0) {
        *error = "zero-sized image";
        ok = false;
    } else if (int64_t(width) * height > kMaxJpegPixels) {
        *error = "image too large (" + std::to_string(width) + "x" + std::to_string(height) + ")";
        ok = false;
    }
    if (ok) {
        image->width = width;
        image->height = height;
        image->rgb.assign(size_t(width) * height * 3, 0);
        // TJFLAG_LIMITSCANS refuses progressive files with more than 500 scans;
        // TJFLAG_STOPONWARNING turns truncated data into an error.
        const int flags = TJFLAG_ACCURATEDCT | TJFLAG_LIMITSCANS | TJFLAG_STOPONWARNING;
        if (tjDecompress2(decompressor, data, (unsigned long)size, image->rgb.data(), width, 0,
                          height, TJPF_RGB, flags) != 0) {
            *error = std::string("corrupt image (") + tjGetErrorStr2(decompressor) + ")";
            image->rgb.clear();
            image->width = image->height = 0;
            ok = false;
        }
    }
    tjDestroy(decompressor);
    return ok;
}

}  // namespace glimmerq
