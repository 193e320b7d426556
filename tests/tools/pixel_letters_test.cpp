// letterFaces: the front covers exactly the lit cells, every outline side is bevelled once,
// nothing lies between two lit cells, and runs of cells become single faces.
#include "tools/assetlib/font.h"
#include "tools/assetlib/pixel_letters.h"
#include "tests/tools/face_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using assets::LetterFace;
using assets::LetterPlacement;
using assets::PixelGrid;

namespace {

constexpr float kPixel = 0.5f;  // model units, exact in binary so cell edges compare exactly
constexpr float kLeft = -3.0f, kTop = 2.0f;
constexpr LetterPlacement kClosed{kLeft, kTop, kPixel, 0.125f, 0.75f, true};
constexpr LetterPlacement kRelief{kLeft, kTop, kPixel, 0.125f, 0.0f, false};

PixelGrid grid(const std::vector<std::string>& rows) {
    PixelGrid g(int(rows[0].size()), int(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            if (rows[r][c] == '#') g.set(int(c), int(r));
    return g;
}

// The glyph of the shared font with a blank border, so every outline side is open.
PixelGrid glyphGrid(char c) {
    const unsigned char* rows = assets::glyph(c);
    PixelGrid g(assets::kGlyphWidth + 2, assets::kGlyphHeight + 2);
    for (int r = 0; r < assets::kGlyphHeight; ++r)
        for (int col = 0; col < assets::kGlyphWidth; ++col)
            if (rows[r] & (0x10 >> col)) g.set(col + 1, r + 1);
    return g;
}

// A deterministic scatter of cells, dense enough for holes, diagonals and long runs.
PixelGrid noiseGrid(uint32_t seed, int columns, int rows) {
    PixelGrid g(columns, rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            seed = seed * 1664525u + 1013904223u;
            if ((seed >> 28) < 9) g.set(c, r);
        }
    return g;
}

bool facing(const LetterFace& f, float x, float y, float z) {
    return f.outward[0] == x && f.outward[1] == y && f.outward[2] == z;
}

bool inside(const LetterFace& rect, float x, float y) {
    float x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    for (const auto& p : rect.corners) {
        x0 = std::min(x0, p[0]), x1 = std::max(x1, p[0]);
        y0 = std::min(y0, p[1]), y1 = std::max(y1, p[1]);
    }
    return x > x0 && x < x1 && y > y0 && y < y1;
}

std::vector<glimmerq::testing::Facet> facets(const std::vector<LetterFace>& faces) {
    std::vector<glimmerq::testing::Facet> out;
    for (const auto& f : faces) {
        const float length = std::sqrt(f.outward[0] * f.outward[0] + f.outward[1] * f.outward[1] +
                                       f.outward[2] * f.outward[2]);
        const std::array<float, 3> n{f.outward[0] / length, f.outward[1] / length, f.outward[2] / length};
        for (size_t i = 1; i + 1 < f.corners.size(); ++i) out.push_back({{f.corners[0], f.corners[i], f.corners[i + 1]}, n});
    }
    return out;
}

// Runs every check on one grid; `what` names it in failures.
void checkLetter(const PixelGrid& g, const LetterPlacement& place, const std::string& what) {
    const std::vector<LetterFace> faces = assets::letterFaces(g, place);
    std::vector<LetterFace> fronts, backs, chamfers;
    int walls = 0;
    for (const auto& f : faces) {
        if (facing(f, 0, 0, 1)) fronts.push_back(f);
        else if (facing(f, 0, 0, -1)) backs.push_back(f);
        else if (f.outward[2] > 0) chamfers.push_back(f);
        else ++walls;
    }
    EXPECT_EQ(place.closed, !backs.empty() || fronts.empty()) << what;
    EXPECT_EQ(place.closed, walls > 0 || fronts.empty()) << what << ": " << walls << " walls";

    // Every cell centre lies in exactly one front rectangle when lit, in none when unlit; the
    // back, when there is one, mirrors the front.
    for (int r = 0; r < g.rows(); ++r) {
        for (int c = 0; c < g.columns(); ++c) {
            const float x = kLeft + (float(c) + 0.5f) * kPixel, y = kTop - (float(r) + 0.5f) * kPixel;
            int front = 0, back = 0;
            for (const auto& f : fronts) front += inside(f, x, y);
            for (const auto& f : backs) back += inside(f, x, y);
            ASSERT_EQ(front, g.lit(c, r) ? 1 : 0) << what << ": cell " << c << ", " << r;
            if (place.closed) {
                ASSERT_EQ(back, front) << what << ": cell " << c << ", " << r;
            }
        }
    }
    for (const auto& f : fronts)
        for (const auto& p : f.corners) ASSERT_EQ(p[2], 0.0f) << what << ": a front off the letter plane";

    // Each open side of a lit cell lies on the front edge of exactly one chamfer, and no
    // chamfer edge lies between two lit cells.
    for (int r = 0; r < g.rows(); ++r) {
        for (int c = 0; c < g.columns(); ++c) {
            if (!g.lit(c, r)) continue;
            const int dc[4] = {1, 0, -1, 0}, dr[4] = {0, -1, 0, 1};
            for (int side = 0; side < 4; ++side) {
                const float mx = kLeft + (float(c) + 0.5f + 0.5f * float(dc[side])) * kPixel;
                const float my = kTop - (float(r) + 0.5f + 0.5f * float(dr[side])) * kPixel;
                int onEdge = 0;
                for (const auto& f : chamfers) {
                    if (f.outward[0] != float(dc[side]) || f.outward[1] != float(-dr[side])) continue;
                    for (size_t i = 0; i < f.corners.size(); ++i) {
                        const auto& p = f.corners[i];
                        const auto& q = f.corners[(i + 1) % f.corners.size()];
                        if (p[2] != 0 || q[2] != 0) continue;
                        const bool alongX = p[1] == q[1] && p[1] == my && std::min(p[0], q[0]) < mx && mx < std::max(p[0], q[0]);
                        const bool alongY = p[0] == q[0] && p[0] == mx && std::min(p[1], q[1]) < my && my < std::max(p[1], q[1]);
                        onEdge += alongX || alongY;
                    }
                }
                const bool open = !g.lit(c + dc[side], r + dr[side]);
                ASSERT_EQ(onEdge, open ? 1 : 0) << what << ": cell " << c << ", " << r << " side " << side;
            }
        }
    }
    const auto pair = glimmerq::testing::findBackToBack(facets(faces));
    EXPECT_EQ(pair.first, -1) << what << ": triangles " << pair.first << " and " << pair.second
                              << " lie back to back";
}

}  // namespace

TEST(PixelLettersTest, EveryGlyphIsCoveredExactlyAndBevelledOnlyAlongItsOutline) {
    for (char c = '!'; c <= '~'; ++c) {
        if (!assets::glyph(c)) continue;
        checkLetter(glyphGrid(c), kClosed, std::string("closed '") + c + "'");
        checkLetter(glyphGrid(c), kRelief, std::string("relief '") + c + "'");
    }
}

TEST(PixelLettersTest, ScatteredCellsAndCellsAtTheGridBorderAreCoveredExactly) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const PixelGrid g = noiseGrid(seed, 17, 9);
        checkLetter(g, kClosed, "closed noise " + std::to_string(seed));
        checkLetter(g, kRelief, "relief noise " + std::to_string(seed));
    }
    checkLetter(grid({"#"}), kClosed, "one cell filling the grid");
}

