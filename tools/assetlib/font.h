// font.h: a 5x7 pixel font (with a one-row descender) for text drawn into generated images.
//
//   assets::drawText(img, "glimmerQ", x, y, scale, {1, 0.8f, 0.3f});   // (x, y) = top-left
//   int w = assets::textWidth("glimmerQ", scale);
//
// Capitals and digits are 7 rows tall; g, j, p, q and y reach one row below the baseline.
// Each glyph advances 6 font pixels (one column of spacing); a font pixel is
// drawn as a scale x scale square with soft (anti-aliased) edges. Characters without a glyph
// are drawn as blanks.
#pragma once

#include "tools/assetlib/image.h"

#include <string>

namespace assets {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 8;   // rows, the last one below the baseline
constexpr int kGlyphBaselineRows = 7;
constexpr int kGlyphAdvance = 6;

// Rows of a glyph, top first; bit 4 is the leftmost column. Null when there is no glyph.
const unsigned char* glyph(char c);

int textWidth(const std::string& text, float scale);
// Adds the text onto the image (additive), so glows and shadows can be layered.
void drawText(Image& image, const std::string& text, float x, float y, float scale, Color color);
// A soft halo around the text: every font pixel spreads a gaussian of the given radius (pixels).
void drawTextGlow(Image& image, const std::string& text, float x, float y, float scale, Color color,
                  float radius);

}  // namespace assets
