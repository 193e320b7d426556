// Labels shortened to their room: never cut through a letter, an ellipsis where text is
// left out, nothing where not even one letter fits.
#include "runtime/overlay/label_fit.h"

#include <gtest/gtest.h>

using namespace glimmerq;

TEST(LabelFit, ShortensToTheLongestHeadThatFitsWithTheEllipsis) {
    const auto sevenPerByte = [](const std::string& s) { return 7.0f * float(s.size()); };
    struct Case {
        const char* text;
        float width;
        const char* shown;
    };
    const Case cases[] = {
        {"CKREUZ", 42.0f, "CKREUZ"},           // exactly its width
        {"CKREUZ", 41.0f, "CKR.."},            // "CKRE.." would be 42
        {"CKREUZ", 21.0f, "C.."},
        {"CKREUZ", 20.9f, ""},                 // not one letter and the dots
        {"", 0.0f, ""},
        {"Gr\xC3\xBC\xC3\x9F" "e", 35.0f, "Gr.."},  // "Gr" and half a "u" would fit: the half stays out
    };
    for (const Case& c : cases) EXPECT_EQ(fitLabel(c.text, c.width, sevenPerByte), c.shown) << c.text << " in " << c.width;
}
