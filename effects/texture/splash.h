// splash.h: "SPLASH", a burst of logo sparks fanning out of the centre into a spiral.
//
// 20 slots of two sparks each, one accelerating to the left and one to the right; every
// spark is a 10 x 10 square of "qv01.jpg" added onto the picture (GL_SRC_ALPHA, GL_ONE).
// A spark lives for a random number of frames (its decay) and is then thrown again from
// the centre. Every square drawn in a frame is turned further about the viewing axis than
// the one before, by spin counter / 5 degrees, so the 40 squares fan into a spiral.
//
//   CSplash burst;  burst.Setup(w, h);  burst.UploadTextures();  burst.DrawFrame(t);
//
// Velocity and life change once per drawn frame, position by the time since the previous
// frame: the burst follows the frame rate. The sparks, the spin counter and the generator
// carry over across activations; UploadTextures restarts only the clock. KeepState keeps all
// of them with the clock and the current slot.
//
// Not here: a failure result. Setup returns 0 even when the texture failed to load.
#pragma once

#include "demogl/demogl.h"

#include <cstdint>

// The demo's pseudo-random generator: 32-bit state from 1, state = state * 214013 + 2531011,
// yields (state >> 16) & 0x7FFF. Spelled out so that every platform throws the same sparks.
class CSplashRandom {
public:
    int Next();       // 0 ... 32767
    uint32_t state = 1;
};

// One flying square.
struct SSpark {
    bool active;          // drawn and advanced only when true; every reset sets it
    float life;           // from 1.0 down by decay per frame; below 0 the spark is reset
    float decay;          // life lost per frame, 0.003 ... 0.102
    float position[3];    // centre of the square
    float velocity[3];    // added to the position, scaled by the time step, every frame
    float acceleration[3];// added to the velocity every frame, unscaled
};

class CSplash : public CEffect, public CEffectState {
public:
    static constexpr int kSlotCount = 20;

    ~CSplash() override = default;
    int Setup(int width, int height) override;
    void DrawFrame(LONG elapsed) override;
    void UploadTextures() override;
    void ReleaseTextures() override;
    void KeepState(CStateArchive& state) override;

    // Re-throw the first (leftward) or second (rightward) spark of the current slot.
    void ResetFirstSpark();
    void ResetSecondSpark();
    // Advances the clock and the spin, draws and advances every active spark.
    void DrawSparks(LONG elapsed);

    // Read by tests.
    int width;              // render size in pixels
    int height;
    int spinCounter;        // frames modulo 360
    unsigned texture;       // handle of "qv01.jpg" (0 when it failed: drawn untextured)
    float timeDivisor;      // ms per unit of time step
    float depthOffset;      // added to every spark's z when drawing
    unsigned currentSlot;   // the slot the loops stand on; the resets act on it
    LONG lastTime = 0;      // elapsed time of the previous frame, ms; 0 after UploadTextures
    float timeStep = 0.0f;  // (elapsed - last time) / time divisor of the current frame
    SSpark slots[kSlotCount][2];  // [slot][0] moves left, [slot][1] moves right
    CSplashRandom random;

private:
    void ResetSpark(SSpark& spark, const float acceleration[3]);
};
