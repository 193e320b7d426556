// clear.h: "CLEAR", the layer that prepares each frame.
//
// Clears to black, darkens the previous frame (trails), or fades the clear colour from
// black to white or back, then optionally letterboxes everything drawn after it in the
// frame. The script steers it with the integer parameters "METHOD" and "SCISSOR".
// KeepState keeps the method, the fade's grey level and the letterbox flag.
// ClearsWholePicture says whether the next frame leaves nothing of the previous picture.
#pragma once

#include "demogl/demogl.h"

class CClear : public CEffect, public CEffectState {
public:
    enum Method { kBlack = 0, kTrails = 1, kFadeUp = 2, kFadeDown = 3 };

    ~CClear() override = default;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;
    void ReceiveInt(char* name, int value, LONG elapsed) override;
    void KeepState(CStateArchive& state) override;
    // A black clear clears everything (it turns the scissor test off first); a running fade
    // does too, unless the scissor test or a write mask the last frame left clips its clear.
    bool ClearsWholePicture() const override;

    // Read by tests; the script changes them only through ReceiveInt.
    int width;     // render size in pixels
    int height;
    int method;    // a Method; other values clear nothing
    float level;   // grey level of the fading clear colour, 0..1
    bool scissor;  // letterbox on

private:
    void DrawTrailQuad();
};
