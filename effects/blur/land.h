// land.h: "CLAND", the breathing cone ring with a faint glow.
//
// A cone-shaped ring of 19 x 19 small patches (axis upright, centre 35 units in front of the
// eye), spun about its axis, whose corners swing toward and away from the axis with sine and
// cosine of the elapsed time; laid over with a radial blur of 10 layers starting at alpha 0.2
// (see radial_blur.h). The glow is captured at elapsed 0, so it shows one fixed deformation
// that only spins; the sharp surface follows the elapsed time.
//
//   CLand land;  land.Setup(640, 480);  land.DrawFrame(elapsed);   // elapsed in ms
//
// The spin advances two degrees per drawn frame; nothing is read from the data file. KeepState
// keeps the spin and the time offset.
#pragma once

#include "effects/blur/radial_blur.h"

// t = (elapsed - timeOffset) / 10000: the difference wraps in 32 bits, the quotient is a float.
float LandTime(LONG elapsed, LONG timeOffset);

// The 361 patches at time t: corners B(u, v), B(u, v + 10), B(u + 10, v + 10), B(u + 10, v) with
// B(a, b) = ((cos a + 2) cos b, (cos a + 2) sin b, cos a) x 5, their x and y scaled by
// sin(t), cos(10 t), sin(10 t) and cos(10 t) respectively.
void EmitLandPatches(float t, float (&corners)[4][3], const PatchFn& emit);

class CLand : public CRadialBlur {
public:
    CLand();
    ~CLand() override = default;

    int Setup(int width, int height) override;
    void KeepState(CStateArchive& state) override;

    LONG timeOffset = 0;  // ms subtracted from the elapsed time before it drives the surface

protected:
    void EmitSurface(LONG elapsed, const PatchFn& emit) override;
};
