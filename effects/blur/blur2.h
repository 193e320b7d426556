// blur2.h: "CBLUR2" and "CBLUR2V", the glowing second surface.
//
// The surface P = (cos a sin b, sin a cos b, cos a tan b) x 5, sampled every 60° over twenty
// turns of v: each of its 42 patch positions is drawn about twenty times, each copy shifted a
// little by the inexact half turn 3.142, and blended over the ones before. Lit, spun about
// (0, 1, 1) and laid over with its radial blur (see radial_blur.h). CBlur2 draws into the whole
// window, CBlur2V into its lower-left quarter; both size the glow from the whole window.
//
//   CBlur2 blur;  blur.Setup(640, 480);  blur.DrawFrame(elapsed);   // elapsed is not used
//
// The spin advances two degrees per drawn frame; nothing is read from the data file.
#pragma once

#include "effects/blur/radial_blur.h"

// 7 x 121 = 847 quads with corners (u, v), (u, v + 10), (u - 10, v + 10), (u - 10, v).
extern const SParametricSurface kSecondSurface;

class CBlur2 : public CRadialBlur {
public:
    CBlur2();
    ~CBlur2() override = default;

protected:
    void EmitSurface(LONG elapsed, const PatchFn& emit) override;
};

class CBlur2V : public CRadialBlur {
public:
    CBlur2V();
    ~CBlur2V() override = default;

protected:
    void EmitSurface(LONG elapsed, const PatchFn& emit) override;
};
