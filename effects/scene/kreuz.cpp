#include "effects/scene/kreuz.h"

#include "effects/scene/scene_model.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>

namespace {

constexpr char kModelFile[] = "block.ms3d";

constexpr double kFieldOfView = 90.0;   // degrees, vertical
constexpr double kNearPlane = 1.0;      // model units
constexpr double kFarPlane = 1000.0;
constexpr float kFogDensity = 0.004f;   // per model unit, GL_EXP
constexpr float kFogStart = 0.0f;       // unused by GL_EXP, set all the same
constexpr float kFogEnd = 1000.0f;

constexpr int kAngleSteps = 70;         // the turn runs 0..69 degrees
constexpr double kMsPerSecond = 1000.0;
constexpr float kDrop = -55.0f;         // model units below the eye
constexpr double kSwayAmplitude = 150.0;  // model units
constexpr double kSwayCentre = -260.0;    // eye-space z: swings between -410 and -110

}  // namespace

CKreuzScene::~CKreuzScene() {
    delete model;
}

int CKreuzScene::Setup(int width, int height) {
    delete model;  // a second Setup replaces the model instead of leaking it
    model = CreateSceneModel(kModelFile, &modelLoaded);
    if (!modelLoaded) return 0;
    this->width = width;
    this->height = height;
    angle = 0;
    timeOrigin = -1;
    return 0;
}

// A model that failed to load has no textures to upload: nothing is requested.
void CKreuzScene::UploadTextures() {
    if (modelLoaded) UploadSceneModelTextures(model);
}

void CKreuzScene::ReleaseTextures() {
    if (modelLoaded) ReleaseSceneModelTextures(model);
}

void CKreuzScene::KeepState(CStateArchive& state) { state(angle, timeOrigin); }

// Leaves: viewport = whole window (CKreuzV: upper-left quarter), projection = 90° perspective,
// matrix mode GL_MODELVIEW with the model's transform, GL_SMOOTH, both hints, fog parameters set.
void CKreuzScene::DrawFrame(LONG elapsed) {
    // A model that failed to load draws nothing and leaves the GL state alone.
    if (!modelLoaded) return;

    const GLboolean light0 = glIsEnabled(GL_LIGHT0);
    glPushAttrib(kSceneSavedAttributes);
    SetSceneDefaults();

    if (viewport_ == Viewport::kWholeWindow)
        glViewport(0, 0, width, height);
    else
        glViewport(0, height / 2, width / 2, height / 2);

    // The whole window's ratio, also in the quarter.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, double(width) / double(height), kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // GL_LIGHT0 shines with whatever parameters are current; the model brings the materials.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    // The fog colour is left as it is (black unless someone set it).
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, kFogDensity);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
    glEnable(GL_FOG);

    DrawScene(elapsed);
    glPopAttrib();
    RestoreLight0(light0);
}

void CKreuzScene::DrawScene(LONG elapsed) {
    // The 32-bit difference wraps as on the original machine instead of overflowing.
    const int32_t sinceOrigin = int32_t(uint32_t(elapsed) - uint32_t(timeOrigin));
    const float t = float(sinceOrigin / kMsPerSecond);  // seconds
    angle = (angle + 1) % kAngleSteps;
    const double s = std::sin(double(t));
    const float z = float(kSwayAmplitude * s + kSwayCentre);

    glLoadIdentity();
    glTranslatef(0.0f, kDrop, z);
    // GL normalises the axis: only the sign of s matters, flipping the sense of the turn.
    glRotatef(float(angle), 0.0f, float(s), 0.0f);
    model->Draw();
}
