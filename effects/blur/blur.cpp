#include "effects/blur/blur.h"

#include <cmath>

namespace {

constexpr float kCoilRadius = 1.0f;        // scale r of the point function
constexpr float kCoilBaseHeight = 6.284f;  // 2 x 3.142: the coil starts one turn below z = 0
constexpr float kCoilRingOffset = 2.0f;    // the tube's centre line winds at radius 2 r
constexpr float kCoilStepDegrees = 130.0f;
constexpr float kCoilPatchDegrees = 30.0f; // corner offsets du = dv

void coilPoint(float u, float v, float* out) {
    const double a = BlurRadians(u);
    const double b = BlurRadians(v);
    out[0] = float((std::cos(a) + kCoilRingOffset) * std::cos(b) * kCoilRadius);
    out[1] = float((std::cos(a) + kCoilRingOffset) * std::sin(b) * kCoilRadius);
    out[2] = float((std::sin(a) + b - kCoilBaseHeight) * kCoilRadius);
}

constexpr SBlurValues coilValues(BlurViewport viewport) {
    return {
        viewport,
        5.0, 2000.0,                  // near, far
        0.5f,                         // capture clear alpha
        true, {25.0f, 0.0f, 0.0f},    // translation before the turns
        -45.0f, {0.0f, 1.0f, 0.0f},   // tilt
        {0.0f, 0.0f, 1.0f},           // spin axis
        {0.7f, 0.7f, 0.7f, 0.2f},     // ambient and diffuse
        {1.0f, 1.0f, 1.0f, 0.3f},     // specular
        20.0f, 0.02f, 1.0f, 10.0,     // layers, step, start alpha, divisor
        true,                         // the blur layers spin too
    };
}

constexpr SBlurValues kCoilWhole = coilValues(BlurViewport::kWhole);
constexpr SBlurValues kCoilUpperRight = coilValues(BlurViewport::kUpperRightQuarter);

}  // namespace

const SParametricSurface kCoilSurface = {coilPoint, kCoilStepDegrees, kCoilPatchDegrees, kCoilPatchDegrees};

CBlur::CBlur() : CRadialBlur(kCoilWhole) {}

void CBlur::EmitSurface(LONG, const PatchFn& emit) {
    EmitParametricPatches(kCoilSurface, corners, emit);
}

CBlurV::CBlurV() : CRadialBlur(kCoilUpperRight) {}

void CBlurV::EmitSurface(LONG, const PatchFn& emit) {
    EmitParametricPatches(kCoilSurface, corners, emit);
}
