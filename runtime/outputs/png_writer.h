// png_writer.h: writes RGBA pixels (top row first) as a PNG file.
#pragma once

#include <string>
#include <vector>

namespace glimmerq {

// False with a one-line reason naming the file; a file it could not finish is removed.
bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba,
              std::string* error);

}  // namespace glimmerq
