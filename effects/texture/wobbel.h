// wobbel.h: "CWOBBEL", the jelly texture wobbling over the whole screen.
//
// "jelly.jpg" is laid over the screen as a 10 x 10 vertex grid whose texture coordinates
// shake every frame by small sines and cosines with fixed per-vertex phases. The grid is
// drawn in grey 0.3 with the inverting additive blend (GL_ONE_MINUS_DST_COLOR, GL_ONE):
// dark parts of the picture brighten, bright ones barely change.
//
//   CWobbel jelly;  jelly.Setup(w, h);  jelly.UploadTextures();  jelly.DrawFrame(t);
//
// DrawTexturedGrid is the reusable part: any rows x columns array of (s, t) pairs becomes
// textured quads between two corners of the z = 0 plane.
//
// Not here: a projection. The grid's x and y map straight onto clip coordinates (mirrored
// in x), so the +-1.25 grid overfills the viewport; it is drawn under whatever modelview
// matrix is current when the frame begins.
#pragma once

#include "demogl/demogl.h"

#include <memory>

// Draws (rows - 1) x (columns - 1) GL_QUADS from corner (x0, y0) to corner (x1, y1) at z = 0.
// coordinates: rows x columns (s, t) pairs, row-major (entry (r, c) at pair r * columns + c).
// Each quad runs (i, j), (i, j + 1), (i + 1, j + 1), (i + 1, j). Needs rows, columns >= 2.
void DrawTexturedGrid(const float* coordinates, int columns, int rows, float x0, float y0,
                      float x1, float y1);

class CWobbel : public CEffect {
public:
    static constexpr int kGridSize = 10;  // vertices per row and per column

    ~CWobbel() override = default;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;

    // Rewrites every grid coordinate from the elapsed time alone.
    void FillGridCoordinates(LONG elapsed);

    // Read by tests.
    int width;         // render size in pixels
    int height;
    unsigned texture;  // handle of "jelly.jpg", 0 when it failed to load
    // kGridSize x kGridSize (s, t) pairs, row-major; allocated by Setup, null when that failed
    // (the effect then draws nothing).
    std::unique_ptr<float[]> gridCoordinates;

protected:
    // The one allocation; null when the heap is exhausted (tests override it to fail).
    virtual float* AllocateGridCoordinates();
};
