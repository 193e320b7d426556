// radial_blur.h: the pipeline shared by the radial-blur feedback effects
// (CBLUR, CBLURV, CBLUR2, CBLUR2V, CLAND).
//
// Every frame a lit, translucent surface of small separated quads is drawn small into the
// 128x128 lower-left corner of the frame, copied from there into a luminance texture (the
// blur texture), the frame is cleared, the surface is drawn at full size, and the texture is
// laid over it as stacked additive layers, each showing a smaller central square of the
// texture upside down: a glow smeared outward from the centre of the screen.
//
//   class CBlur : public CRadialBlur {            // an effect gives its values and its surface
//   public:
//       CBlur() : CRadialBlur(kCoilWhole) {}
//   protected:
//       void EmitSurface(LONG, const PatchFn& emit) override { EmitParametricPatches(kCoil, corners, emit); }
//   };
//
// The surface generators are pure: they hand each quad (corners and normal) to a callback,
// so tests can count and read them while DrawSurface sends them to GL.
//
// Not here: data-file textures, script parameters, time-based spin. `angle` advances once per
// surface drawing (and, where the values say so, once in the blur layers), so the spin follows
// the frame rate; KeepState keeps it. The blur texture is made on the first frame, reused by
// every later one (each capture redefines its whole image, so it holds no state between
// frames; the picture the capture draws over is the host's) and never deleted: the GL
// context may be gone when the effect is destroyed.
#pragma once

#include "demogl/demogl.h"

#include <functional>

// Side of the square blur texture and of the frame corner it is copied from, in pixels.
constexpr int kBlurTextureSize = 128;

// Which part of the window the effect draws into (halves truncate toward zero).
enum class BlurViewport {
    kWhole,              // (0, 0, width, height)
    kUpperRightQuarter,  // (width/2, height/2, width/2, height/2)
    kLowerLeftQuarter,   // (0, 0, width/2, height/2)
};

// Everything in which the members of the family differ, apart from the surface's formula.
struct SBlurValues {
    BlurViewport viewport;
    double nearPlane;          // gluPerspective clip planes, world units
    double farPlane;
    float captureClearAlpha;   // alpha of the clear that follows the capture
    bool translate;            // whether `translation` is applied before the turns
    float translation[3];      // world units
    float tiltDegrees;         // fixed turn after the translation
    float tiltAxis[3];
    float spinAxis[3];         // axis of the turn by `angle`
    float ambientDiffuse[4];   // surface material, RGBA
    float specular[4];
    float blurLayers;          // number of additive layers
    float blurStep;            // texture-square inset added per layer
    float blurStartAlpha;      // alpha of the first (whole-texture) layer
    double blurDivisor;        // layer half-size = window size in pixels / divisor, world units
    bool spinInBlur;           // the blur layers advance `angle` once more
};

// Receives one quad: its corners 1-4 in drawing order and the unit normal of corners 1-3.
using PatchFn = std::function<void(const float (&corners)[4][3], const float (&normal)[3])>;

// A parametric surface P(u, v) sampled on a grid of degrees: u runs 0, step, ... while u <= 360,
// v runs 0, step, ... while v <= 7200 (twenty turns); each grid point gives the quad
// P(u, v), P(u, v + dv), P(u + du, v + dv), P(u + du, v).
struct SParametricSurface {
    void (*point)(float u, float v, float* out);  // u, v in degrees; writes x, y, z
    float step;                                    // degrees
    float du;
    float dv;
};

// One blur layer: the quad's colour alpha, and its corners as texture coordinates and as
// vertices in the plane z = 0 (world units), in drawing order.
struct SBlurLayer {
    float alpha;
    float texCoords[4][2];
    double vertices[4][2];
};
using BlurLayerFn = std::function<void(const SBlurLayer&)>;

// Degrees to radians with the deliberately inexact half turn 3.142.
double BlurRadians(float degrees);

// Creates the 128x128 four-component blur texture (all zero, linear filtering) and returns its
// name, left bound to GL_TEXTURE_2D.
unsigned MakeBlurTexture();

// Scales v to unit length in place and returns it; a zero vector stays zero.
float* NormalizeVector(float* v);

// Writes the unit normal (c1 - c2) x (c2 - c3) to out and returns out; (0, 0, 0) for collinear corners.
float* PatchNormal(const float* c1, const float* c2, const float* c3, float* out);

// Generates every quad of a parametric surface, using `corners` as working storage.
void EmitParametricPatches(const SParametricSurface& surface, float (&corners)[4][3], const PatchFn& emit);

// Generates the blur layers: layer k shows the texture square [s, 1 - s] with s = k * step
// (a running float sum), upside down, over (-halfWidth, -halfHeight)..(halfWidth, halfHeight),
// alpha falling from startAlpha by startAlpha / layers per layer.
void ForEachBlurLayer(float layers, float step, float startAlpha, double halfWidth,
                      double halfHeight, const BlurLayerFn& emit);

class CRadialBlur : public CEffect, public CEffectState {
public:
    explicit CRadialBlur(const SBlurValues& values) : values(values) {}
    ~CRadialBlur() override = default;

    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;
    void KeepState(CStateArchive& state) override;

    // The steps of a frame; DrawFrame calls them in order (public so tests can drive them).
    // Advances `angle` and draws the surface under the gluLookAt view it leaves current.
    void DrawSurface(LONG elapsed);
    // Draws the surface into the 128x128 corner, copies it into the blur texture, clears the frame.
    void CaptureToTexture();
    // Lays the blur texture over the frame as additive layers.
    void CompositeBlur(float layers, float step);
    // Sets the effect's viewport (whole window or its quarter).
    void ApplyViewport() const;

    int width = 0;             // render size given to Setup, in pixels
    int height = 0;
    int angle = 0;             // spin of the surface in whole degrees, 0-359
    float corners[4][3] = {};  // the quad being emitted; meaningful only during one surface drawing
    unsigned blurTexture = 0;  // GL name of the blur texture; 0 until the first frame

    const SBlurValues& values;

protected:
    // Generates the surface's quads for one drawing (elapsed in ms, used only by time-driven surfaces).
    virtual void EmitSurface(LONG elapsed, const PatchFn& emit) = 0;
};
