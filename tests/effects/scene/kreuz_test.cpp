// CKREUZ and CKREUZV: the turn and sway read back from the model-view matrix, the viewports,
// the state left for the next layer, textures, and the missing-model path.
#include "effects/scene/kreuz.h"
#include "tests/effects/scene/scene_checks.h"
#include "tests/model/ms3d_samples.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using glimmerq::testing::GlFixture;
using glimmerq::testing::TestHost;
using namespace scene_checks;

namespace {

constexpr int kWidth = 641;
constexpr int kHeight = 481;
constexpr double kDegrees = 3.14159265358979323846 / 180.0;

class KreuzTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    TestHost host;
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }
    void useGeneratedData() { host.useDirectory(GLIMMERQ_DATA_DIR); }
};

// The expected eye-space z of the model for an elapsed time, from the sway's formula.
double swayZ(int elapsed) { return 150.0 * std::sin(double(float((elapsed + 1) / 1000.0))) - 260.0; }

}  // namespace

TEST_F(KreuzTest, AngleRunsFromOneToSixtyNineThenWrapsToZero) {
    useGeneratedData();
    CKreuz kreuz;
    ASSERT_EQ(kreuz.Setup(kWidth, kHeight), 0);
    EXPECT_EQ(kreuz.angle, 0);
    EXPECT_EQ(kreuz.timeOrigin, -1);
    for (int frame = 1; frame <= 71; ++frame) {
        kreuz.DrawFrame(1000);  // sin > 0: a turn about +y
        const int expected = frame % 70;
        ASSERT_EQ(kreuz.angle, expected) << "frame " << frame;
        const auto m = matrix(GL_MODELVIEW_MATRIX);
        ASSERT_NEAR(m[0], std::cos(expected * kDegrees), 1e-5) << "frame " << frame;
        ASSERT_NEAR(m[8], std::sin(expected * kDegrees), 1e-5) << "frame " << frame;
    }
}

TEST_F(KreuzTest, SwaysBetweenOneHundredTenAndFourHundredTenUnitsAway) {
    useGeneratedData();
    CKreuz kreuz;
    kreuz.Setup(kWidth, kHeight);
    const struct {
        int elapsed;
        double z;
    } cases[] = {{0, -259.85}, {1570, -110.0}, {4711, -410.0}, {3000, swayZ(3000)}};
    for (const auto& c : cases) {
        kreuz.DrawFrame(c.elapsed);
        const auto m = matrix(GL_MODELVIEW_MATRIX);
        EXPECT_NEAR(m[14], c.z, 0.01) << "elapsed " << c.elapsed;
        EXPECT_FLOAT_EQ(m[12], 0.0f);
        EXPECT_FLOAT_EQ(m[13], -55.0f);
    }
}

