#include "effects/blur/blur2.h"

#include <cmath>

namespace {

constexpr float kSurfaceScale = 5.0f;       // r of the point function
constexpr float kStepDegrees = 60.0f;
constexpr float kPatchDu = -10.0f;          // degrees
constexpr float kPatchDv = 10.0f;

// v never reaches 90° modulo 180° (multiples of 60, and those plus 10), so tan stays finite.
void secondSurfacePoint(float u, float v, float* out) {
    const double a = BlurRadians(u);
    const double b = BlurRadians(v);
    out[0] = float(std::cos(a) * std::sin(b) * kSurfaceScale);
    out[1] = float(std::sin(a) * std::cos(b) * kSurfaceScale);
    out[2] = float(std::cos(a) * std::tan(b) * kSurfaceScale);
}

constexpr SBlurValues secondSurfaceValues(BlurViewport viewport) {
    return {
        viewport,
        0.1, 200.0,                   // near, far
        0.0f,                         // capture clear alpha
        false, {0.0f, 0.0f, 0.0f},    // no translation
        -45.0f, {0.0f, 1.0f, 0.0f},   // tilt
        {0.0f, 1.0f, 1.0f},           // spin axis
        {1.0f, 1.0f, 1.0f, 0.2f},     // ambient and diffuse
        {0.4f, 0.4f, 0.4f, 0.3f},     // specular
        20.0f, 0.02f, 1.0f, 5.0,      // layers, step, start alpha, divisor
        false,                        // the blur layers do not spin
    };
}

constexpr SBlurValues kSecondWhole = secondSurfaceValues(BlurViewport::kWhole);
constexpr SBlurValues kSecondLowerLeft = secondSurfaceValues(BlurViewport::kLowerLeftQuarter);

}  // namespace

const SParametricSurface kSecondSurface = {secondSurfacePoint, kStepDegrees, kPatchDu, kPatchDv};

CBlur2::CBlur2() : CRadialBlur(kSecondWhole) {}

void CBlur2::EmitSurface(LONG, const PatchFn& emit) {
    EmitParametricPatches(kSecondSurface, corners, emit);
}

CBlur2V::CBlur2V() : CRadialBlur(kSecondLowerLeft) {}

void CBlur2V::EmitSurface(LONG, const PatchFn& emit) {
    EmitParametricPatches(kSecondSurface, corners, emit);
}
