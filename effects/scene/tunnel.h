// tunnel.h: "CTUNNEL" and "CTUNNELV", the tunnel spinning in dense fog.
//
// The model "tunnel.ms3d" stands 200 units ahead and 51 to the right, yawed by -15°, and
// spins about its own z axis one degree per drawn frame. Drawn unlit (the current colour
// times its texture) in black exponential fog, under a 45° perspective whose aspect is the
// window's ratio times sin(elapsed / 800 ms): normal proportions at 1, stretched towards 0,
// mirrored left to right below 0. CTunnel fills the window, CTunnelV draws the same scene
// into the lower-right quarter. KeepState keeps the spin.
//
// Not here: script parameters, buffer clears, setting the current colour or texture
// environment (whatever the layer before left is used).
#pragma once

#include "demogl/demogl.h"
#include "model/model.h"

// The scene both effects draw; they differ only in the viewport.
class CTunnelScene : public CEffect, public CEffectState {
public:
    ~CTunnelScene() override;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;
    void KeepState(CStateArchive& state) override;

    // Read by tests. Initialised here so an effect whose model failed to load (Setup then
    // writes nothing) still holds defined values.
    int width = 0;             // render size in pixels
    int height = 0;
    int angle = 0;             // spin in whole degrees, 0..359, advanced once per drawn frame
    CModel* model = nullptr;   // owned
    bool modelLoaded = false;  // false: the texture calls and DrawFrame do nothing

protected:
    enum class Viewport { kWholeWindow, kLowerRightQuarter };
    explicit CTunnelScene(Viewport viewport) : viewport_(viewport) {}

private:
    void DrawScene(LONG elapsed);
    const Viewport viewport_;
};

class CTunnel : public CTunnelScene {
public:
    CTunnel() : CTunnelScene(Viewport::kWholeWindow) {}
};

class CTunnelV : public CTunnelScene {
public:
    CTunnelV() : CTunnelScene(Viewport::kLowerRightQuarter) {}
};
