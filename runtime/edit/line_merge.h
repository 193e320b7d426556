// line_merge.h: two changes of one text, put together line by line, or refused where they meet.
//
//   auto merged = mergeLines(base, ours, theirs);   // nullopt when both change the same lines
//   auto where = matchLines(base, theirs);          // where[i]: base line i+1 in theirs, 0 if gone
//
// Lines are compared whole, with their line endings. Each side's change is the smallest set
// of replaced line ranges a longest common subsequence leaves; two ranges meet when they
// share a line, or when one inserts at the edge of the other or both insert at one place.
// Merging keeps every line neither side changed and takes each side's changes once (both
// sides making the same change is no conflict). Texts beyond kMaxMergedLines lines whose
// changed middles cannot be compared cheaply are refused.
// Not here: what the lines mean (the edit model re-parses what it merges).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

constexpr size_t kMaxMergedLines = 2000;  // of the changed middle; a script has a few hundred

std::optional<std::string> mergeLines(const std::string& base, const std::string& ours, const std::string& theirs);

// For each line of base, its line number in changed, or 0 where it was changed or removed;
// empty when the texts are too far apart to compare.
std::vector<int> matchLines(const std::string& base, const std::string& changed);

// A text's lines, each with its line ending.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace glimmerq
