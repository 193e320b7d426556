// easyone.h: "EASYONE", a row of 299 textured cubes receding into fog.
//
// The cube ("voxe.jpg" on every face) is compiled into a display list at every
// UploadTextures; each frame calls it 299 times along a line that drifts back and forth
// (period about 314 s), under a 45° perspective turned 15° about the vertical axis whose
// aspect ratio swings with sin(t / 800): the picture stretches, collapses at the zero
// crossings and is mirrored left to right while the sine is negative.
//
//   CEasyOne row;  row.Setup(w, h);  row.UploadTextures();  row.DrawFrame(t);
//
// Not here: a fog colour (the current one is used) or any per-frame state; every frame
// depends on the elapsed time alone.
#pragma once

#include "demogl/demogl.h"

// The perspective's aspect ratio at `elapsed` ms: sin(t / 800) times width / height.
// Exactly 0 at t = 0, negative (a mirrored picture) for t in (800π, 1600π).
double CubeRowAspect(LONG elapsed, int width, int height);
// How far the whole row has drifted along z at `elapsed` ms: 500 sin(t / 50000).
double CubeRowDrift(LONG elapsed);
// The z of cube i (1 ... 299) for a drift d: 2.8 i - 508.6 + d.
float CubeRowZ(int i, double drift);

class CEasyOne : public CEffect {
public:
    ~CEasyOne() override = default;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;

    // Draws the row under the current projection; loads the modelview matrix per cube.
    void DrawCubeRow(LONG elapsed);

    // The display-list name compiled by the latest UploadTextures (0 before the first).
    static unsigned CubeList();

    // Read by tests.
    int width;         // render size in pixels
    int height;
    unsigned texture;  // handle of "voxe.jpg", 0 when it failed to load
};
