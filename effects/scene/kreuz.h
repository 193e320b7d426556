// kreuz.h: "CKREUZ" and "CKREUZV", the block cross swinging and turning in fog.
//
// The model "block.ms3d" hangs 55 units below the eye, swings toward and away from the
// viewer along sin(t) and turns about the vertical axis one degree per drawn frame (back to
// 0 after 69), the sense of the turn following the sign of the swing's sine. Lit by
// GL_LIGHT0 as it stands, textured, in black exponential fog. CKreuz fills the window,
// CKreuzV draws the same scene into the upper-left quarter. KeepState keeps the turn and the
// sway's time origin.
//
// Not here: script parameters, buffer clears (it draws over what the frame holds).
#pragma once

#include "demogl/demogl.h"
#include "model/model.h"

// The scene both effects draw; they differ only in the viewport.
class CKreuzScene : public CEffect, public CEffectState {
public:
    ~CKreuzScene() override;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;
    void KeepState(CStateArchive& state) override;

    // Read by tests. Initialised here so an effect whose model failed to load (Setup then
    // writes nothing) still holds defined values.
    int width = 0;             // render size in pixels
    int height = 0;
    int angle = 0;             // turn in whole degrees, 0..69, advanced once per drawn frame
    int timeOrigin = -1;       // ms; the sway's time origin
    CModel* model = nullptr;   // owned
    bool modelLoaded = false;  // false: the texture calls and DrawFrame do nothing

protected:
    enum class Viewport { kWholeWindow, kUpperLeftQuarter };
    explicit CKreuzScene(Viewport viewport) : viewport_(viewport) {}

private:
    void DrawScene(LONG elapsed);
    const Viewport viewport_;
};

class CKreuz : public CKreuzScene {
public:
    CKreuz() : CKreuzScene(Viewport::kWholeWindow) {}
};

class CKreuzV : public CKreuzScene {
public:
    CKreuzV() : CKreuzScene(Viewport::kUpperLeftQuarter) {}
};
