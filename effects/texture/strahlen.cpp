#include "effects/texture/strahlen.h"

#include <GL/gl.h>

#include <cmath>

namespace {

const char kTextureName[] = "rock_sw.jpg";

constexpr float kWallGrey = 0.7f;
constexpr double kSlidePeriodMs = 11515.0;  // sin^2(t / 11515): period π · 11515 ms
constexpr double kSlideDistance = 300.0;    // along +z, towards the viewer

// One corner of a wall: texture coordinate, then vertex.
struct SShaftCorner {
    float s, t;
    float x, y, z;
};

constexpr float kHalf = 4.0f;      // half the shaft's width: 8 units wide and high
constexpr float kNearZ = 4.0f;     // the near cap, just behind a viewer at the origin
constexpr float kFarZ = -1400.0f;  // the open far end

// Walls top, bottom, right, left and the near cap, each corner as (s, t) then (x, y, z).
// The texture runs once along each wall's whole depth; the far end is open.
constexpr SShaftCorner kShaft[5][4] = {
    {{0, 1, -kHalf, kHalf, kFarZ}, {0, 0, -kHalf, kHalf, kNearZ},
     {1, 0, kHalf, kHalf, kNearZ}, {1, 1, kHalf, kHalf, kFarZ}},
    {{0, 1, kHalf, -kHalf, kFarZ}, {0, 0, kHalf, -kHalf, kNearZ},
     {1, 0, -kHalf, -kHalf, kNearZ}, {1, 1, -kHalf, -kHalf, kFarZ}},
    {{1, 1, kHalf, kHalf, kNearZ}, {0, 1, kHalf, kHalf, kFarZ},
     {0, 0, kHalf, -kHalf, kFarZ}, {1, 0, kHalf, -kHalf, kNearZ}},
    {{0, 0, -kHalf, -kHalf, kFarZ}, {1, 0, -kHalf, -kHalf, kNearZ},
     {1, 1, -kHalf, kHalf, kNearZ}, {0, 1, -kHalf, kHalf, kFarZ}},
    {{1, 1, -kHalf, kHalf, kNearZ}, {0, 1, kHalf, kHalf, kNearZ},
     {0, 0, kHalf, -kHalf, kNearZ}, {1, 0, -kHalf, -kHalf, kNearZ}},
};

}  // namespace

float ShaftDepth(LONG elapsed) {
    // The first sine is stored in single precision before the second multiplies it.
    const float sine = float(std::sin(elapsed / kSlidePeriodMs));
    return float(sine * std::sin(elapsed / kSlidePeriodMs) * kSlideDistance);
}

int CStrahlen::Setup(int width, int height) {
    this->width = width;
    this->height = height;
    texture = DEMOGL_TextureLoad(kTextureName, 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR,
                                 false, false, 0, GL_RGB5_A1, 2);
    return texture == 0 ? 1 : 0;
}

void CStrahlen::UploadTextures() { DEMOGL_TextureUpload(texture); }

void CStrahlen::ReleaseTextures() { DEMOGL_TextureUnUpload(texture); }

// Leaves: matrix mode GL_PROJECTION (the projection itself restored), modelview = the shaft's
// translation, GL_MODULATE texture environment, the rock texture bound, colour 0.7 grey.
void CStrahlen::DrawFrame(LONG elapsed) {
    glPushAttrib(GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    // The projection is the previous layer's; the push only guards it.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        DrawShaft(elapsed);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();

    glPopAttrib();
}

void CStrahlen::DrawShaft(LONG elapsed) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, ShaftDepth(elapsed));

    glBegin(GL_QUADS);
    glColor4f(kWallGrey, kWallGrey, kWallGrey, 1.0f);
    for (const auto& face : kShaft) {
        for (const SShaftCorner& c : face) {
            glTexCoord2f(c.s, c.t);
            glVertex3f(c.x, c.y, c.z);
        }
    }
    glEnd();
}
