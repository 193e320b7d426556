// polygon.h: "CPOLYGON", a lit icosahedron, solid and wireframe, tumbling and swinging.
//
// A unit icosahedron is drawn twice per frame, lit by GL_LIGHT7 (white specular) and added
// translucently onto the picture (GL_ONE_MINUS_SRC_ALPHA, GL_ONE, lit alpha 0.5): a solid
// core at 1.5 p and a wireframe at p on the same line of sight, where p swings with the
// elapsed time (IcosahedronCentre). Both tumble about x, y and z by one degree per frame;
// KeepState keeps the three angles.
//
//   CPolygon ico;  ico.Setup(w, h);  ico.DrawFrame(t);
//
// Not here: textures (the texture operations are empty) or fog (only its parameters are
// set; GL_FOG keeps whatever state the previous layer gave it).
#pragma once

#include "demogl/demogl.h"

// The wireframe's centre at `elapsed` ms: (sin(t/500), sin(t/500), 15 sin(t/1000) - 12).
// While sin(t/1000) > 0.86 both copies lie wholly behind the near plane.
void IcosahedronCentre(LONG elapsed, float centre[3]);

class CPolygon : public CEffect, public CEffectState {
public:
    ~CPolygon() override = default;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;
    void KeepState(CStateArchive& state) override;

    // Advances the three angles by one degree and draws both copies.
    void DrawIcosahedron(LONG elapsed);

    // Read by tests.
    int width;   // render size in pixels
    int height;
    int angleX;  // degrees, 0 ... 359; the three always step together
    int angleY;
    int angleZ;
};
