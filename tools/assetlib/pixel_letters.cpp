#include "tools/assetlib/pixel_letters.h"

#include <cassert>

namespace assets {

namespace {

// Sides in counter-clockwise order: right, top, left, bottom.
constexpr int kSides = 4;
constexpr int kOutwardX[kSides] = {1, 0, -1, 0};
constexpr int kOutwardY[kSides] = {0, 1, 0, -1};
// The neighbouring cell across each side; rows count downwards.
constexpr int kNeighbourCol[kSides] = {1, 0, -1, 0};
constexpr int kNeighbourRow[kSides] = {0, -1, 0, 1};

Point3 add(Point3 a, Point3 b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Point3 atDepth(Point3 a, float z) { return {a[0], a[1], z}; }

struct Rect {
    int col0, col1, row0, row1;  // inclusive cell ranges
};

// Horizontal runs of lit cells, each joined with the identical runs in the rows below it.
std::vector<Rect> runRectangles(const PixelGrid& grid) {
    std::vector<Rect> done, open;
    for (int row = 0; row < grid.rows(); ++row) {
        std::vector<Rect> next;
        for (int col = 0; col < grid.columns(); ++col) {
            if (!grid.lit(col, row)) continue;
            const int start = col;
            while (grid.lit(col + 1, row)) ++col;
            Rect run{start, col, row, row};
            for (auto it = open.begin(); it != open.end(); ++it) {
                if (it->col0 == run.col0 && it->col1 == run.col1) {
                    run.row0 = it->row0;
                    open.erase(it);
                    break;
                }
            }
            next.push_back(run);
        }
        done.insert(done.end(), open.begin(), open.end());
        open = next;
    }
    done.insert(done.end(), open.begin(), open.end());
    return done;
}

class Builder {
public:
    Builder(const PixelGrid& grid, const LetterPlacement& place) : grid_(grid), place_(place) {}

    std::vector<LetterFace> build() {
        assert(place_.bevel > 0 && 2 * place_.bevel < place_.pixel && "a bevel fits in half a cell");
        assert((!place_.closed || place_.depth > place_.bevel) && "a closed letter is deeper than its bevel");
        const std::vector<Rect> rects = runRectangles(grid_);
        for (const Rect& r : rects) rectangle(r, 0.0f, {0, 0, 1}, &front_);
        for (int side = 0; side < kSides; ++side) outlineRuns(side);
        if (place_.closed)
            for (const Rect& r : rects) rectangle(r, -place_.depth, {0, 0, -1}, &back_);
        std::vector<LetterFace> faces = std::move(front_);
        for (auto* part : {&chamfers_, &walls_, &back_}) faces.insert(faces.end(), part->begin(), part->end());
        return faces;
    }

private:
    float x(int col) const { return place_.left + float(col) * place_.pixel; }
    float y(int row) const { return place_.top - float(row) * place_.pixel; }  // top edge of `row`

    bool open(int col, int row, int side) const {
        return !grid_.lit(col + kNeighbourCol[side], row + kNeighbourRow[side]);
    }

    void rectangle(const Rect& r, float z, Point3 outward, std::vector<LetterFace>* out) const {
        const float x0 = x(r.col0), x1 = x(r.col1 + 1), y0 = y(r.row1 + 1), y1 = y(r.row0);
        out->push_back({{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}, outward});
    }

    // Every maximal run of lit cells whose `side` faces an unlit cell, walked along the edge.
    void outlineRuns(int side) {
        const bool horizontal = side == 1 || side == 3;
        const int lines = horizontal ? grid_.rows() : grid_.columns();
        const int steps = horizontal ? grid_.columns() : grid_.rows();
        for (int line = 0; line < lines; ++line) {
            for (int step = 0; step < steps; ++step) {
                auto cell = [&](int s) { return horizontal ? std::array<int, 2>{s, line} : std::array<int, 2>{line, s}; };
                auto edge = [&](int s) {
                    const auto c = cell(s);
                    return grid_.lit(c[0], c[1]) && open(c[0], c[1], side);
                };
                if (!edge(step)) continue;
                const int first = step;
                while (step + 1 < steps && edge(step + 1)) ++step;
                outlineRun(side, cell(first), cell(step));
            }
        }
    }

    // `first` and `last` are the run's end cells, first with the smaller column or row.
    void outlineRun(int side, std::array<int, 2> first, std::array<int, 2> last) {
        // The edge's ends a -> b counter-clockwise around the letter, and the cell at b.
        Point3 a, b;
        std::array<int, 2> cornerCell;
        switch (side) {
            case 0:  // right: upwards, so b is at the top row
                a = {x(first[0] + 1), y(last[1] + 1), 0};
                b = {x(first[0] + 1), y(first[1]), 0};
                cornerCell = first;
                break;
            case 1:  // top: leftwards
                a = {x(last[0] + 1), y(first[1]), 0};
                b = {x(first[0]), y(first[1]), 0};
                cornerCell = first;
                break;
            case 2:  // left: downwards
                a = {x(first[0]), y(first[1]), 0};
                b = {x(first[0]), y(last[1] + 1), 0};
                cornerCell = last;
                break;
            default:  // bottom: rightwards
                a = {x(first[0]), y(first[1] + 1), 0};
                b = {x(last[0] + 1), y(first[1] + 1), 0};
                cornerCell = last;
                break;
        }
        const float bevel = place_.bevel, back = -place_.depth;
        const Point3 out{bevel * float(kOutwardX[side]), bevel * float(kOutwardY[side]), -bevel};
        const Point3 a1 = add(a, out), b1 = add(b, out);
        chamfers_.push_back({{a, b, b1, a1}, {float(kOutwardX[side]), float(kOutwardY[side]), 1}});
        if (place_.closed)
            walls_.push_back({{a1, b1, atDepth(b1, back), atDepth(a1, back)},
                              {float(kOutwardX[side]), float(kOutwardY[side]), 0}});
        const int next = (side + 1) % kSides;
        if (!open(cornerCell[0], cornerCell[1], next)) return;
        const Point3 c1 = add(b, {bevel * float(kOutwardX[next]), bevel * float(kOutwardY[next]), -bevel});
        const float ox = float(kOutwardX[side] + kOutwardX[next]), oy = float(kOutwardY[side] + kOutwardY[next]);
        chamfers_.push_back({{b, b1, c1}, {ox, oy, 1}});
        if (place_.closed) walls_.push_back({{b1, c1, atDepth(c1, back), atDepth(b1, back)}, {ox, oy, 0}});
    }

    const PixelGrid& grid_;
    const LetterPlacement place_;
    std::vector<LetterFace> front_, chamfers_, walls_, back_;
};

}  // namespace

std::vector<LetterFace> letterFaces(const PixelGrid& grid, const LetterPlacement& place) {
    return Builder(grid, place).build();
}

}  // namespace assets
