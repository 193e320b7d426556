// EASYONE: the swinging aspect, the cube row's positions and drift, the cube list and the
// state a frame leaves behind.
#include "effects/texture/easyone.h"
#include "tests/effects/texture/gl_readback.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace glimmerq::testing;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr double kOrthoDepth = 2000.0;  // the test projection sees z from -2000 to 2000

class EasyOneTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    TestHost host;
    CEasyOne row;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        host.useDirectory(GLIMMERQ_DATA_DIR);
        glViewport(0, 0, kWidth, kHeight);
    }
};

// Eye-space position of a feedback vertex under glOrtho(-1, 1, -1, 1, -kOrthoDepth, kOrthoDepth)
// with the kWidth x kHeight viewport.
struct Eye {
    double x, y, z;
};
Eye eyeOf(const FeedbackVertex& v) {
    return {v.x / kWidth * 2.0 - 1.0, v.y / kHeight * 2.0 - 1.0, (1.0 - 2.0 * v.z) * kOrthoDepth};
}

// The row as drawn: per quad, its four corners in eye space with texture coordinates.
std::vector<std::array<FeedbackVertex, 4>> drawRow(CEasyOne& row, LONG elapsed) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -kOrthoDepth, kOrthoDepth);
    glMatrixMode(GL_MODELVIEW);
    bool overflowed = true;
    auto quads = quadsFrom(captureFeedback([&] { row.DrawCubeRow(elapsed); }, &overflowed, 1u << 21));
    EXPECT_FALSE(overflowed);
    return quads;
}

// Centre of the cube drawn as quads [6 n, 6 n + 6).
Eye cubeCentre(const std::vector<std::array<FeedbackVertex, 4>>& quads, size_t n) {
    Eye sum{0, 0, 0};
    for (size_t q = 6 * n; q < 6 * n + 6; ++q)
        for (const FeedbackVertex& v : quads[q]) {
            const Eye e = eyeOf(v);
            sum.x += e.x / 24;
            sum.y += e.y / 24;
            sum.z += e.z / 24;
        }
    return sum;
}

}  // namespace

TEST(CubeRowAspectTest, SwingsThroughZeroAndMirrorsWhileTheSineIsNegative) {
    EXPECT_EQ(CubeRowAspect(0, 640, 480), 0.0) << "exactly 0 at t = 0";
    const double ratio = double(640.0f / 480.0f);
    EXPECT_DOUBLE_EQ(CubeRowAspect(1257, 640, 480), std::sin(1257 / 800.0) * ratio);
    EXPECT_GT(CubeRowAspect(2513, 640, 480), 0.0);  // 800π ≈ 2513.27
    EXPECT_LT(CubeRowAspect(2514, 640, 480), 0.0);
    EXPECT_LT(CubeRowAspect(3770, 640, 480), -0.99 * ratio);
    EXPECT_LT(CubeRowAspect(5026, 640, 480), 0.0);  // 1600π ≈ 5026.55
    EXPECT_GT(CubeRowAspect(5027, 640, 480), 0.0);
}

TEST(CubeRowDriftTest, RowSwingsFiveHundredUnitsEvery314Seconds) {
    EXPECT_EQ(CubeRowDrift(0), 0.0);
    EXPECT_NEAR(CubeRowDrift(78540), 500.0, 1e-4);   // 50000 π / 2
    EXPECT_NEAR(CubeRowDrift(-78540), -500.0, 1e-4);
    EXPECT_NEAR(CubeRowDrift(157080), 0.0, 0.01);
    EXPECT_FLOAT_EQ(CubeRowZ(1, 0.0), -505.8f);
    EXPECT_FLOAT_EQ(CubeRowZ(299, 0.0), 328.6f);
    EXPECT_FLOAT_EQ(CubeRowZ(1, 500.0), -5.8f);
}

