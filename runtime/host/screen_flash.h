// screen_flash.h: FLASH, the runtime's own effect: a flash of colour over the whole picture,
// drawn above the layers under it, for the accents no effect of the demo can give (a flash
// over a full-screen glow, one on every beat of a bar range).
//
//   0     start FLASH layer 9           # a layer above every other, for the whole show
//   @27   float FLASH RED 0.4           # RED, GREEN, BLUE, ALPHA: 0..1, white and 1 unless set
//   @27   int FLASH FRAMES 20           # a flash now, fading out over 20 frames
//
// Every FRAMES value starts a new flash: on its first frame the colour covers the picture at
// ALPHA, and the opacity falls in equal steps to ALPHA / FRAMES on the last one (FRAMES 0
// ends a flash at once). Like CLEAR's fades it counts frames, not milliseconds. A colour set
// during a flash shows from the next frame. It blends over the whole render size whatever
// viewport, matrices, scissor or enables the layers below left, and leaves all of them as it
// found them. The host registers it after the demo's effects (DemoGlHost::appRun).
// Not here: fades that hold a colour (CLEAR's METHOD 2 and 3), shapes, additive light.
#pragma once

#include "demogl/demogl.h"

namespace glimmerq {

// The name the script addresses it by.
constexpr char kScreenFlashName[] = "FLASH";

class ScreenFlash : public CEffect, public CEffectState {
public:
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void ReceiveInt(char* name, int value, LONG elapsed) override;
    void ReceiveFloat(char* name, float value, LONG elapsed) override;
    void KeepState(CStateArchive& state) override;

    int framesLeft() const { return framesLeft_; }

private:
    int width_ = 0, height_ = 0;  // the render size, pixels
    float color_[4] = {1, 1, 1, 1};  // RED, GREEN, BLUE, ALPHA (opacity on a flash's first frame)
    int frames_ = 0;                 // the current flash's length, frames
    int framesLeft_ = 0;             // frames it still draws
};

}  // namespace glimmerq
