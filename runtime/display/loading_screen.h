// loading_screen.h: the picture shown while every effect's Setup runs.
//
// Configured by the program's three loading calls; this is how their arguments are read:
//   DEMOGL_LoadingPBEnable(enabled, width, height, x, y)
//       enabled != 0 shows the progress bar. width and height are the bar's size and x, y its
//       lower-left corner, all as fractions of the render size measured from the lower-left
//       corner (the program's (1, 1.0, 0.02, 0.0, 0.45): a thin full-width bar just below
//       the middle).
//   DEMOGL_LoadingPBSetAppearance(drawBackground, blend, sourceFactor, destinationFactor,
//                                 opacity, backgroundRGB, barRGB)
//       drawBackground fills the whole bar in the background colour before the done part;
//       blend draws both with glBlendFunc(sourceFactor, destinationFactor) and alpha = opacity;
//       the done part, a fraction `progress` of the bar's width, takes the bar colour.
//   DEMOGL_LoadingSplashEnable(image, fit, opacity)
//       image is a JPEG in the data file. fit 1 scales it to cover the whole picture keeping
//       its aspect (cropping what overflows); 0 shows it at its own pixel size, centred.
//       opacity multiplies it (1 = as stored) over black.
// A missing or broken splash is reported once and the screen shows the bar alone.
//
// draw() saves every piece of GL state it changes and puts it back; the splash texture
// is deleted by close().
#pragma once

#include "runtime/data/jpeg_image.h"

namespace glimmerq {

struct LoadingScreenConfig {
    bool barEnabled = false;
    float barWidth = 1.0f, barHeight = 0.02f, barX = 0.0f, barY = 0.45f;
    bool drawBackground = true;
    bool blend = false;
    unsigned sourceFactor = 0x0302;       // GL_SRC_ALPHA
    unsigned destinationFactor = 0x0303;  // GL_ONE_MINUS_SRC_ALPHA
    float opacity = 1.0f;
    float background[3] = {0.1f, 0.1f, 0.1f};
    float bar[3] = {1.0f, 1.0f, 1.0f};
    bool splashEnabled = false;
    std::string splashName;
    int splashFit = 1;
    float splashOpacity = 1.0f;
};

class LoadingScreen {
public:
    // splash may be empty (width 0): the screen shows the bar alone.
    LoadingScreen(const LoadingScreenConfig& config, const Image& splash, int width, int height);
    ~LoadingScreen();

    // Draws the whole screen into the bound framebuffer; progress in [0, 1].
    void draw(float progress);
    // Deletes the splash texture (needs the GL context); called by the destructor too.
    void close();

private:
    LoadingScreenConfig config_;
    int width_, height_;
    int splashWidth_ = 0, splashHeight_ = 0;
    unsigned texture_ = 0;
};

}  // namespace glimmerq
