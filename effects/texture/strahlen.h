// strahlen.h: "STRAHLEN", a textured square shaft added over the picture.
//
// A shaft 8 units wide and 1404 deep around the viewing axis, walls covered once along
// their whole length with "rock_sw.jpg" in grey 0.7, added onto what is on screen
// (GL_SRC_ALPHA, GL_ONE) without depth testing. It slides towards the viewer and back:
// z = 300 sin^2(t / 11515), a period of about 36.2 s.
//
//   CStrahlen shaft;  shaft.Setup(w, h);  shaft.UploadTextures();  shaft.DrawFrame(t);
//
// Not here: a viewport or projection. It is an overlay drawn under whatever projection and
// viewport the layer before it left (under a perspective the walls converge on the centre).
#pragma once

#include "demogl/demogl.h"

// How far the shaft has slid towards the viewer at `elapsed` ms: 0 ... 300 along +z.
float ShaftDepth(LONG elapsed);

class CStrahlen : public CEffect {
public:
    ~CStrahlen() override = default;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;

    // Loads the modelview matrix (the shaft's translation) and draws the five quads.
    void DrawShaft(LONG elapsed);

    // Read by tests.
    int width;         // render size in pixels (kept, not used for drawing)
    int height;
    unsigned texture;  // handle of "rock_sw.jpg", 0 when it failed to load
};
