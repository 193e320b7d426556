// scene_model.h: what the model-scene effects (CKREUZ, CTUNNEL, the overlays) share.
//
//   model = CreateSceneModel("block.ms3d", &modelLoaded);   // in Setup
//   UploadSceneModelTextures(model);                         // in UploadTextures
//   ReleaseSceneModelTextures(model);                        // in ReleaseTextures
//
// Also the attribute groups every scene's DrawFrame saves and restores.
// Not here: any drawing; each effect sets its own camera, lights and fog.
#pragma once

#include "model/model.h"

#include <GL/gl.h>

// What every scene's DrawFrame saves with glPushAttrib and restores at its end (0x6108).
constexpr GLbitfield kSceneSavedAttributes =
    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT;

// Creates a model and loads the named file. On failure shows the "Error" message box
// "Couldn't load the model dat\<fileName>" and sets *loaded to false. Returns the model,
// loaded or empty; null only when even the empty model could not be allocated.
CModel* CreateSceneModel(const char* fileName, bool* loaded);

// Requests every material's texture again, then uploads each named one. Null does nothing.
void UploadSceneModelTextures(CModel* model);
// Un-uploads each named material's texture. Null does nothing.
void ReleaseSceneModelTextures(CModel* model);
