// CPOLYGON: the tumbling angles, the swing and its near-plane gap, both copies on one line
// of sight, and the state a frame leaves behind.
#include "effects/texture/polygon.h"
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

class PolygonTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    TestHost host;
    CPolygon ico;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        EXPECT_EQ(ico.Setup(kWidth, kHeight), 0);
    }
};

// Window position of eye-space point (x, y, z) under the effect's perspective.
std::array<double, 2> projected(double x, double y, double z) {
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    const double aspect = double(kWidth) / kHeight;
    return {(1.0 + f / aspect * x / -z) / 2.0 * kWidth, (1.0 + f * y / -z) / 2.0 * kHeight};
}

// Mean window position of the vertices of the primitives carrying `token`.
std::array<double, 2> meanPosition(const std::vector<FeedbackPrimitive>& primitives, GLenum token) {
    double x = 0, y = 0;
    int n = 0;
    for (const auto& p : primitives)
        if (p.token == token)
            for (const auto& v : p.vertices) {
                x += v.x;
                y += v.y;
                ++n;
            }
    return {x / n, y / n};
}

// Horizontal extent on screen of the vertices of the primitives carrying `tokens`.
double screenWidth(const std::vector<FeedbackPrimitive>& primitives, std::initializer_list<GLenum> tokens) {
    double lo = 1e9, hi = -1e9;
    for (const auto& p : primitives)
        for (GLenum token : tokens)
            if (p.token == token)
                for (const auto& v : p.vertices) {
                    lo = std::min(lo, double(v.x));
                    hi = std::max(hi, double(v.x));
                }
    return hi - lo;
}

int countLines(const std::vector<FeedbackPrimitive>& primitives) {
    return countTokens(primitives, GL_LINE_TOKEN) + countTokens(primitives, GL_LINE_RESET_TOKEN);
}

}  // namespace

TEST(IcosahedronCentreTest, SwingsAlongTheDiagonalAndInDepthBetweenMinus27And3) {
    float p[3];
    IcosahedronCentre(0, p);
    EXPECT_EQ(p[0], 0.0f);
    EXPECT_EQ(p[1], 0.0f);
    EXPECT_EQ(p[2], -12.0f);
    IcosahedronCentre(1571, p);  // 1000 π / 2: the nearest point of the swing
    EXPECT_NEAR(p[2], 3.0f, 1e-5f);
    EXPECT_FLOAT_EQ(p[0], float(std::sin(1571 / 500.0)));
    EXPECT_EQ(p[0], p[1]);
    IcosahedronCentre(4712, p);  // 1000 · 3π / 2: the farthest
    EXPECT_NEAR(p[2], -27.0f, 1e-5f);
}

TEST_F(PolygonTest, AnglesStartAtOneDegreeAndWrapAfterAFullTurn) {
    EXPECT_EQ(ico.angleX, 0);
    ico.DrawFrame(0);
    EXPECT_EQ(ico.angleX, 1);
    EXPECT_EQ(ico.angleY, 1);
    EXPECT_EQ(ico.angleZ, 1);
    for (int frame = 1; frame < 359; ++frame) ico.DrawFrame(frame * 16);
    EXPECT_EQ(ico.angleX, 359);
    ico.DrawFrame(6000);
    EXPECT_EQ(ico.angleX, 0);
    EXPECT_EQ(ico.angleZ, 0);
}

TEST_F(PolygonTest, SetupSetsTheFullViewportAndLoadsNothing) {
    EXPECT_EQ(currentInts4(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, kWidth, kHeight}));
    EXPECT_TRUE(host.textureRequests.empty());
    ico.UploadTextures();
    ico.ReleaseTextures();
    EXPECT_TRUE(host.uploads.empty());
}

TEST_F(PolygonTest, SolidCoreAndWireframeShareOneLineOfSight) {
    for (LONG t : {LONG(0), LONG(400), LONG(2600)}) {
        SCOPED_TRACE(testing::Message() << "t = " << t);
        const auto drawn = captureFeedback([&] { ico.DrawFrame(t); });
        EXPECT_EQ(countTokens(drawn, GL_POLYGON_TOKEN), 20) << "the solid's twenty triangles";
        EXPECT_EQ(countLines(drawn), 60) << "the wireframe's twenty triangles as edges";
        float p[3];
        IcosahedronCentre(t, p);
        const auto solid = projected(1.5 * p[0], 1.5 * p[1], 1.5 * p[2]);
        const auto wire = projected(p[0], p[1], p[2]);
        const auto solidMean = meanPosition(drawn, GL_POLYGON_TOKEN);
        // Every vertex appears five times in the table: the mean is the projected centre,
        // up to a little perspective.
        EXPECT_NEAR(solidMean[0], solid[0], 0.6);
        EXPECT_NEAR(solidMean[1], solid[1], 0.6);
        EXPECT_NEAR(solid[0], wire[0], 1e-6);
        EXPECT_NEAR(solid[1], wire[1], 1e-6);
        // Same shape, 1.5 times as far: two thirds of the wireframe's size on screen.
        const double ratio = screenWidth(drawn, {GL_POLYGON_TOKEN}) /
                             screenWidth(drawn, {GL_LINE_TOKEN, GL_LINE_RESET_TOKEN});
        EXPECT_NEAR(ratio, 2.0 / 3.0, 0.04);
    }
}

