// png_file.h: PNG files for the offline tools (contact sheet, icon, measuring), through
// libpng's simplified API.
//
//   std::vector<uint8_t> rgb;  int w, h;  std::string why;
//   if (!assets::readPngRgb(path, &rgb, &w, &h)) ...;            // any PNG, as 8-bit RGB
//   if (!assets::writePng(path, w, h, 3, rgb.data(), &why)) ...; // 3 = RGB, 4 = RGBA
//
// Rows run top to bottom, tightly packed. Not here: the program's own frames and screenshots
// (runtime/outputs/png_writer.h, which also removes a file it could not finish).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace assets {

bool readPngRgb(const std::filesystem::path& path, std::vector<uint8_t>* rgb, int* width, int* height);

bool writePng(const std::filesystem::path& path, int width, int height, int channels, const uint8_t* pixels,
              std::string* why);

}  // namespace assets
