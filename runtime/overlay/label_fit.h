// label_fit.h: a label shortened to the room it has, so that what is shown is never cut
// through a letter; the full text goes to a tooltip.
//
//   const std::string shown = fitLabel(box.name, right - left, [](const std::string& s) {
//       return ImGui::CalcTextSize(s.c_str()).x; });
//   if (shown != box.name) ...;   // hovering it shows box.name
//
// The width is measured by the caller's function, so this needs no font. Labels are ASCII
// names and numbers here; a UTF-8 sequence is never split.
#pragma once

#include <functional>
#include <string>

namespace glimmerq {

constexpr char kLabelEllipsis[] = "..";  // the default font has no single-glyph ellipsis

// text when it fits in width; else its longest head that fits with kLabelEllipsis after
// it; else "" (not even one character and the ellipsis fit).
std::string fitLabel(const std::string& text, float width, const std::function<float(const std::string&)>& measure);

}  // namespace glimmerq
