#include "effects/texture/wobbel.h"

#include <GL/gl.h>

#include <cassert>

#include <cmath>
#include <new>

namespace {

const char kTextureName[] = "jelly.jpg";

constexpr int kGridPairs = CWobbel::kGridSize * CWobbel::kGridSize;

// The projection: mirrored in x by a half turn about y, shifted so that grid point (x, y)
// lands at (0.1 - x, y) in normalised device coordinates, on the far plane. The half turn
// is written out: glRotatef(180) in single precision leaves sin(180°) at about -9e-8, which
// tilts the grid just behind the far plane on one side and clips that half away.
constexpr GLfloat kHalfTurnAboutY[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
constexpr float kShiftX = -0.1f;
constexpr float kShiftZ = -1.0f;

constexpr float kGridGrey = 0.3f;
constexpr float kGridHalfExtent = 1.25f;  // the grid spans -1.25 ... 1.25 in x and y

// Texture coordinates: base steps per column (s) and per row (t), running single-precision sums.
constexpr float kStepS = -0.12f;
constexpr float kStepT = -0.1f;
// Wobble: amplitudes in texture units (single precision) and per-vertex phase steps (double).
constexpr float kWobbleS = -0.12f / 15.0f;  // -0.008
constexpr float kWobbleT = -0.1f / 15.0f;
constexpr double kPhaseSColumn = 10.52;
constexpr double kPhaseSRow = 10.423;
constexpr double kPhaseTColumn = 10.32;
constexpr double kPhaseTRow = 10.323;
constexpr float kPhaseRateMs = 100.0f;    // the phase c grows by 10 per second

}  // namespace

void DrawTexturedGrid(const float* coordinates, int columns, int rows, float x0, float y0,
                      float x1, float y1) {
    assert(coordinates && columns >= 2 && rows >= 2 && "DrawTexturedGrid needs a grid of at least 2x2 points");
    const float dx = (x1 - x0) / float(columns - 1);
    const float dy = (y1 - y0) / float(rows - 1);
    auto corner = [&](int row, int column, float x, float y) {
        const float* st = coordinates + 2 * (row * columns + column);
        glTexCoord2f(st[0], st[1]);
        glVertex2f(x, y);
    };

    glBegin(GL_QUADS);
    float y = y0;
    for (int i = 0; i < rows - 1; ++i) {
        float x = x0;
        for (int j = 0; j < columns - 1; ++j) {
            corner(i, j, x, y);
            corner(i, j + 1, x + dx, y);
            corner(i + 1, j + 1, x + dx, y + dy);
            corner(i + 1, j, x, y + dy);
            x += dx;
        }
        y += dy;
    }
    glEnd();
}

float* CWobbel::AllocateGridCoordinates() { return new (std::nothrow) float[2 * kGridPairs]; }

int CWobbel::Setup(int width, int height) {
    this->width = width;
    this->height = height;
    texture = DEMOGL_TextureLoad(kTextureName, 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR,
                                 false, false, 0, GL_RGB5_A1, 2);
    if (!gridCoordinates) gridCoordinates.reset(AllocateGridCoordinates());
    return texture == 0 || !gridCoordinates ? 1 : 0;
}

void CWobbel::UploadTextures() { UploadTexture(texture); }

void CWobbel::ReleaseTextures() { UnUploadTexture(texture); }

void CWobbel::FillGridCoordinates(LONG elapsed) {
    const float c = float(elapsed) / kPhaseRateMs;
    float* st = gridCoordinates.get();
    float baseT = 0.0f;
    for (int i = 0; i < kGridSize; ++i) {
        float baseS = 0.0f;
        for (int j = 0; j < kGridSize; ++j) {
            const double phaseS = c + kPhaseSColumn * j + kPhaseSRow * i;
            const double phaseT = c + kPhaseTColumn * j + kPhaseTRow * i;
            st[0] = float(baseS + kWobbleS * std::sin(phaseS));
            st[1] = float(baseT + kWobbleT * std::cos(phaseT));
            st += 2;
            baseS += kStepS;
        }
        baseT += kStepT;
    }
}

// Leaves: viewport = full, matrix mode GL_MODELVIEW with the identity, colour (0.3, 0.3, 0.3),
// the jelly texture bound; the projection matrix is restored.
void CWobbel::DrawFrame(LONG elapsed) {
    if (!gridCoordinates) return;  // Setup could not allocate: nothing to draw

    glPushAttrib(GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);

    // The matrix mode stays GL_PROJECTION while drawing; the modelview is the caller's.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        glMultMatrixf(kHalfTurnAboutY);
        glTranslatef(kShiftX, 0.0f, kShiftZ);

        glColor3f(kGridGrey, kGridGrey, kGridGrey);
        glEnable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glViewport(0, 0, width, height);

        FillGridCoordinates(elapsed);
        glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ONE);
        DrawTexturedGrid(gridCoordinates.get(), kGridSize, kGridSize, kGridHalfExtent,
                         kGridHalfExtent, -kGridHalfExtent, -kGridHalfExtent);
    glPopMatrix();

    glDisable(GL_BLEND);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glPopAttrib();
}
