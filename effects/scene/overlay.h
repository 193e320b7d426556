// overlay.h: the design behind "CGREETZ", "COUTRO" and "CTERRAIN": one model, lit and
// textured, standing still a few units before the eye and added onto the frame.
//
// Each fragment's colour, weighted by its alpha (from the lit material and the texture), is
// added to what the frame holds, so dark parts vanish and bright ones saturate. Depth testing
// stays on with writes, so the model's near surfaces hide its far ones. The picture does not
// depend on the time. Each effect is this class with its own model file and position.
//
// Not here: animation, fog (left as the layer before set it), buffer clears.
#pragma once

#include "demogl/demogl.h"
#include "model/model.h"

class CModelOverlay : public CEffect {
public:
    ~CModelOverlay() override;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;

    // Read by tests. Initialised here so an effect whose model failed to load (Setup then
    // writes nothing) still holds defined values.
    int width = 0;             // render size in pixels
    int height = 0;
    CModel* model = nullptr;   // owned
    bool modelLoaded = false;  // false: the texture calls and DrawFrame do nothing

protected:
    // fileName: the model in the data file; x, y, z: where it stands in eye space.
    CModelOverlay(const char* fileName, float x, float y, float z)
        : fileName_(fileName), position_{x, y, z} {}

private:
    void DrawScene(LONG elapsed);
    const char* const fileName_;
    const float position_[3];
};
