// CTUNNEL and CTUNNELV: the spin, the breathing and mirroring projection, the viewports, the
// model-view stack, the unlit drawing in the current colour and the missing-model path.
#include "effects/scene/tunnel.h"
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
const double kCotHalfFov = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
const double kRatio = double(float(double(kWidth) / kHeight));

class TunnelTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    TestHost host;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        host.useDirectory(GLIMMERQ_DATA_DIR);
    }
};

}  // namespace

TEST_F(TunnelTest, SpinRunsFromOneTo359ThenWrapsToZero) {
    CTunnel tunnel;
    ASSERT_EQ(tunnel.Setup(kWidth, kHeight), 0);
    EXPECT_EQ(tunnel.angle, 0);
    glViewport(0, 0, 1, 1);  // keep the 361 frames cheap: the effect sets its own viewport anyway
    for (int frame = 1; frame <= 361; ++frame) {
        tunnel.DrawFrame(frame * 16);
        ASSERT_EQ(tunnel.angle, frame % 360) << "frame " << frame;
    }
}

TEST_F(TunnelTest, AspectBreathesWithTheSineOfElapsedTimeAndMirrorsBelowZero) {
    CTunnel tunnel;
    tunnel.Setup(kWidth, kHeight);

    // Exactly 0: gluPerspective leaves the identity it was given.
    tunnel.DrawFrame(0);
    const auto zero = matrix(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(zero[size_t(i)], i % 5 == 0 ? 1.0f : 0.0f) << i;

    const struct {
        int elapsed;
        bool mirrored;
    } cases[] = {{1257, false}, {2000, false}, {3770, true}, {4500, true}};
    for (const auto& c : cases) {
        tunnel.DrawFrame(c.elapsed);
        const auto p = matrix(GL_PROJECTION_MATRIX);
        const double aspect = std::sin(c.elapsed / 800.0) * kRatio;
        EXPECT_NEAR(p[0], kCotHalfFov / aspect, 1e-4) << "elapsed " << c.elapsed;
        EXPECT_EQ(p[0] < 0, c.mirrored) << "elapsed " << c.elapsed;
        EXPECT_NEAR(p[5], kCotHalfFov, 1e-5);
        EXPECT_NEAR(p[10], -1001.0 / 999.0, 1e-5);
    }
}

TEST_F(TunnelTest, QuarterIsTheLowerRightWithTheWholeWindowsRatio) {
    CTunnelV quarter;
    quarter.Setup(kWidth, kHeight);
    quarter.DrawFrame(1257);  // sin ≈ 1
    EXPECT_EQ(viewport(), (std::array<int, 4>{320, 0, 320, 240}));
    EXPECT_NEAR(matrix(GL_PROJECTION_MATRIX)[0], kCotHalfFov / (std::sin(1257 / 800.0) * kRatio), 1e-5);

    CTunnel whole;
    whole.Setup(kWidth, kHeight);
    whole.DrawFrame(1257);
    EXPECT_EQ(viewport(), (std::array<int, 4>{0, 0, kWidth, kHeight}));
}

TEST_F(TunnelTest, LeavesTheModelViewStackAsDeepAsFoundWithTheIdentity) {
    CTunnel tunnel;
    tunnel.Setup(kWidth, kHeight);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    glPushMatrix();
    glRotatef(30, 0, 0, 1);
    tunnel.DrawFrame(1000);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 2);
    const auto m = matrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m[size_t(i)], i % 5 == 0 ? 1.0f : 0.0f) << i;
    glPopMatrix();
    EXPECT_FLOAT_EQ(matrix(GL_MODELVIEW_MATRIX)[12], 1.0f) << "the entry below is untouched";
}

