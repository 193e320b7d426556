// pixel_letters.h: solid, bevelled pixel letters as few flat faces, for the text models.
//
//   assets::PixelGrid grid(columns, rows);  grid.set(col, row);       // row 0 is the top row
//   for (const assets::LetterFace& f : assets::letterFaces(grid, {left, top, pixel, bevel, depth}))
//       mesh.polygon(f.corners, f.outward);                           // convex, either winding
//
// The lit cells become one extruded piece: a flat front at z = 0, one rectangle per run of
// cells (horizontal runs, joined with identical runs in the rows below). Along the outline,
// every run of cell sides that face an unlit cell gets one 45° chamfer (from the front edge
// out by `bevel` and back by `bevel`), and each convex corner a chamfer triangle. A closed
// piece also gets a wall from the chamfer down to z = -depth along every run (a diagonal one
// at convex corners) and a back of rectangles at z = -depth. An open one is a relief seen from
// the front: its walls, lit edge-on by a light from the viewer, and its back, always behind
// the front, show next to nothing, and they cost more triangles than the rest together.
// Nothing is emitted between two lit cells, so no face lies inside the letter.
// Faces come front first, then chamfers, walls and back, so that with depth testing the
// nearest surfaces are drawn first and hide the rest. Not here: textures, normals per corner,
// rounding of concave corners (their chamfers simply cross).
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace assets {

using Point3 = std::array<float, 3>;

class PixelGrid {
public:
    PixelGrid(int columns, int rows) : columns_(columns), rows_(rows), cells_(size_t(columns * rows), 0) {}
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    // Cells outside the grid are unlit.
    bool lit(int col, int row) const {
        return col >= 0 && row >= 0 && col < columns_ && row < rows_ && cells_[size_t(row * columns_ + col)];
    }
    void set(int col, int row) { cells_[size_t(row * columns_ + col)] = 1; }

private:
    int columns_, rows_;
    std::vector<unsigned char> cells_;
};

// Where the grid stands, in model units.
struct LetterPlacement {
    float left;    // x of the grid's left edge
    float top;     // y of the grid's top edge
    float pixel;   // edge of one cell
    float bevel;   // chamfer width, less than half a cell
    float depth;   // extrusion along -z; more than the bevel
    bool closed;   // with walls and back; false = the front and the chamfers only
};

struct LetterFace {
    std::vector<Point3> corners;  // a convex polygon, 3 or 4 corners
    Point3 outward;               // the direction the face looks to (not normalised)
};

std::vector<LetterFace> letterFaces(const PixelGrid& grid, const LetterPlacement& place);

}  // namespace assets
