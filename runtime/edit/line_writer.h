// line_writer.h: one script line rewritten, or a new one made like it, as its maker would.
//
//   writeTime(17000, line.notation, tempo);          // "@9.3" for a bar time, "17" for seconds
//   replaceField(line.raw, line.time, "@10");        // the verb and the comment keep their columns
//   lineLike(neighbour, {"@9", "start", "CKREUZ", "layer", "2"});  // the neighbour's columns
//
// A bar time stays a bar time where the time falls on a beat of the grid given (the one
// the line falls under), "@9" for a downbeat written without its beat; elsewhere it becomes
// seconds. Seconds and m:ss keep their decimals, or gain those the time needs. A field that
// grows or shrinks takes its difference from the spaces after it, so what follows stays in
// its column (at least one blank is left); blanks that hold a tab are left as they are.
// Not here: which lines change or where they go (edit_model.cpp, line_order.h).
#pragma once

#include "runtime/script/script_lines.h"
#include "runtime/script/tempo_map.h"

#include <cstdint>
#include <string>
#include <vector>

namespace glimmerq {

std::string writeTime(int64_t timeMs, const TimeNotation& like, const TempoMap& tempo);

// raw with the bytes of field replaced by text.
std::string replaceField(const std::string& raw, ByteRange field, const std::string& text);

// A new line of words (the time first) laid out like `like`: the verb in its column, single
// blanks after it, its line ending ("\n" when it has none). Copies no comment.
std::string lineLike(const ScriptLine& like, const std::vector<std::string>& words);

}  // namespace glimmerq
