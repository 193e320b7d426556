#include "runtime/host/screen_flash.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

namespace glimmerq {

namespace {
const char* const kColorNames[4] = {"RED", "GREEN", "BLUE", "ALPHA"};
}  // namespace

int ScreenFlash::Setup(int width, int height) {
    width_ = width;
    height_ = height;
    return 0;
}

void ScreenFlash::ReceiveInt(char* name, int value, LONG) {
    if (!name || std::strcmp(name, "FRAMES") != 0) return;
    frames_ = std::max(value, 0);
    framesLeft_ = frames_;
}

void ScreenFlash::ReceiveFloat(char* name, float value, LONG) {
    if (!name) return;
    for (int i = 0; i < 4; ++i)
        if (std::strcmp(name, kColorNames[i]) == 0) color_[i] = std::clamp(value, 0.0f, 1.0f);
}

void ScreenFlash::KeepState(CStateArchive& state) { state(color_, frames_, framesLeft_); }

// Leaves: nothing; every attribute, enable and matrix it touches is put back.
void ScreenFlash::DrawFrame(LONG) {
    if (framesLeft_ <= 0) return;
    const float opacity = color_[3] * float(framesLeft_) / float(frames_);
    --framesLeft_;

    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT |
                 GL_SCISSOR_BIT | GL_TRANSFORM_BIT | GL_VIEWPORT_BIT);
        glViewport(0, 0, width_, height_);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_FOG);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        glDisable(GL_ALPHA_TEST);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
                glLoadIdentity();
                glColor4f(color_[0], color_[1], color_[2], opacity);
                glRectf(-1, -1, 1, 1);
            glPopMatrix();
            glMatrixMode(GL_PROJECTION);
        glPopMatrix();
    glPopAttrib();  // the matrix mode too (GL_TRANSFORM_BIT)
}

}  // namespace glimmerq
