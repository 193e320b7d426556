// CLEAR read back from pixels and GL state on a headless context.
#include "host/clear.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

using glimmerq::testing::GlFixture;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

void send(CClear& clear, const char* name, int value) {
    char buffer[32];
    std::strncpy(buffer, name, sizeof buffer);
    clear.ReceiveInt(buffer, value, 0);
}

void fillWith(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

class ClearTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    CClear clear;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        clear.Setup(kWidth, kHeight);
    }
};

}  // namespace

TEST_F(ClearTest, BlackClearClearsColourAndDepthAndDisablesScissor) {
    fillWith(1, 1, 1);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    clear.DrawFrame(0);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(gl.pixel(kWidth / 2, kHeight / 2)[0], 0);
    float depth = 0;
    glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
    GLfloat color[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, color);
    EXPECT_EQ(color[3], 0.0f);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}
