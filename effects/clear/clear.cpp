#include "effects/clear/clear.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

namespace {

constexpr float kFadeStep = 0.01f;          // grey level change per frame
constexpr float kTrailAlpha = 0.1f;         // each trail frame darkens the picture by 10 %
constexpr double kTrailFovDegrees = 45.0;
constexpr double kTrailNear = 0.1;
constexpr double kTrailFar = 200.0;
constexpr float kTrailQuadHalfSize = 2.0f;  // at z = -1 under 45°, wider than any viewport
constexpr float kTrailQuadZ = -1.0f;
constexpr float kFadeClearAlpha = 0.5f;
constexpr float kLetterboxBottom = 0.1f;    // fraction of the height below the band
constexpr float kLetterboxHeight = 0.8f;    // fraction of the height inside the band

}  // namespace

int CClear::Setup(int width, int height) {
    this->width = width;
    this->height = height;
    method = kBlack;
    scissor = false;
    return 0;
}

void CClear::UploadTextures() {}
void CClear::ReleaseTextures() {}

void CClear::ReceiveInt(char* name, int value, LONG) {
    if (std::strcmp(name, "METHOD") == 0) {
        method = value;
        if (value == kFadeUp) level = 0.0f;
        if (value == kFadeDown) level = 1.0f;
    } else if (std::strcmp(name, "SCISSOR") == 0) {
        scissor = value == 1;
    }
}

// A fade ends by switching the method to black, so the method is frame state as well as the
// script's.
void CClear::KeepState(CStateArchive& state) { state(method, level, scissor); }

bool CClear::ClearsWholePicture() const {
    const bool fading = (method == kFadeUp && level < 1.0f) || (method == kFadeDown && level > 0.0f);
    if (method != kBlack && (!fading || glIsEnabled(GL_SCISSOR_TEST))) return false;
    GLboolean colour[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    GLboolean depth = GL_FALSE;
    glGetBooleanv(GL_COLOR_WRITEMASK, colour);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth);
    return colour[0] && colour[1] && colour[2] && colour[3] && depth;
}

// Leaves: scissor test as the method and letterbox left it (on until a black clear);
// after trails: blend off with SRC_ALPHA/ONE_MINUS_SRC_ALPHA, full viewport, 45° projection,
// identity model-view, matrix mode GL_MODELVIEW, colour (0, 0, 0, 0.1).
void CClear::DrawFrame(LONG) {
    glClearDepth(1.0);
    switch (method) {
    case kBlack:
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        break;
    case kTrails:
        DrawTrailQuad();
        break;
    case kFadeUp:
        if (level < 1.0f) {
            glClearColor(level, level, level, kFadeClearAlpha);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            level = level + kFadeStep;  // stored in single precision: 101 frames from 0.0
        } else {
            method = kBlack;
        }
        break;
    case kFadeDown:
        if (level > 0.0f) {
            glClearColor(level, level, level, kFadeClearAlpha);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            level = level - kFadeStep;
        } else {
            method = kBlack;
        }
        break;
    default:
        break;
    }

    if (scissor) {
        // Both products truncate toward zero: height 480 gives the band (0, 48, width, 384).
        const int bandY = int(height * kLetterboxBottom);
        const int bandHeight = int(height * kLetterboxHeight);
        glScissor(0, bandY, width, bandHeight);
        glEnable(GL_SCISSOR_TEST);
    }
}

// A translucent black quad over the whole viewport: no buffer is cleared.
void CClear::DrawTrailQuad() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kTrailFovDegrees, double(width) / double(height), kTrailNear, kTrailFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(0.0f, 0.0f, 0.0f, kTrailAlpha);
    glBegin(GL_QUADS);
    glVertex3f(-kTrailQuadHalfSize, -kTrailQuadHalfSize, kTrailQuadZ);
    glVertex3f(kTrailQuadHalfSize, -kTrailQuadHalfSize, kTrailQuadZ);
    glVertex3f(kTrailQuadHalfSize, kTrailQuadHalfSize, kTrailQuadZ);
    glVertex3f(-kTrailQuadHalfSize, kTrailQuadHalfSize, kTrailQuadZ);
    glEnd();
    glDisable(GL_BLEND);
}
