// CLEAR read back from pixels and GL state on a headless context.
#include "effects/clear/clear.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

using glimmerq::testing::GlFixture;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 480;

void send(CClear& clear, const char* name, int value) {
    char buffer[32];
    std::strncpy(buffer, name, sizeof buffer);
    clear.ReceiveInt(buffer, value, 0);
}

void fillWith(float grey) {
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

std::array<GLint, 4> scissorBox() {
    std::array<GLint, 4> box{};
    glGetIntegerv(GL_SCISSOR_BOX, box.data());
    return box;
}

class ClearTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    CClear clear;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        clear.Setup(kWidth, kHeight);
    }
    int red(int x, int y) { return gl.pixel(x, y)[0]; }
    float clearGrey() {
        GLfloat c[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
        return c[0];
    }
};

}  // namespace

TEST_F(ClearTest, BlackClearClearsColourAndDepthAndDisablesScissor) {
    fillWith(1);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    clear.DrawFrame(0);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(red(kWidth / 2, kHeight / 2), 0);
    float depth = 0;
    glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
    GLfloat color[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, color);
    EXPECT_EQ(color[3], 0.0f);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(ClearTest, FadeUpClearsOneHundredAndOneFramesThenStopsThenClearsBlack) {
    send(clear, "METHOD", 2);
    for (int frame = 0; frame < 101; ++frame) {
        fillWith(0.5f);  // anything not cleared would stay at 128
        clear.DrawFrame(frame);
        EXPECT_NEAR(red(5, 5), frame * 255 / 100.0, 1.0) << "frame " << frame;
    }
    EXPECT_NEAR(clearGrey(), 1.0f, 1e-5f);
    fillWith(0.5f);
    clear.DrawFrame(101);
    EXPECT_EQ(red(5, 5), 128) << "the frame after the fade clears nothing";
    EXPECT_EQ(clear.method, 0);
    clear.DrawFrame(102);
    EXPECT_EQ(red(5, 5), 0);
}

TEST_F(ClearTest, FadeDownMirrorsFadeUp) {
    send(clear, "METHOD", 3);
    for (int frame = 0; frame < 101; ++frame) {
        fillWith(0.5f);
        clear.DrawFrame(frame);
        EXPECT_NEAR(red(5, 5), 255 - frame * 255 / 100.0, 1.0) << "frame " << frame;
    }
    EXPECT_GT(clear.level, -0.01f);
    EXPECT_LT(clear.level, 0.0f);
    fillWith(0.5f);
    clear.DrawFrame(101);
    EXPECT_EQ(red(5, 5), 128);
    EXPECT_EQ(clear.method, 0);
}

TEST_F(ClearTest, MethodMessagesRestartFadesAndLeaveTheLevelOtherwise) {
    send(clear, "METHOD", 2);
    for (int i = 0; i < 10; ++i) clear.DrawFrame(i);
    EXPECT_NEAR(clear.level, 0.1f, 1e-5f);
    send(clear, "METHOD", 2);
    EXPECT_EQ(clear.level, 0.0f);
    send(clear, "METHOD", 3);
    EXPECT_EQ(clear.level, 1.0f);
    send(clear, "METHOD", 0);
    EXPECT_EQ(clear.level, 1.0f);
    send(clear, "METHOD", 1);
    EXPECT_EQ(clear.level, 1.0f);
    send(clear, "method", 3);  // names are case-sensitive
    send(clear, "SPEED", 3);
    EXPECT_EQ(clear.method, 1);
    EXPECT_FALSE(clear.scissor);
}

TEST_F(ClearTest, UnknownMethodClearsNothingButSetsClearDepthAndLetterboxes) {
    send(clear, "METHOD", 7);
    send(clear, "SCISSOR", 1);
    glClearDepth(0.5);
    fillWith(0.5f);
    clear.DrawFrame(0);
    EXPECT_EQ(red(5, 200), 128);
    GLdouble depth = 0;
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(depth, 1.0);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(ClearTest, LetterboxKeepsTheMiddleEightyPercentOfRows) {
    send(clear, "SCISSOR", 1);
    clear.DrawFrame(0);
    EXPECT_EQ(scissorBox(), (std::array<GLint, 4>{0, 48, kWidth, 384}));
    CClear tall;
    tall.Setup(kWidth, 768);
    send(tall, "SCISSOR", 1);
    tall.DrawFrame(0);
    EXPECT_EQ(scissorBox(), (std::array<GLint, 4>{0, 76, kWidth, 614}));
}

TEST_F(ClearTest, LetterboxClipsLaterClearsAndOnlyABlackClearEndsIt) {
    send(clear, "SCISSOR", 1);
    clear.DrawFrame(0);                // black everywhere, then the band is set
    send(clear, "METHOD", 3);          // white fade: clipped to the band from now on
    clear.DrawFrame(1);
    EXPECT_EQ(red(5, 47), 0);
    EXPECT_EQ(red(5, 48), 255);
    EXPECT_EQ(red(5, 48 + 383), 255);
    EXPECT_EQ(red(5, 48 + 384), 0);
    for (int value : {0, 2, -1}) {
        send(clear, "SCISSOR", 1);
        send(clear, "SCISSOR", value);
        EXPECT_FALSE(clear.scissor) << value;
    }
    clear.DrawFrame(2);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST)) << "turning SCISSOR off does not disable the test by itself";
    EXPECT_EQ(red(5, 10), 0);
    send(clear, "METHOD", 0);
    clear.DrawFrame(3);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(ClearTest, TrailsDarkenByTenPercentAndLeaveTheirState) {
    fillWith(1.0f);
    glViewport(0, 0, 1, 1);
    send(clear, "METHOD", 1);
    clear.DrawFrame(0);
    EXPECT_NEAR(red(kWidth / 2, kHeight / 2), 230, 1);
    EXPECT_NEAR(red(0, 0), 230, 1);
    clear.DrawFrame(1);
    EXPECT_NEAR(red(kWidth - 1, kHeight - 1), 207, 1);

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint src = 0, dst = 0, mode = 0, viewport[4];
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    GLfloat projection[16], modelview[16], color[4];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_CURRENT_COLOR, color);
    const double f = 1.0 / std::tan(22.5 * 3.14159265358979 / 180.0);
    EXPECT_NEAR(projection[0], f / (double(kWidth) / kHeight), 1e-4);
    EXPECT_NEAR(projection[5], f, 1e-4);
    EXPECT_NEAR(projection[10], -(200.0 + 0.1) / (200.0 - 0.1), 1e-4);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f);
    EXPECT_FLOAT_EQ(color[3], 0.1f);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(ClearTest, TrailsInsideTheLetterboxDarkenOnlyTheBand) {
    fillWith(1.0f);
    send(clear, "METHOD", 7);
    send(clear, "SCISSOR", 1);
    clear.DrawFrame(0);
    send(clear, "METHOD", 1);
    clear.DrawFrame(1);
    EXPECT_EQ(red(5, 20), 255);
    EXPECT_NEAR(red(5, 240), 230, 1);
}
