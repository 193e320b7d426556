#include "effects/scene/tunnel.h"

#include "effects/scene/scene_model.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr char kModelFile[] = "tunnel.ms3d";

constexpr double kFieldOfView = 45.0;      // degrees, vertical
constexpr double kNearPlane = 1.0;         // model units
constexpr double kFarPlane = 1000.0;
constexpr double kAspectPeriodScale = 800.0;  // ms per radian of the aspect's sine (~5.03 s period)
constexpr float kFogDensity = 0.05f;       // per model unit, GL_EXP: gone beyond ~60 units
constexpr float kFogStart = 0.0f;          // unused by GL_EXP, set all the same
constexpr float kFogEnd = 1.0f;

constexpr int kAngleSteps = 360;           // the spin runs 0..359 degrees
constexpr float kPositionX = 51.0f;        // eye space, model units
constexpr float kPositionY = 0.0f;
constexpr float kPositionZ = -200.0f;
constexpr float kYaw = -15.0f;             // degrees about +y

}  // namespace

CTunnelScene::~CTunnelScene() {
    delete model;
}

int CTunnelScene::Setup(int width, int height) {
    delete model;  // a second Setup replaces the model instead of leaking it
    model = CreateSceneModel(kModelFile, &modelLoaded);
    if (!modelLoaded) return 0;
    this->width = width;
    this->height = height;
    angle = 0;
    return 0;
}

// A model that failed to load has no textures to upload: nothing is requested.
void CTunnelScene::UploadTextures() {
    if (modelLoaded) UploadSceneModelTextures(model);
}

void CTunnelScene::ReleaseTextures() {
    if (modelLoaded) ReleaseSceneModelTextures(model);
}

void CTunnelScene::KeepState(CStateArchive& state) { state(angle); }

// Leaves: viewport = whole window (CTunnelV: lower-right quarter), projection = 45° perspective
// with the breathing aspect, matrix mode GL_MODELVIEW = identity (the model's transform is
// popped), GL_SMOOTH, both hints, fog parameters set.
void CTunnelScene::DrawFrame(LONG elapsed) {
    // A model that failed to load draws nothing and leaves the GL state alone.
    if (!modelLoaded) return;

    const GLboolean light0 = glIsEnabled(GL_LIGHT0);
    glPushAttrib(kSceneSavedAttributes);
    SetSceneDefaults();

    if (viewport_ == Viewport::kWholeWindow)
        glViewport(0, 0, width, height);
    else
        glViewport(width / 2, 0, width / 2, height / 2);

    // The whole window's ratio, also in the quarter, breathing with the time. An aspect of
    // exactly 0 makes gluPerspective leave the identity in place.
    const float ratio = float(double(width) / double(height));
    const double aspect = std::sin(elapsed / kAspectPeriodScale) * ratio;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // Unlit: every vertex takes the current colour, modulated by the texture as the current
    // texture environment says.
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);

    // The fog colour is left as it is (black unless someone set it).
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, kFogDensity);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
    glEnable(GL_FOG);

    glPushMatrix();
        DrawScene(elapsed);
    glPopMatrix();
    glPopAttrib();
    RestoreLight0(light0);
}

// The picture depends only on the frame count, not on the time.
void CTunnelScene::DrawScene(LONG) {
    angle = (angle + 1) % kAngleSteps;
    glLoadIdentity();
    glTranslatef(kPositionX, kPositionY, kPositionZ);
    glRotatef(kYaw, 0.0f, 1.0f, 0.0f);
    glRotatef(float(angle), 0.0f, 0.0f, 1.0f);
    model->Draw();
}
