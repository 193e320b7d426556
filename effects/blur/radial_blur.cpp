#include "effects/blur/radial_blur.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <vector>

namespace {

constexpr float kHalfTurnRadians = 3.142f;  // deliberately not pi: the drift is part of the look
constexpr double kDegreesPerHalfTurn = 180.0;
constexpr int kDegreesPerTurn = 360;
constexpr float kLastU = 360.0f;            // degrees, inclusive
constexpr int kLastV = 20 * 360;            // twenty turns, inclusive

constexpr int kTextureComponents = 4;       // the first image is RGBA bytes; captures make it luminance

constexpr double kFieldOfViewDegrees = 50.0;
constexpr double kEyeDistance = 50.0;       // world units from the origin along +z

// Lighting, set under the model-view matrix in force when the frame begins.
constexpr float kLightModelAmbient[4] = {0.2f, 0.2f, 0.2f, 0.2f};
constexpr float kLightPosition[4] = {0.0f, 5.0f, 10.0f, 0.2f};  // w != 0: a positional light
constexpr float kLightAmbient[4] = {0.2f, 0.2f, 0.2f, 0.2f};
constexpr float kLightDiffuse[4] = {0.3f, 0.3f, 0.3f, 0.2f};
constexpr float kLightSpecular[4] = {0.8f, 0.8f, 0.8f, 0.2f};
constexpr int kShininess = 0;

// The capture pass draws the surface at this elapsed time (only CLAND's surface reads it).
constexpr LONG kCaptureElapsed = 0;

double aspectRatio(int width, int height) {
    // A non-positive height would make the projection NaN; the host never passes one.
    return height > 0 ? double(width) / double(height) : 1.0;
}

}  // namespace

double BlurRadians(float degrees) {
    return double(degrees) / kDegreesPerHalfTurn * double(kHalfTurnRadians);
}

unsigned MakeBlurTexture() {
    const std::vector<unsigned char> zeros(kBlurTextureSize * kBlurTextureSize * kTextureComponents, 0);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, kTextureComponents, kBlurTextureSize, kBlurTextureSize, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, zeros.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

float* NormalizeVector(float* v) {
    double length = std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
    if (length == 0.0) length = 1.0;
    v[0] = float(v[0] / length);
    v[1] = float(v[1] / length);
    v[2] = float(v[2] / length);
    return v;
}

float* PatchNormal(const float* c1, const float* c2, const float* c3, float* out) {
    const float a[3] = {c1[0] - c2[0], c1[1] - c2[1], c1[2] - c2[2]};
    const float b[3] = {c2[0] - c3[0], c2[1] - c3[1], c2[2] - c3[2]};
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
    return NormalizeVector(out);
}

void EmitParametricPatches(const SParametricSurface& surface, float (&corners)[4][3], const PatchFn& emit) {
    for (float u = 0.0f; u <= kLastU; u += surface.step) {
        for (float v = 0.0f; v <= kLastV; v += surface.step) {
            surface.point(u, v, corners[0]);
            surface.point(u, v + surface.dv, corners[1]);
            surface.point(u + surface.du, v + surface.dv, corners[2]);
            surface.point(u + surface.du, v, corners[3]);
            float normal[3];
            PatchNormal(corners[0], corners[1], corners[2], normal);
            emit(corners, normal);
        }
    }
}

void ForEachBlurLayer(float layers, float step, float startAlpha, double halfWidth,
                      double halfHeight, const BlurLayerFn& emit) {
    float s = 0.0f;
    float alpha = startAlpha;
    const float decrement = alpha / layers;
    for (int k = 0; k < layers; ++k) {
        const SBlurLayer layer = {
            alpha,
            {{s, 1.0f - s}, {s, s}, {1.0f - s, s}, {1.0f - s, 1.0f - s}},
            {{-halfWidth, -halfHeight}, {-halfWidth, halfHeight}, {halfWidth, halfHeight}, {halfWidth, -halfHeight}},
        };
        emit(layer);
        s += step;
        alpha -= decrement;
    }
}

int CRadialBlur::Setup(int width, int height) {
    this->width = width;
    this->height = height;
    angle = 0;
    ApplyViewport();
    return 0;
}

void CRadialBlur::UploadTextures() {}
void CRadialBlur::ReleaseTextures() {}

// `corners` is working storage, rewritten before every read.
void CRadialBlur::KeepState(CStateArchive& state) { state(angle); }

void CRadialBlur::ApplyViewport() const {
    switch (values.viewport) {
    case BlurViewport::kWhole:
        glViewport(0, 0, width, height);
        break;
    case BlurViewport::kUpperRightQuarter:
        glViewport(width / 2, height / 2, width / 2, height / 2);
        break;
    case BlurViewport::kLowerLeftQuarter:
        glViewport(0, 0, width / 2, height / 2);
        break;
    }
}

// Leaves: effect's viewport, 50° perspective, matrix mode GL_MODELVIEW = eye view, light 7,
// light-model ambient and material set, smooth shading, no texture bound, colour white with
// the last layer's alpha.
void CRadialBlur::DrawFrame(LONG elapsed) {
    if (blurTexture == 0) blurTexture = MakeBlurTexture();
    // Mesa 22 restores GL_LIGHTi enables only when GL_LIGHTING_BIT is pushed too, so light 7's
    // enable is put back by hand after the pop, as GL_ENABLE_BIT promises.
    const GLboolean light7WasEnabled = glIsEnabled(GL_LIGHT7);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewDegrees, aspectRatio(width, height), values.nearPlane, values.farPlane);
    ApplyViewport();

    // The light is placed under the model-view matrix the previous layer left.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kLightModelAmbient);
        glLightfv(GL_LIGHT7, GL_POSITION, kLightPosition);
        glLightfv(GL_LIGHT7, GL_AMBIENT, kLightAmbient);
        glLightfv(GL_LIGHT7, GL_DIFFUSE, kLightDiffuse);
        glLightfv(GL_LIGHT7, GL_SPECULAR, kLightSpecular);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT7);
        glShadeModel(GL_SMOOTH);
        glMateriali(GL_FRONT, GL_SHININESS, kShininess);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    glPopMatrix();

    glBindTexture(GL_TEXTURE_2D, blurTexture);
    glLoadIdentity();
    CaptureToTexture();
    DrawSurface(elapsed);
    CompositeBlur(values.blurLayers, values.blurStep);

    glPopAttrib();
    if (!light7WasEnabled) glDisable(GL_LIGHT7);
}

