// Two changes of one text merged line by line: apart they both land, on the same or
// neighbouring lines they are refused, and the same change on both sides lands once.
#include "runtime/edit/line_merge.h"

#include <gtest/gtest.h>

using namespace glimmerq;

TEST(LineMerge, TakesBothChangesUnlessTheyMeet) {
    const std::string base = "a\nb\nc\nd\ne\n";
    struct Row {
        const char* what;
        std::string ours, theirs;
        std::optional<std::string> merged;
    };
    const Row rows[] = {
        {"apart", "A\nb\nc\nd\ne\n", "a\nb\nc\nd\nE\n", "A\nb\nc\nd\nE\n"},
        {"an insertion and a removal apart", "a\nb\nx\nc\nd\ne\n", "a\nb\nc\nd\n", "a\nb\nx\nc\nd\n"},
        {"one line", "a\nB\nc\nd\ne\n", "a\nb2\nc\nd\ne\n", std::nullopt},
        {"an insertion at the edge of a change", "a\nx\nb\nc\nd\ne\n", "a\nB\nc\nd\ne\n", std::nullopt},
        {"two insertions at one place", "a\nx\nb\nc\nd\ne\n", "a\ny\nb\nc\nd\ne\n", std::nullopt},
        {"the same change", "a\nB\nc\nd\ne\n", "a\nB\nc\nd\ne\n", "a\nB\nc\nd\ne\n"},
        {"line endings count", "a\r\nb\nc\nd\ne\n", "a\nb\nc\nd\ne\r\n", "a\r\nb\nc\nd\ne\r\n"},
        {"nothing on one side", base, "a\nc\n", "a\nc\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(mergeLines(base, row.ours, row.theirs), row.merged) << row.what;
        EXPECT_EQ(mergeLines(base, row.theirs, row.ours), row.merged) << row.what << ", the other way round";
    }
}

TEST(LineMerge, MatchesEachLineToItsPlaceInTheChangedText) {
    EXPECT_EQ(matchLines("a\nb\nc\nd\n", "new\na\nc\nD\n"), (std::vector<int>{2, 0, 3, 0}));
    EXPECT_EQ(matchLines("a\nb", "a\nb\n"), (std::vector<int>{1, 0}));  // "b" and "b\n" differ
}