TEST_F(PolygonTest, BothCopiesVanishBehindTheNearPlaneWhileTheDepthSineExceeds086) {
    // sin(t / 1000) > 0.86 from t ≈ 1035 to 2106.
    for (LONG t : {LONG(1040), LONG(1300), LONG(1571), LONG(1900), LONG(2100)}) {
        const auto drawn = captureFeedback([&] { ico.DrawFrame(t); });
        EXPECT_TRUE(drawn.empty()) << "t = " << t << ": " << drawn.size() << " primitives";
    }
    // Before and after the gap, swinging past the viewer, parts of them are in view.
    for (LONG t : {LONG(700), LONG(2400)}) {
        const auto drawn = captureFeedback([&] { ico.DrawFrame(t); });
        EXPECT_FALSE(drawn.empty()) << "t = " << t;
    }
}

TEST_F(PolygonTest, FrameRestoresEnablesButLeavesLightMaterialFogAndProjection) {
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT7);
    glDisable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
    glEnable(GL_FOG);
    glHint(GL_FOG_HINT, GL_NICEST);
    glViewport(0, 0, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    const Matrix modelviewBefore = currentMatrix(GL_MODELVIEW_MATRIX);

    ico.DrawFrame(0);

    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT7));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_FOG)) << "fog is neither enabled nor disabled by the frame";
    EXPECT_EQ(currentInt(GL_BLEND_SRC), GL_DST_COLOR);
    EXPECT_EQ(currentInt(GL_BLEND_DST), GL_ZERO);
    EXPECT_EQ(currentInts4(GL_POLYGON_MODE)[0], GL_POINT);
    EXPECT_EQ(currentInt(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(maxDifference(currentMatrix(GL_MODELVIEW_MATRIX), modelviewBefore), 0.0f);
    const Matrix perspective = matrixBuiltBy(GL_PROJECTION, [] {
        gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 200.0);
    });
    EXPECT_LT(maxDifference(currentMatrix(GL_PROJECTION_MATRIX), perspective), 1e-6f);
    EXPECT_EQ(currentInts4(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, kWidth, kHeight}));

    // The light's position went through the modelview found on entry.
    GLfloat position[4];
    glGetLightfv(GL_LIGHT7, GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[0], 1.0f);
    EXPECT_FLOAT_EQ(position[1], 2.0f);
    EXPECT_FLOAT_EQ(position[2], -12.0f);
    GLfloat colour[4];
    glGetLightfv(GL_LIGHT7, GL_SPECULAR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    glGetLightfv(GL_LIGHT7, GL_DIFFUSE, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.3f);
    glGetMaterialfv(GL_BACK, GL_DIFFUSE, colour);
    EXPECT_FLOAT_EQ(colour[3], 0.5f);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, colour);
    EXPECT_EQ(colour[0], 100.0f);
    EXPECT_EQ(currentInt(GL_FOG_MODE), GL_EXP);
    GLfloat density = 0;
    glGetFloatv(GL_FOG_DENSITY, &density);
    EXPECT_FLOAT_EQ(density, 0.1f);
    EXPECT_EQ(currentInt(GL_FOG_HINT), GL_DONT_CARE);
    EXPECT_EQ(currentInt(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(PolygonTest, TranslucentSolidAddsHalfItsLightOntoThePicture) {
    glClearColor(0.0f, 0.0f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ico.DrawFrame(0);
    const auto centre = gl.pixel(kWidth / 2, kHeight / 2);
    EXPECT_GT(centre[0], 10) << "the solid core adds its lit grey";
    EXPECT_GE(centre[2], 102) << "added onto the blue, never replacing it";
    const auto corner = gl.pixel(1, 1);
    EXPECT_EQ(corner[0], 0);
    EXPECT_EQ(corner[2], 102);
}
