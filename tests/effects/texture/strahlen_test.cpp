// STRAHLEN: the slide, the five quads, the overlay under the previous layer's projection
// and the state a frame leaves behind.
#include "effects/texture/strahlen.h"
#include "tests/effects/texture/gl_readback.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace glimmerq::testing;

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

class StrahlenTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    TestHost host;
    CStrahlen shaft;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        host.useDirectory(GLIMMERQ_DATA_DIR);
        glViewport(0, 0, kWidth, kHeight);
    }
    // What a perspective layer before it (CPOLYGON, SPLASH, ...) leaves current.
    void perspectiveLayer() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 200.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

}  // namespace

TEST(ShaftDepthTest, SlidesBetweenZeroAndThreeHundredAsTheSquaredSine) {
    EXPECT_EQ(ShaftDepth(0), 0.0f) << "not moved at t = 0";
    EXPECT_NEAR(ShaftDepth(18087), 300.0f, 1e-3f);  // 11515 π / 2 ≈ 18087.5
    EXPECT_NEAR(ShaftDepth(36175), 0.0f, 1e-3f);    // period π · 11515
    for (LONG t = 0; t < 40000; t += 997) {
        const double s = std::sin(t / 11515.0);
        EXPECT_NEAR(ShaftDepth(t), 300.0 * s * s, 1e-3) << "t = " << t;
        EXPECT_GE(ShaftDepth(t), 0.0f);
        EXPECT_LE(ShaftDepth(t), 300.0f);
    }
}

TEST_F(StrahlenTest, FiveQuadsTextureEachWallOnceAlongItsWholeDepth) {
    shaft.Setup(kWidth, kHeight);
    shaft.UploadTextures();
    // A side view that keeps the whole shaft in the clip volume: a quarter turn about y
    // sends eye z to window x and eye x to depth; y stays y.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1500, 1500, -10, 10, -10, 10);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    const auto quads = quadsFrom(captureFeedback([&] { shaft.DrawShaft(0); }));
    ASSERT_EQ(quads.size(), 5u);

    struct Corner {
        float s, t, x, y, z;
    };
    // Top, bottom, right, left, near cap: the walls run from z = 4 to the open end at -1400.
    const Corner expected[5][4] = {
        {{0, 1, -4, 4, -1400}, {0, 0, -4, 4, 4}, {1, 0, 4, 4, 4}, {1, 1, 4, 4, -1400}},
        {{0, 1, 4, -4, -1400}, {0, 0, 4, -4, 4}, {1, 0, -4, -4, 4}, {1, 1, -4, -4, -1400}},
        {{1, 1, 4, 4, 4}, {0, 1, 4, 4, -1400}, {0, 0, 4, -4, -1400}, {1, 0, 4, -4, 4}},
        {{0, 0, -4, -4, -1400}, {1, 0, -4, -4, 4}, {1, 1, -4, 4, 4}, {0, 1, -4, 4, -1400}},
        {{1, 1, -4, 4, 4}, {0, 1, 4, 4, 4}, {0, 0, 4, -4, 4}, {1, 0, -4, -4, 4}},
    };
    for (int face = 0; face < 5; ++face) {
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(testing::Message() << "face " << face << " corner " << k);
            const Corner& e = expected[face][k];
            const FeedbackVertex& v = quads[face][k];
            EXPECT_EQ(v.tex[0], e.s);
            EXPECT_EQ(v.tex[1], e.t);
            EXPECT_NEAR(v.x, (1.0 + e.z / 1500.0) / 2.0 * kWidth, 1e-3);
            EXPECT_NEAR(v.y, (1.0 + e.y / 10.0) / 2.0 * kHeight, 1e-3);
            EXPECT_NEAR(v.z, (1.0 + e.x / 10.0) / 2.0, 1e-5);
            EXPECT_FLOAT_EQ(v.color[0], 0.7f);
            EXPECT_FLOAT_EQ(v.color[3], 1.0f);
        }
    }
}