TEST(PixelLettersTest, ABlockOfCellsOfAnySizeIsOneBevelledBox) {
    // Front, back, four chamfers, four walls, four corner triangles and four corner walls.
    constexpr size_t kBoxFaces = 18;
    for (const auto& rows : std::vector<std::vector<std::string>>{{"#"}, {"#####"}, {"###", "###", "###"}}) {
        EXPECT_EQ(assets::letterFaces(grid(rows), kClosed).size(), kBoxFaces) << rows.size() << " rows";
        EXPECT_EQ(assets::letterFaces(grid(rows), kRelief).size(), kBoxFaces - 9) << rows.size() << " rows";
    }
    // An L: the foot's run and the stem are two rectangles; six outline runs, five convex corners.
    const auto l = assets::letterFaces(grid({"#..", "#..", "###"}), kRelief);
    EXPECT_EQ(l.size(), 2u + 6u + 5u);
    EXPECT_TRUE(assets::letterFaces(grid({"...", "..."}), kClosed).empty());
}

TEST(PixelLettersTest, FrontsComeFirstAndBacksLast) {
    const auto faces = assets::letterFaces(glyphGrid('B'), kClosed);
    size_t i = 0;
    while (i < faces.size() && facing(faces[i], 0, 0, 1)) ++i;
    EXPECT_GT(i, 0u);
    while (i < faces.size() && faces[i].outward[2] > 0) ++i;
    while (i < faces.size() && faces[i].outward[2] == 0) ++i;
    EXPECT_GT(i, 0u);
    while (i < faces.size() && facing(faces[i], 0, 0, -1)) ++i;
    EXPECT_EQ(i, faces.size()) << "face " << i << " is out of order";
}

TEST(PixelLettersTest, BackToBackFacesAreFound) {
    // The check itself: two coplanar squares facing apart overlap; side by side they do not.
    using glimmerq::testing::Facet;
    const Facet up{{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}}, {0, 0, 1}};
    const Facet down{{{{0.2f, 0.2f, 0}, {0.2f, 0.6f, 0}, {0.6f, 0.2f, 0}}}, {0, 0, -1}};
    const Facet beside{{{{1, 0, 0}, {2, 0, 0}, {1, 1, 0}}}, {0, 0, -1}};
    const Facet below{{{{0.2f, 0.2f, -0.1f}, {0.2f, 0.6f, -0.1f}, {0.6f, 0.2f, -0.1f}}}, {0, 0, -1}};
    EXPECT_EQ(glimmerq::testing::findBackToBack({up, down}).first, 0);
    EXPECT_EQ(glimmerq::testing::findBackToBack({up, beside}).first, -1);
    EXPECT_EQ(glimmerq::testing::findBackToBack({up, below}).first, -1);
}
