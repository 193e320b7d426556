// blur.h: "CBLUR" and "CBLURV", the glowing coil.
//
// A sparse coil of small quads (a tube of radius 1 wound twenty times at radius 2 around the
// z axis), lit, spun about its axis and laid over with its radial blur (see radial_blur.h).
// CBlur draws into the whole window, CBlurV into its upper-right quarter; both size the glow
// from the whole window.
//
//   CBlur blur;  blur.Setup(640, 480);  blur.DrawFrame(elapsed);   // elapsed is not used
//
// The spin advances three degrees per drawn frame; nothing is read from the data file.
#pragma once

#include "effects/blur/radial_blur.h"

// The coil: P = ((cos a + 2) cos b, (cos a + 2) sin b, sin a + b - 6.284), a = u, b = v in
// radians; 3 x 56 = 168 quads of 30° x 30°.
extern const SParametricSurface kCoilSurface;

class CBlur : public CRadialBlur {
public:
    CBlur();
    ~CBlur() override = default;

protected:
    void EmitSurface(LONG elapsed, const PatchFn& emit) override;
};

class CBlurV : public CRadialBlur {
public:
    CBlurV();
    ~CBlurV() override = default;

protected:
    void EmitSurface(LONG elapsed, const PatchFn& emit) override;
};