TEST_F(KreuzTest, ZeroSineGivesAZeroAxisAndTheLastMillisecondWrapsHarmlessly) {
    useGeneratedData();
    CKreuz kreuz;
    kreuz.Setup(kWidth, kHeight);
    kreuz.DrawFrame(-1);  // t = 0: s = 0, the axis (0, 0, 0) is passed all the same
    EXPECT_EQ(kreuz.angle, 1);
    const auto m = matrix(GL_MODELVIEW_MATRIX);
    EXPECT_FLOAT_EQ(m[14], -260.0f);
    EXPECT_FLOAT_EQ(m[13], -55.0f);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
    // elapsed - timeOrigin passes the 32-bit range here: it wraps, as the original's did.
    kreuz.DrawFrame(2147483647);
    const double t = double(float(-2147483648.0 / 1000.0));
    EXPECT_NEAR(matrix(GL_MODELVIEW_MATRIX)[14], 150.0 * std::sin(t) - 260.0, 0.01);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(KreuzTest, TurnSenseFlipsWithTheSignOfTheSine) {
    useGeneratedData();
    CKreuz kreuz;
    kreuz.Setup(kWidth, kHeight);
    for (int i = 0; i < 29; ++i) kreuz.DrawFrame(0);
    kreuz.DrawFrame(1000);  // angle 30, sin(1.001) > 0
    const auto positive = matrix(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(positive[8], 0.5, 1e-5) << "about +y: x takes +sin(angle) of z";
    EXPECT_NEAR(positive[2], -0.5, 1e-5);

    for (int i = 0; i < 69; ++i) kreuz.DrawFrame(0);
    ASSERT_EQ(kreuz.angle, 29);
    kreuz.DrawFrame(4000);  // angle 30 again, sin(4.001) < 0
    const auto negative = matrix(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(negative[8], -0.5, 1e-5) << "about -y: the opposite sense";
    EXPECT_NEAR(negative[2], 0.5, 1e-5);
    EXPECT_NEAR(negative[0], positive[0], 1e-6);
}

TEST_F(KreuzTest, QuarterViewportKeepsTheWholeWindowsAspect) {
    useGeneratedData();
    CKreuzV quarter;
    quarter.Setup(kWidth, kHeight);
    quarter.DrawFrame(0);
    EXPECT_EQ(viewport(), (std::array<int, 4>{0, 240, 320, 240}));
    const auto p = matrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p[0], double(kHeight) / kWidth, 1e-6) << "90° field of view, aspect 641/481";
    EXPECT_NEAR(p[5], 1.0, 1e-6);
    EXPECT_NEAR(p[10], -1001.0 / 999.0, 1e-5);
    EXPECT_NEAR(p[14], -2000.0 / 999.0, 1e-5);

    CKreuz whole;
    whole.Setup(kWidth, kHeight);
    whole.DrawFrame(0);
    EXPECT_EQ(viewport(), (std::array<int, 4>{0, 0, kWidth, kHeight}));
    EXPECT_NEAR(matrix(GL_PROJECTION_MATRIX)[0], double(kHeight) / kWidth, 1e-6);
}

TEST_F(KreuzTest, RestoresSavedGroupsAndLeavesViewportMatricesFogAndHints) {
    useGeneratedData();
    CKreuz kreuz;
    kreuz.Setup(kWidth, kHeight);
    glEnable(GL_BLEND);
    glDepthFunc(GL_GREATER);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    glClearDepth(0.5);
    glShadeModel(GL_FLAT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glHint(GL_FOG_HINT, GL_FASTEST);
    glMatrixMode(GL_TEXTURE);
    glViewport(1, 2, 3, 4);

    kreuz.DrawFrame(2000);

    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_GREATER);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[3], 0.4f);
    EXPECT_FLOAT_EQ(real(GL_DEPTH_CLEAR_VALUE), 0.5f);

    EXPECT_EQ(viewport(), (std::array<int, 4>{0, 0, kWidth, kHeight}));
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(integer(GL_FOG_HINT), GL_DONT_CARE);
    EXPECT_EQ(integer(GL_FOG_MODE), GL_EXP);
    EXPECT_FLOAT_EQ(real(GL_FOG_DENSITY), 0.004f);
    EXPECT_FLOAT_EQ(real(GL_FOG_START), 0.0f);
    EXPECT_FLOAT_EQ(real(GL_FOG_END), 1000.0f);
    EXPECT_NEAR(matrix(GL_MODELVIEW_MATRIX)[14], swayZ(2000), 0.01);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(KreuzTest, DrawsTheCrossBelowTheEyeAndTheQuarterOnlyInItsQuarter) {
    useGeneratedData();
    CKreuz whole;
    whole.Setup(kWidth, kHeight);
    whole.UploadTextures();
    whole.DrawFrame(1570);  // nearest
    const int below = litPixels(gl, 0, 0, kWidth, kHeight / 2);
    EXPECT_GT(below, 5000);
    EXPECT_EQ(litPixels(gl, 0, kHeight * 3 / 4, kWidth, kHeight), 0) << "nothing in the top quarter";
    // Fogged but lit: brighter near than far.
    const int nearLit = below;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    whole.DrawFrame(4711);
    EXPECT_LT(litPixels(gl, 0, 0, kWidth, kHeight), nearLit / 3) << "smaller when far";

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    CKreuzV quarter;
    quarter.Setup(kWidth, kHeight);
    quarter.UploadTextures();
    quarter.DrawFrame(1570);
    EXPECT_GT(litPixels(gl, 0, 240, 320, 480), 1000);
    EXPECT_EQ(litPixels(gl, 0, 0, kWidth, 240) + litPixels(gl, 320, 240, kWidth, kHeight), 0);
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(KreuzTest, UploadsNamedTexturesAfterRequestingThemAgain) {
    assets::Ms3dModel m = ms3d_samples::square(1.0f, 0);
    m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1, ".\\tex.jpg"));
    m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1, ""));
    host.data.put("block.ms3d", ms3d_samples::bytes(m));
    putTexture(host, "tex.jpg");
    CKreuzV kreuz;
    kreuz.Setup(kWidth, kHeight);
    ASSERT_EQ(host.textureRequests.size(), 1u);
    kreuz.UploadTextures();
    EXPECT_EQ(host.textureRequests.size(), 2u) << "requested again before every upload";
    ASSERT_EQ(host.uploads.size(), 1u) << "the material without a texture is not uploaded";
    EXPECT_NE(host.uploads[0], 0u);
    EXPECT_EQ(host.uploads[0], kreuz.model->materials[0].texture);
    kreuz.ReleaseTextures();
    ASSERT_EQ(host.unUploads.size(), 1u);
    EXPECT_EQ(host.unUploads[0], host.uploads[0]);
    kreuz.UploadTextures();
    EXPECT_EQ(host.textureRequests.size(), 3u);
    EXPECT_EQ(host.uploads.size(), 2u);
}

