#include "effects/scene/overlay.h"

#include "effects/scene/scene_model.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

constexpr double kFieldOfView = 90.0;   // degrees, vertical
constexpr double kNearPlane = 1.0;      // model units
constexpr double kFarPlane = 5000.0;

}  // namespace

CModelOverlay::~CModelOverlay() {
    delete model;
}

int CModelOverlay::Setup(int width, int height) {
    delete model;  // a second Setup replaces the model instead of leaking it
    model = CreateSceneModel(fileName_, &modelLoaded);
    if (!modelLoaded) return 0;
    this->width = width;
    this->height = height;
    return 0;
}

// A model that failed to load has no textures to upload: nothing is requested.
void CModelOverlay::UploadTextures() {
    if (modelLoaded) UploadSceneModelTextures(model);
}

void CModelOverlay::ReleaseTextures() {
    if (modelLoaded) ReleaseSceneModelTextures(model);
}

// Leaves: viewport = whole window, projection = 90° perspective, matrix mode GL_MODELVIEW
// with the model's position, GL_SMOOTH, the perspective-correction hint; fog untouched.
void CModelOverlay::DrawFrame(LONG elapsed) {
    // A model that failed to load draws nothing and leaves the GL state alone.
    if (!modelLoaded) return;

    const GLboolean light0 = glIsEnabled(GL_LIGHT0);
    glPushAttrib(kSceneSavedAttributes);
    SetSceneDefaults();

    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, double(width) / double(height), kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // GL_LIGHT0 shines with whatever parameters are current; the model brings the materials.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    DrawScene(elapsed);
    glPopAttrib();
    RestoreLight0(light0);
}

void CModelOverlay::DrawScene(LONG) {
    // Additive: the fragment's colour weighted by its alpha joins what the frame holds.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glLoadIdentity();
    glTranslatef(position_[0], position_[1], position_[2]);
    model->Draw();
}
