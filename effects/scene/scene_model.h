// scene_model.h: what the model-scene effects (CKREUZ, CTUNNEL, the overlays) share.
//
//   model = CreateSceneModel("block.ms3d", &modelLoaded);   // in Setup
//   UploadSceneModelTextures(model);                         // in UploadTextures
//   ReleaseSceneModelTextures(model);                        // in ReleaseTextures
//
// Also the attribute groups every scene's DrawFrame saves and restores, and the state every
// scene sets first.
// Not here: any drawing; each effect sets its own camera, lights and fog.
#pragma once

#include "model/model.h"

#include <GL/gl.h>

// What every scene's DrawFrame saves with glPushAttrib and restores at its end (0x6108).
constexpr GLbitfield kSceneSavedAttributes =
    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT;

// Some GL implementations (Mesa 22 among them) leave the GL_LIGHTi enables as they are on
// glPopAttrib(GL_ENABLE_BIT). Every scene switches GL_LIGHT0, so each remembers its enable
// before its push and puts it back after its pop: a no-op wherever the pop restores it.
inline void RestoreLight0(GLboolean enabled) {
    if (enabled)
        glEnable(GL_LIGHT0);
    else
        glDisable(GL_LIGHT0);
}

// The state every scene sets right after its push, before its viewport and camera:
// texturing on, smooth shading, clear colour (0, 0, 0, 0.5) and depth 1 (nothing is
// cleared), depth test with GL_LEQUAL, nicest perspective correction.
inline void SetSceneDefaults() {
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

// Creates a model and loads the named file. On failure shows the "Error" message box
// "Couldn't load the model dat\<fileName>" and sets *loaded to false. Returns the model,
// loaded or empty; null only when even the empty model could not be allocated.
CModel* CreateSceneModel(const char* fileName, bool* loaded);

// Requests every material's texture again, then uploads each named one. Null does nothing.
void UploadSceneModelTextures(CModel* model);
// Un-uploads each named material's texture. Null does nothing.
void ReleaseSceneModelTextures(CModel* model);