TEST_F(StrahlenTest, FarEndReachesMinus1100WhenTheSlideIsFull) {
    shaft.Setup(kWidth, kHeight);
    shaft.UploadTextures();
    perspectiveLayer();
    shaft.DrawFrame(18087);
    const Matrix modelview = currentMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(modelview[14], 300.0f, 1e-3f);
    EXPECT_NEAR(-1400.0f + modelview[14], -1100.0f, 1e-3f);
}

TEST_F(StrahlenTest, FrameLeavesProjectionModeWithTheProjectionUnchanged) {
    shaft.Setup(kWidth, kHeight);
    shaft.UploadTextures();
    perspectiveLayer();
    const Matrix projectionBefore = currentMatrix(GL_PROJECTION_MATRIX);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glViewport(1, 2, 30, 20);

    const LONG t = 7000;
    shaft.DrawFrame(t);

    EXPECT_EQ(currentInt(GL_MATRIX_MODE), GL_PROJECTION);
    EXPECT_EQ(maxDifference(currentMatrix(GL_PROJECTION_MATRIX), projectionBefore), 0.0f);
    EXPECT_EQ(currentInt(GL_PROJECTION_STACK_DEPTH), 1);
    const Matrix slide = matrixBuiltBy(GL_MODELVIEW, [&] { glTranslatef(0, 0, ShaftDepth(t)); });
    EXPECT_EQ(maxDifference(currentMatrix(GL_MODELVIEW_MATRIX), slide), 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(currentInt(GL_BLEND_SRC), GL_ZERO);
    EXPECT_EQ(currentInt(GL_BLEND_DST), GL_ONE_MINUS_SRC_COLOR);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(currentInt(GL_DEPTH_FUNC), GL_GREATER);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
    EXPECT_EQ(currentInts4(GL_VIEWPORT), (std::array<GLint, 4>{1, 2, 30, 20})) << "no viewport of its own";
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(StrahlenTest, UnderAPerspectiveTheWallsAddRockAroundADarkVanishingPoint) {
    shaft.Setup(kWidth, kHeight);
    ASSERT_NE(shaft.texture, 0u) << "rock_sw.jpg missing from " << GLIMMERQ_DATA_DIR;
    shaft.UploadTextures();
    perspectiveLayer();
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);  // would hide the walls behind a near depth; the shaft ignores it
    glClearDepth(0.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    shaft.DrawFrame(0);
    const auto centre = gl.pixel(kWidth / 2, kHeight / 2);
    EXPECT_NEAR(centre[0], 51, 2) << "the open far end adds nothing";
    for (auto [x, y] : {std::pair{1, kHeight / 2}, {kWidth - 2, kHeight / 2}, {kWidth / 2, 1},
                        {kWidth / 2, kHeight - 2}}) {
        const auto p = gl.pixel(x, y);
        EXPECT_GT(p[0], 60) << "a wall adds onto the grey at (" << x << ", " << y << ")";
    }
}

TEST_F(StrahlenTest, SetupLoadsTheRockAndReportsAMissingTexture) {
    EXPECT_EQ(shaft.Setup(kWidth, kHeight), 0);
    ASSERT_EQ(host.textureRequests.size(), 1u);
    EXPECT_EQ(host.textureRequests[0], "rock_sw.jpg");
    EXPECT_EQ(host.textureParams[0].wrapS, GL_REPEAT);
    EXPECT_EQ(host.textureParams[0].magFilter, GL_LINEAR);
    EXPECT_EQ(host.textureParams[0].internalFormat, GL_RGB5_A1);
    shaft.UploadTextures();
    shaft.ReleaseTextures();
    EXPECT_EQ(host.uploads, std::vector<unsigned>{shaft.texture});
    EXPECT_EQ(host.unUploads, std::vector<unsigned>{shaft.texture});

    TestHost emptyHost;
    CStrahlen orphan;
    EXPECT_EQ(orphan.Setup(kWidth, kHeight), 1);
    EXPECT_EQ(orphan.texture, 0u);
}