TEST_F(EasyOneTest, SetupLoadsVoxeAndReportsAMissingTexture) {
    EXPECT_EQ(row.Setup(kWidth, kHeight), 0);
    EXPECT_NE(row.texture, 0u);
    ASSERT_EQ(host.textureRequests.size(), 1u);
    EXPECT_EQ(host.textureRequests[0], "voxe.jpg");
    const auto& p = host.textureParams[0];
    EXPECT_EQ(p.wrapS, GL_REPEAT);
    EXPECT_EQ(p.wrapT, GL_REPEAT);
    EXPECT_EQ(p.minFilter, GL_LINEAR);
    EXPECT_EQ(p.magFilter, GL_LINEAR);
    EXPECT_EQ(p.internalFormat, GL_RGB5_A1);
    EXPECT_EQ(p.dimensions, 2);

    TestHost emptyHost;
    CEasyOne orphan;
    EXPECT_EQ(orphan.Setup(kWidth, kHeight), 1);
    EXPECT_EQ(orphan.texture, 0u);
    orphan.UploadTextures();  // drawing goes on with handle 0
    orphan.DrawFrame(1000);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(EasyOneTest, RowRunsFromMinus505Point8To328Point6PlusTheDrift) {
    row.Setup(kWidth, kHeight);
    row.UploadTextures();
    for (LONG t : {LONG(0), LONG(78540), LONG(-40000)}) {
        SCOPED_TRACE(testing::Message() << "t = " << t);
        const double drift = 500.0 * std::sin(t / 50000.0);
        const auto quads = drawRow(row, t);
        ASSERT_EQ(quads.size(), 299u * 6u) << "299 cubes of six faces, none for i = 0";
        const Eye first = cubeCentre(quads, 0);
        const Eye last = cubeCentre(quads, 298);
        EXPECT_NEAR(first.z, -505.8 + drift, 0.01);
        EXPECT_NEAR(last.z, 328.6 + drift, 0.01);
        EXPECT_NEAR(first.x, -0.4, 1e-4);
        EXPECT_NEAR(first.y, 0.0, 1e-4);
        for (size_t n = 1; n < 299; n += 37)
            EXPECT_NEAR(cubeCentre(quads, n).z - cubeCentre(quads, n - 1).z, 2.8, 0.01) << "cube " << n;
    }
}

TEST_F(EasyOneTest, CubeListHoldsSixTexturedFacesOfEdgeQuarter) {
    row.Setup(kWidth, kHeight);
    row.UploadTextures();
    const auto quads = drawRow(row, 0);
    ASSERT_GE(quads.size(), 6u);
    // Corner signs per face (x, y, z), in drawing order; texture corners (1,0) (1,1) (0,1) (0,0).
    const int faces[6][4][3] = {
        {{-1, -1, -1}, {+1, -1, -1}, {+1, -1, +1}, {-1, -1, +1}},
        {{-1, +1, -1}, {-1, +1, +1}, {+1, +1, +1}, {+1, +1, -1}},
        {{-1, -1, +1}, {+1, -1, +1}, {+1, +1, +1}, {-1, +1, +1}},
        {{-1, -1, -1}, {-1, +1, -1}, {+1, +1, -1}, {+1, -1, -1}},
        {{+1, -1, -1}, {+1, +1, -1}, {+1, +1, +1}, {+1, -1, +1}},
        {{-1, -1, -1}, {-1, -1, +1}, {-1, +1, +1}, {-1, +1, -1}},
    };
    const float tex[4][2] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};
    const Eye centre = cubeCentre(quads, 0);
    for (int f = 0; f < 6; ++f) {
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(testing::Message() << "face " << f << " corner " << k);
            const Eye e = eyeOf(quads[f][k]);
            EXPECT_NEAR(e.x - centre.x, 0.125 * faces[f][k][0], 1e-4);
            EXPECT_NEAR(e.y - centre.y, 0.125 * faces[f][k][1], 1e-4);
            EXPECT_NEAR(e.z - centre.z, 0.125 * faces[f][k][2], 2e-3);
            EXPECT_EQ(quads[f][k].tex[0], tex[k][0]);
            EXPECT_EQ(quads[f][k].tex[1], tex[k][1]);
            EXPECT_EQ(quads[f][k].color[0], 1.0f);
        }
    }
}

TEST_F(EasyOneTest, EveryUploadCompilesAFreshListAndDeletesThePreviousOne) {
    row.Setup(kWidth, kHeight);
    for (int run = 0; run < 5; ++run) {
        row.UploadTextures();
        row.DrawFrame(1000 * run);
        row.ReleaseTextures();
    }
    const unsigned list = CEasyOne::CubeList();
    EXPECT_TRUE(glIsList(list));
    int lists = 0;
    for (GLuint name = 1; name < 64; ++name) lists += glIsList(name) ? 1 : 0;
    EXPECT_EQ(lists, 1) << "earlier runs' lists must not pile up";
    EXPECT_EQ(host.uploads.size(), 5u);
    EXPECT_EQ(host.unUploads.size(), 5u);
}