TEST_F(TunnelTest, RestoresSavedGroupsAndLeavesFogAndHints) {
    CTunnel tunnel;
    tunnel.Setup(kWidth, kHeight);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glDepthFunc(GL_ALWAYS);
    glHint(GL_FOG_HINT, GL_NICEST);
    tunnel.DrawFrame(1000);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_ALWAYS);
    EXPECT_EQ(integer(GL_FOG_MODE), GL_EXP);
    EXPECT_FLOAT_EQ(real(GL_FOG_DENSITY), 0.05f);
    EXPECT_FLOAT_EQ(real(GL_FOG_END), 1.0f);
    EXPECT_EQ(integer(GL_FOG_HINT), GL_DONT_CARE);
    EXPECT_EQ(integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(TunnelTest, DrawsUnlitInTheCurrentColourFillingTheWindow) {
    CTunnel tunnel;
    tunnel.Setup(kWidth, kHeight);
    tunnel.UploadTextures();
    glColor3f(1.0f, 0.0f, 0.0f);  // left by the layer before
    tunnel.DrawFrame(1257);
    const auto picture = gl.picture();
    int red = 0, other = 0;
    for (size_t i = 0; i < picture.size(); i += 4) {
        red += picture[i] > 8;
        other += picture[i + 1] + picture[i + 2];
    }
    EXPECT_GT(red, kWidth * kHeight / 3) << "the walls surround the viewer";
    EXPECT_EQ(other, 0) << "texture modulated by the current colour only";
    // The fog swallows the far end, seen right of the centre where the tube runs away.
    bool blackHole = false;
    for (int y = 140; y < 340 && !blackHole; y += 10)
        for (int x = kWidth / 2; x < kWidth - 10 && !blackHole; x += 10) blackHole = litPixels(gl, x, y, x + 10, y + 10) == 0;
    EXPECT_TRUE(blackHole);
    EXPECT_GT(litPixels(gl, 0, 0, 100, 100), 9000) << "the near wall, lower left";
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(TunnelTest, DrawsTheSamePictureInTheLowerRightQuarterOnly) {
    CTunnelV tunnel;
    tunnel.Setup(kWidth, kHeight);
    tunnel.UploadTextures();
    glColor3f(1, 1, 1);
    tunnel.DrawFrame(1257);
    EXPECT_GT(litPixels(gl, 320, 0, 640, 240), 320 * 240 / 3);
    EXPECT_EQ(litPixels(gl, 0, 0, 320, kHeight) + litPixels(gl, 320, 240, kWidth, kHeight), 0);
}

TEST_F(TunnelTest, MissingModelReportsAndThenDoesNothing) {
    TestHost empty;  // no data at all
    CTunnelV tunnel;
    EXPECT_EQ(tunnel.Setup(kWidth, kHeight), 0);
    ASSERT_EQ(empty.messages.size(), 1u);
    EXPECT_EQ(empty.messages[0], "Error: Couldn't load the model dat\\tunnel.ms3d");
    glViewport(1, 2, 3, 4);
    tunnel.UploadTextures();
    tunnel.DrawFrame(1257);
    tunnel.ReleaseTextures();
    EXPECT_EQ(viewport(), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_TRUE(empty.uploads.empty());
    EXPECT_TRUE(empty.unUploads.empty());
    EXPECT_EQ(litPixels(gl, 0, 0, kWidth, kHeight), 0);
}

TEST_F(TunnelTest, UploadsOnlyNamedTextures) {
    TestHost memory;
    assets::Ms3dModel m = ms3d_samples::square(1.0f, 1);
    m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1, ""));
    m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1, ".\\wall.jpg"));
    memory.data.put("tunnel.ms3d", ms3d_samples::bytes(m));
    putTexture(memory, "wall.jpg");
    CTunnel tunnel;
    tunnel.Setup(kWidth, kHeight);
    tunnel.UploadTextures();
    ASSERT_EQ(memory.uploads.size(), 1u);
    EXPECT_EQ(memory.uploads[0], tunnel.model->materials[1].texture);
    EXPECT_EQ(memory.textureRequests.size(), 2u);
    tunnel.ReleaseTextures();
    EXPECT_EQ(memory.unUploads, memory.uploads);
}

// CTUNNEL and CTUNNELV share "tunnel.ms3d"'s texture (one handle): the quarter stopping must
// not strip the whole-window tunnel of its texture from the next frame on.
TEST_F(TunnelTest, WholeTunnelKeepsItsTextureWhenTheQuarterTwinStops) {
    CTunnel whole;
    CTunnelV quarter;
    whole.Setup(kWidth, kHeight);
    quarter.Setup(kWidth, kHeight);
    ASSERT_TRUE(whole.modelLoaded && quarter.modelLoaded);
    ASSERT_GT(whole.model->numMaterials, 0);
    ASSERT_NE(whole.model->materials[0].texture, 0u);
    ASSERT_EQ(whole.model->materials[0].texture, quarter.model->materials[0].texture) << "the twins share one handle";
    whole.UploadTextures();
    quarter.UploadTextures();

    const auto frame = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1, 1, 1);
        whole.angle = 40;  // the same turn in both frames
        whole.DrawFrame(1257);
        return gl.picture();
    };
    const std::vector<unsigned char> bothRunning = frame();
    quarter.ReleaseTextures();
    const std::vector<unsigned char> afterQuarterStopped = frame();

    ASSERT_GT(litPixels(gl, 0, 0, kWidth, kHeight), kWidth * kHeight / 4);
    EXPECT_EQ(differingBytes(bothRunning, afterQuarterStopped), 0u)
        << "of " << bothRunning.size() << " bytes, after CTUNNELV released the shared texture";
    whole.ReleaseTextures();
    EXPECT_FALSE(host.textures().isResident(whole.model->materials[0].texture)) << "freed by the last run";
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}