TEST_F(KreuzTest, MissingModelReportsOnceAndThenDoesNothing) {
    for (int quarter = 0; quarter < 2; ++quarter) {
        host.messages.clear();
        CKreuz whole;
        CKreuzV part;
        CKreuzScene& kreuz = quarter ? static_cast<CKreuzScene&>(part) : whole;
        EXPECT_EQ(kreuz.Setup(kWidth, kHeight), 0);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], "Error: Couldn't load the model dat\\block.ms3d");
        EXPECT_EQ(kreuz.width, 0) << "size left unwritten";

        glViewport(1, 2, 3, 4);
        kreuz.UploadTextures();
        kreuz.DrawFrame(1570);
        kreuz.ReleaseTextures();
        EXPECT_TRUE(host.textureRequests.empty());
        EXPECT_TRUE(host.uploads.empty());
        EXPECT_TRUE(host.unUploads.empty());
        EXPECT_EQ(viewport(), (std::array<int, 4>{1, 2, 3, 4})) << "no GL state touched";
        EXPECT_EQ(kreuz.angle, 0);
        EXPECT_EQ(litPixels(gl, 0, 0, kWidth, kHeight), 0);
        EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
        EXPECT_EQ(host.openFiles, 0);
    }
}

// CKREUZ and CKREUZV share "block.ms3d"'s texture (one handle): the quarter stopping must not
// strip the whole-window scene of its texture.
TEST_F(KreuzTest, WholeSceneKeepsItsTextureWhenTheQuarterTwinStops) {
    useGeneratedData();
    CKreuz whole;
    CKreuzV quarter;
    whole.Setup(kWidth, kHeight);
    quarter.Setup(kWidth, kHeight);
    ASSERT_GT(whole.model->numMaterials, 0);
    ASSERT_NE(whole.model->materials[0].texture, 0u);
    ASSERT_EQ(whole.model->materials[0].texture, quarter.model->materials[0].texture) << "the twins share one handle";
    whole.UploadTextures();
    quarter.UploadTextures();

    const auto frame = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1, 1, 1);
        whole.angle = 20;  // the same turn in both frames
        whole.DrawFrame(1570);
        return gl.picture();
    };
    const std::vector<unsigned char> bothRunning = frame();
    quarter.ReleaseTextures();
    const std::vector<unsigned char> afterQuarterStopped = frame();

    ASSERT_GT(litPixels(gl, 0, 0, kWidth, kHeight), 1000);
    EXPECT_EQ(differingBytes(bothRunning, afterQuarterStopped), 0u)
        << "of " << bothRunning.size() << " bytes, after CKREUZV released the shared texture";
    whole.ReleaseTextures();
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}