TEST_F(EasyOneTest, ProjectionSwingsAndMirrorsUnderTheFifteenDegreeTurn) {
    row.Setup(kWidth, kHeight);
    row.UploadTextures();
    for (LONG t : {LONG(1000), LONG(3000), LONG(6000)}) {
        SCOPED_TRACE(testing::Message() << "t = " << t);
        row.DrawFrame(t);
        const double aspect = std::sin(t / 800.0) * double(float(kWidth) / float(kHeight));
        const Matrix expected = matrixBuiltBy(GL_PROJECTION, [&] {
            gluPerspective(45.0, aspect, 0.1, 200.0);
            glRotatef(-15.0f, 0.0f, 1.0f, 0.0f);
        });
        const Matrix actual = currentMatrix(GL_PROJECTION_MATRIX);
        EXPECT_LT(maxDifference(actual, expected), 1e-5f);
        // Mirrored left to right exactly while the sine is negative.
        EXPECT_EQ(actual[0] < 0, std::sin(t / 800.0) < 0);
    }
    // At t = 0 the aspect is 0 and gluPerspective declines it: only the turn remains.
    row.DrawFrame(0);
    const Matrix turnOnly = matrixBuiltBy(GL_PROJECTION, [] { glRotatef(-15.0f, 0.0f, 1.0f, 0.0f); });
    EXPECT_LT(maxDifference(currentMatrix(GL_PROJECTION_MATRIX), turnOnly), 1e-6f);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(EasyOneTest, FrameRestoresEnablesButLeavesFogTextureEnvironmentAndMatrices) {
    row.Setup(kWidth, kHeight);
    row.UploadTextures();
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_DENSITY, 0.5f);
    glFogf(GL_FOG_START, 3.0f);
    glFogf(GL_FOG_END, 9.0f);
    glHint(GL_FOG_HINT, GL_FASTEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glShadeModel(GL_FLAT);
    glViewport(1, 1, 2, 2);
    glMatrixMode(GL_PROJECTION);

    const LONG t = 1000;
    row.DrawFrame(t);

    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(currentInt(GL_FOG_MODE), GL_EXP);
    GLfloat fog = 0;
    glGetFloatv(GL_FOG_DENSITY, &fog);
    EXPECT_FLOAT_EQ(fog, 0.08f);
    glGetFloatv(GL_FOG_START, &fog);
    EXPECT_EQ(fog, 0.0f);
    glGetFloatv(GL_FOG_END, &fog);
    EXPECT_EQ(fog, 1.0f);
    EXPECT_EQ(currentInt(GL_FOG_HINT), GL_NICEST);
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
    EXPECT_EQ(currentInt(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(currentInts4(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, kWidth, kHeight}));
    EXPECT_EQ(currentInt(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(currentInt(GL_TEXTURE_BINDING_2D), GLint(row.texture));
    // The modelview keeps the last cube's translation.
    const Matrix modelview = currentMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_FLOAT_EQ(modelview[12], -0.4f);
    EXPECT_FLOAT_EQ(modelview[14], float(328.6 + 500.0 * std::sin(t / 50000.0)));
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(EasyOneTest, NearestCubesShowTheTextureAndTheDistantOnesFadeToTheFogColour) {
    row.Setup(kWidth, kHeight);
    row.UploadTextures();
    const GLfloat black[4] = {0, 0, 0, 0};
    glFogfv(GL_FOG_COLOR, black);
    // At t = 1257 the aspect is near its widest and cube 177 stands 0.43 units in front.
    row.DrawFrame(1257);
    int lit = 0;
    for (int x = 0; x < kWidth; ++x) {
        const auto p = gl.pixel(x, kHeight / 2);
        lit += (p[0] + p[1] + p[2]) > 30 ? 1 : 0;
    }
    EXPECT_GT(lit, kWidth / 8) << "the near cube fills part of the middle row";
    const auto top = gl.pixel(kWidth / 2, kHeight - 1);
    EXPECT_EQ(top[0] + top[1] + top[2], 0);
}
