#include "effects/texture/splash.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cassert>
#include <cmath>

namespace {

const char kTextureName[] = "qv01.jpg";

constexpr uint32_t kRandomMultiplier = 214013u;
constexpr uint32_t kRandomIncrement = 2531011u;
constexpr int kRandomShift = 16;
constexpr uint32_t kRandomMask = 0x7FFFu;

constexpr float kTimeDivisor = 500000.0f;  // ms per unit of time step
constexpr float kDepthOffset = -25.0f;
constexpr int kSpinWrap = 360;             // the spin counter counts frames modulo 360
constexpr float kSpinDivisor = 5.0f;       // degrees per square = spin counter / 5

// A fresh spark: decay from the generator, three further draws discarded, thrown from here.
constexpr int kDecaySpread = 100;          // decay = (r mod 100) / 1000 + 0.003
constexpr float kDecayScale = 1000.0f;
constexpr float kMinimumDecay = 0.003f;
constexpr int kDiscardedDraws = 3;
constexpr float kStartPosition[3] = {0.0f, 0.0f, -40.0f};
constexpr float kLeftAcceleration[3] = {-1000.0f, -10.0f, -10.0f};
constexpr float kRightAcceleration[3] = {1000.0f, 10.0f, 10.0f};

constexpr float kHalfSize = 5.0f;          // each spark is a 10 x 10 square

constexpr double kFovDegrees = 45.0;
constexpr double kNear = 0.1;
constexpr double kFar = 200.0;
// Only the sign of this axis' z matters: GL normalises it (period about 12.7 minutes).
constexpr double kAxisScale = 0.000001;
constexpr double kAxisPeriodMs = 121515.0;

}  // namespace

int CSplashRandom::Next() {
    state = state * kRandomMultiplier + kRandomIncrement;
    return int((state >> kRandomShift) & kRandomMask);
}

void CSplash::ResetSpark(SSpark& spark, const float acceleration[3]) {
    spark.active = true;
    spark.life = 1.0f;
    spark.decay = float(random.Next() % kDecaySpread) / kDecayScale + kMinimumDecay;
    for (int k = 0; k < kDiscardedDraws; ++k) random.Next();
    for (int axis = 0; axis < 3; ++axis) {
        spark.velocity[axis] = 0.0f;
        spark.acceleration[axis] = acceleration[axis];
        spark.position[axis] = kStartPosition[axis];
    }
}

void CSplash::ResetFirstSpark() {
    assert(currentSlot < kSlotCount && "ResetFirstSpark is called from the slot loops only");
    ResetSpark(slots[currentSlot][0], kLeftAcceleration);
}

void CSplash::ResetSecondSpark() {
    assert(currentSlot < kSlotCount && "ResetSecondSpark is called from the slot loops only");
    ResetSpark(slots[currentSlot][1], kRightAcceleration);
}

int CSplash::Setup(int width, int height) {
    timeDivisor = kTimeDivisor;
    depthOffset = kDepthOffset;
    spinCounter = 0;
    for (currentSlot = 0; currentSlot < kSlotCount; ++currentSlot) {
        ResetFirstSpark();
        ResetSecondSpark();
    }
    this->width = width;
    this->height = height;
    texture = DEMOGL_TextureLoad(kTextureName, 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR,
                                 false, false, 0, GL_RGB5_A1, 2);
    return 0;
}

void CSplash::UploadTextures() {
    DEMOGL_TextureUpload(texture);
    lastTime = 0;
}

void CSplash::ReleaseTextures() { DEMOGL_TextureUnUpload(texture); }

// The time step is left out: every frame measures it afresh from the last time.
void CSplash::KeepState(CStateArchive& state) { state(spinCounter, currentSlot, lastTime, slots, random); }

// Leaves: viewport = full, projection = 45° perspective, matrix mode GL_MODELVIEW,
// perspective-correction and point-smooth hints GL_NICEST, smooth shading, the logo texture
// bound, colour white. The model-view is the one found when the frame began in GL_MODELVIEW,
// else the sparks' accumulated turns (the next layer draws under them).
void CSplash::DrawFrame(LONG elapsed) {
    glPushAttrib(GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);

    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);

    // The matrix is saved on the stack that is current on entry and restored from the
    // model-view stack: only when those are the same stack do the two pair up. In any other
    // mode (STRAHLEN leaves GL_PROJECTION) neither happens, so no stack over- or underflows
    // and the model-view keeps the turns, as the layers after this one expect.
    GLint entryMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &entryMode);
    const bool saveModelView = entryMode == GL_MODELVIEW;
    if (saveModelView) glPushMatrix();
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(kFovDegrees, double(width) / double(height), kNear, kFar);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();

        DrawSparks(elapsed);
    if (saveModelView) glPopMatrix();

    glPopAttrib();
}

void CSplash::DrawSparks(LONG elapsed) {
    spinCounter = (spinCounter + 1) % kSpinWrap;
    // The 32-bit difference wraps instead of overflowing.
    timeStep = float(int32_t(uint32_t(elapsed) - uint32_t(lastTime))) / timeDivisor;
    lastTime = elapsed;

    // Loaded once: each square's rotation adds to all those before it in the frame.
    glLoadIdentity();
    const float axisZ = float(kAxisScale * std::sin(elapsed / kAxisPeriodMs));
    for (int pass = 0; pass < 2; ++pass) {
        for (currentSlot = 0; currentSlot < kSlotCount; ++currentSlot) {
            SSpark& spark = slots[currentSlot][pass];
            if (!spark.active) continue;

            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            glRotatef(float(spinCounter) / kSpinDivisor, 0.0f, 0.0f, axisZ);

            const float x = spark.position[0];
            const float y = spark.position[1];
            const float z = spark.position[2] + depthOffset;
            glBegin(GL_QUADS);
            glNormal3f(0.0f, 0.0f, 1.0f);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(x - kHalfSize, y - kHalfSize, z);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(x + kHalfSize, y - kHalfSize, z);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(x + kHalfSize, y + kHalfSize, z);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(x - kHalfSize, y + kHalfSize, z);
            glEnd();

            for (int axis = 0; axis < 3; ++axis) spark.position[axis] += timeStep * spark.velocity[axis];
            for (int axis = 0; axis < 3; ++axis) spark.velocity[axis] += spark.acceleration[axis];
            spark.life -= spark.decay;

            // A life of exactly 0 is drawn once more; only below 0 is the spark thrown again.
            if (slots[currentSlot][0].life < 0.0f) ResetFirstSpark();
            if (slots[currentSlot][1].life < 0.0f) ResetSecondSpark();
        }
    }
}
