// The loading screen draws its splash and bar and puts back every piece of GL state it touched.
#include "runtime/display/loading_screen.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using glimmerq::Image;
using glimmerq::LoadingScreen;
using glimmerq::LoadingScreenConfig;
using glimmerq::testing::GlFixture;

namespace {

LoadingScreenConfig demoConfig() {
    LoadingScreenConfig c;
    c.barEnabled = true;
    c.barWidth = 1.0f;
    c.barHeight = 0.02f;
    c.barX = 0.0f;
    c.barY = 0.45f;
    c.blend = true;
    c.splashEnabled = true;
    c.splashName = "cnslbg.jpg";
    return c;
}

Image blueImage(int w, int h) {
    Image image;
    image.width = w;
    image.height = h;
    image.rgb.assign(size_t(w) * h * 3, 0);
    for (size_t i = 2; i < image.rgb.size(); i += 3) image.rgb[i] = 200;
    return image;
}

}  // namespace

TEST(LoadingScreen, DrawsSplashAndProgressThenRestoresGlState) {
    GlFixture gl(200, 100);
    ASSERT_TRUE(gl.ok()) << gl.error();
    glMatrixMode(GL_TEXTURE);  // an unusual matrix mode must survive
    glClearColor(0.2f, 0.3f, 0.4f, 0.5f);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glEnable(GL_DEPTH_TEST);
    glViewport(1, 2, 3, 4);
    GLint textureBefore = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &textureBefore);

    LoadingScreen screen(demoConfig(), blueImage(64, 32), 200, 100);
    screen.draw(0.5f);
    // Bar rows 45..46 of 100: done on the left half, background on the right; splash elsewhere.
    EXPECT_EQ(gl.pixel(50, 45)[0], 255);
    EXPECT_NEAR(gl.pixel(150, 45)[0], 26, 1);
    EXPECT_NEAR(gl.pixel(100, 80)[2], 200, 2);
    EXPECT_EQ(gl.pixel(100, 80)[0], 0);
    screen.close();

    GLint mode = 0, viewport[4], textureAfter = -1;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &textureAfter);
    GLfloat clear[4], color[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_EQ(mode, GL_TEXTURE);
    EXPECT_EQ((std::array<GLint, 4>{viewport[0], viewport[1], viewport[2], viewport[3]}),
              (std::array<GLint, 4>{1, 2, 3, 4}));
    EXPECT_EQ(textureAfter, textureBefore);
    EXPECT_FLOAT_EQ(clear[1], 0.3f);
    EXPECT_FLOAT_EQ(color[3], 0.4f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST(LoadingScreen, WithoutASplashShowsTheBarAlone) {
    GlFixture gl(100, 100);
    ASSERT_TRUE(gl.ok()) << gl.error();
    LoadingScreen screen(demoConfig(), Image{}, 100, 100);
    screen.draw(1.0f);
    EXPECT_EQ(gl.pixel(99, 45)[0], 255);
    EXPECT_EQ(gl.pixel(50, 80)[2], 0);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}
