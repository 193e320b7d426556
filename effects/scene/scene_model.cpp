#include "effects/scene/scene_model.h"

#include "demogl/demogl.h"

#include <new>
#include <string>

namespace {

constexpr char kLoadErrorText[] = "Couldn't load the model dat\\";
constexpr char kErrorCaption[] = "Error";

}  // namespace

CModel* CreateSceneModel(const char* fileName, bool* loaded) {
    // A failed allocation is reported like a model that failed to load.
    CModel* model = new (std::nothrow) CModel;
    *loaded = model && model->Load(fileName);
    if (!*loaded) {
        const std::string text = std::string(kLoadErrorText) + fileName;
        MessageBoxA(nullptr, text.c_str(), kErrorCaption, MB_ICONERROR);
    }
    return model;
}

void UploadSceneModelTextures(CModel* model) {
    if (!model) return;
    model->LoadTextures();
    for (int i = 0; i < model->numMaterials; ++i) {
        const SMaterial& material = model->materials[i];
        if (material.textureName[0] != 0) DEMOGL_TextureUpload(material.texture);
    }
}

void ReleaseSceneModelTextures(CModel* model) {
    if (!model) return;
    for (int i = 0; i < model->numMaterials; ++i) {
        const SMaterial& material = model->materials[i];
        if (material.textureName[0] != 0) DEMOGL_TextureUnUpload(material.texture);
    }
}
