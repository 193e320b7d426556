#include "effects/blur/land.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr LONG kTimeOffsetMs = 1000;     // t = 0 one second into the elapsed count
constexpr double kMsPerTimeUnit = 10000.0;
constexpr float kLandScale = 5.0f;       // r of the base point
constexpr float kRingOffset = 2.0f;      // radial distance runs from 1 r to 3 r
constexpr float kLandStepDegrees = 20.0f;
constexpr float kLandPatchDegrees = 10.0f;
constexpr float kLastU = 360.0f;         // degrees, inclusive
constexpr double kLastV = 360 * 1.0;     // one turn, inclusive, compared in floating point
constexpr double kSlowRate = 1.0;        // per unit of t: corner 1
constexpr double kFastRate = 10.0;       // per unit of t: corners 2-4

constexpr SBlurValues kLandValues = {
    BlurViewport::kWhole,
    5.0, 2000.0,                  // near, far
    0.0f,                         // capture clear alpha
    true, {0.0f, 0.0f, 15.0f},    // translation before the turns
    90.0f, {1.0f, 0.0f, 0.0f},    // stands the ring's axis upright
    {0.0f, 0.0f, 1.0f},           // spin axis
    {0.3f, 0.3f, 0.3f, 0.2f},     // ambient and diffuse
    {0.6f, 0.6f, 0.6f, 0.4f},     // specular
    10.0f, 0.02f, 0.2f, 10.0,     // layers, step, start alpha, divisor
    false,                        // the blur layers do not spin
};

// The base point B(u, v) with x and y scaled by factor; z is not scaled.
void landPoint(float u, float v, double factor, float* out) {
    const double a = BlurRadians(u);
    const double b = BlurRadians(v);
    const double radial = (std::cos(a) + kRingOffset) * kLandScale;
    out[0] = float(radial * std::cos(b) * factor);
    out[1] = float(radial * std::sin(b) * factor);
    out[2] = float(std::cos(a) * kLandScale);
}

}  // namespace

float LandTime(LONG elapsed, LONG timeOffset) {
    // Wraps like the 32-bit subtraction it stands for, without signed overflow.
    const LONG difference = LONG(uint32_t(elapsed) - uint32_t(timeOffset));
    return float(difference / kMsPerTimeUnit);
}

void EmitLandPatches(float t, float (&corners)[4][3], const PatchFn& emit) {
    const double factors[4] = {
        std::sin(t * kSlowRate),
        std::cos(t * kFastRate),
        std::sin(t * kFastRate),
        std::cos(t * kFastRate),
    };
    for (float u = 0.0f; u <= kLastU; u += kLandStepDegrees) {
        for (float v = 0.0f; v <= kLastV; v += kLandStepDegrees) {
            landPoint(u, v, factors[0], corners[0]);
            landPoint(u, v + kLandPatchDegrees, factors[1], corners[1]);
            landPoint(u + kLandPatchDegrees, v + kLandPatchDegrees, factors[2], corners[2]);
            landPoint(u + kLandPatchDegrees, v, factors[3], corners[3]);
            float normal[3];
            PatchNormal(corners[0], corners[1], corners[2], normal);
            emit(corners, normal);
        }
    }
}

CLand::CLand() : CRadialBlur(kLandValues) {}

int CLand::Setup(int width, int height) {
    timeOffset = kTimeOffsetMs;
    return CRadialBlur::Setup(width, height);
}

void CLand::KeepState(CStateArchive& state) {
    CRadialBlur::KeepState(state);
    state(timeOffset);
}

void CLand::EmitSurface(LONG elapsed, const PatchFn& emit) {
    EmitLandPatches(LandTime(elapsed, timeOffset), corners, emit);
}