void CRadialBlur::DrawSurface(LONG elapsed) {
    angle = (angle + 1) % kDegreesPerTurn;
    glLoadIdentity();
    gluLookAt(0.0, 0.0, kEyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glPushMatrix();
        if (values.translate) {
            glTranslatef(values.translation[0], values.translation[1], values.translation[2]);
        }
        glRotatef(values.tiltDegrees, values.tiltAxis[0], values.tiltAxis[1], values.tiltAxis[2]);
        glRotatef(float(angle), values.spinAxis[0], values.spinAxis[1], values.spinAxis[2]);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, values.ambientDiffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, values.specular);
        glBegin(GL_QUADS);
        EmitSurface(elapsed, [](const float (&quad)[4][3], const float (&normal)[3]) {
            glNormal3f(normal[0], normal[1], normal[2]);
            glVertex3f(quad[0][0], quad[0][1], quad[0][2]);
            glVertex3f(quad[1][0], quad[1][1], quad[1][2]);
            glVertex3f(quad[2][0], quad[2][1], quad[2][2]);
            glVertex3f(quad[3][0], quad[3][1], quad[3][2]);
        });
        glEnd();
    glPopMatrix();
}

void CRadialBlur::CaptureToTexture() {
    glViewport(0, 0, kBlurTextureSize, kBlurTextureSize);
    DrawSurface(kCaptureElapsed);
    glBindTexture(GL_TEXTURE_2D, blurTexture);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, 0, 0, kBlurTextureSize, kBlurTextureSize, 0);
    // The whole window, unless a scissor rectangle is in force.
    glClearColor(0.0f, 0.0f, 0.0f, values.captureClearAlpha);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyViewport();
}

// Drawn in the frame's projection and view, in the plane z = 0, with lighting still enabled.
void CRadialBlur::CompositeBlur(float layers, float step) {
    if (values.spinInBlur) angle = (angle + 1) % kDegreesPerTurn;
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, blurTexture);

    // The full stored size, also in the quarter-window variants.
    const double halfWidth = double(width) / values.blurDivisor;
    const double halfHeight = double(height) / values.blurDivisor;
    glBegin(GL_QUADS);
    ForEachBlurLayer(layers, step, values.blurStartAlpha, halfWidth, halfHeight, [](const SBlurLayer& layer) {
        glColor4f(1.0f, 1.0f, 1.0f, layer.alpha);
        for (int corner = 0; corner < 4; ++corner) {
            glTexCoord2f(layer.texCoords[corner][0], layer.texCoords[corner][1]);
            glVertex2d(layer.vertices[corner][0], layer.vertices[corner][1]);
        }
    });
    glEnd();

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
}
