#include "runtime/display/loading_screen.h"

#include "runtime/gl/gl_state_guard.h"

#include <GL/gl.h>

#include <algorithm>

namespace glimmerq {

LoadingScreen::LoadingScreen(const LoadingScreenConfig& config, const Image& splash, int width, int height)
    : config_(config), width_(width), height_(height) {
    if (!config.splashEnabled || splash.width <= 0) return;
    GlStateGuard guard(GlStateGuard::kTextureBinding | GlStateGuard::kPixelStore);
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, splash.width, splash.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 splash.rgb.data());
    splashWidth_ = splash.width;
    splashHeight_ = splash.height;
}

LoadingScreen::~LoadingScreen() { close(); }

void LoadingScreen::close() {
    if (texture_) glDeleteTextures(1, &texture_);
    texture_ = 0;
}

namespace {

void rect(float x0, float y0, float x1, float y1) {
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

}  // namespace

void LoadingScreen::draw(float progress) {
    progress = std::clamp(progress, 0.0f, 1.0f);
    // Into whatever framebuffer is bound; everything else comes back as it was.
    GlStateGuard guard(GlStateGuard::kDrawingState);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Pixel coordinates, origin at the lower-left corner.
    glOrtho(0, width_, 0, height_, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glViewport(0, 0, width_, height_);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    if (texture_) {
        float w = float(splashWidth_), h = float(splashHeight_);
        if (config_.splashFit == 1) {
            const float scale = std::max(width_ / w, height_ / h);
            w *= scale;
            h *= scale;
        }
        const float x0 = (width_ - w) * 0.5f, y0 = (height_ - h) * 0.5f;
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_TEXTURE_2D);
        glColor4f(config_.splashOpacity, config_.splashOpacity, config_.splashOpacity, 1.0f);
        // Image rows run top-down: t = 0 is the top of the picture.
        glBegin(GL_QUADS);
        glTexCoord2f(0, 1);
        glVertex2f(x0, y0);
        glTexCoord2f(1, 1);
        glVertex2f(x0 + w, y0);
        glTexCoord2f(1, 0);
        glVertex2f(x0 + w, y0 + h);
        glTexCoord2f(0, 0);
        glVertex2f(x0, y0 + h);
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }

    if (config_.barEnabled) {
        const float x0 = config_.barX * width_, y0 = config_.barY * height_;
        const float w = config_.barWidth * width_, h = std::max(1.0f, config_.barHeight * height_);
        if (config_.blend) {
            glEnable(GL_BLEND);
            glBlendFunc(config_.sourceFactor, config_.destinationFactor);
        }
        if (config_.drawBackground) {
            glColor4f(config_.background[0], config_.background[1], config_.background[2], config_.opacity);
            rect(x0, y0, x0 + w, y0 + h);
        }
        glColor4f(config_.bar[0], config_.bar[1], config_.bar[2], config_.opacity);
        rect(x0, y0, x0 + w * progress, y0 + h);
    }
}

}  // namespace glimmerq
