// CGREETZ, COUTRO and CTERRAIN: additive drawing on real pixels, positions, independence of
// time, the state left behind and the missing-model path.
#include "effects/scene/greetz.h"
#include "effects/scene/outro.h"
#include "effects/scene/terrain.h"
#include "tests/effects/scene/scene_checks.h"
#include "tests/model/ms3d_samples.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

using glimmerq::testing::GlFixture;
using glimmerq::testing::TestHost;
using namespace scene_checks;

namespace {

constexpr int kWidth = 641;
constexpr int kHeight = 481;

struct OverlayCase {
    const char* file;
    std::unique_ptr<CModelOverlay> (*make)();
    float x, y, z;
};

template <class T>
std::unique_ptr<CModelOverlay> make() {
    return std::make_unique<T>();
}

const OverlayCase kOverlays[] = {
    {"greetz.ms3d", make<CGreetz>, 0.7f, 0.2f, -3.0f},
    {"outro.ms3d", make<COutro>, 0.0f, 0.5f, -2.6f},
    {"quorvoxe.ms3d", make<CTerrain>, 0.0f, 0.2f, -2.5f},
};

class OverlayTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    TestHost host;
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    void fill(float r, float g, float b) {
        glClearColor(r, g, b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // A square covering the whole view, glowing in one colour with the given alpha.
    void putGlowingSquare(const char* file, float r, float g, float b, float alpha) {
        assets::Ms3dModel m = ms3d_samples::square(10.0f, 0);
        m.materials.push_back(ms3d_samples::glowing(r, g, b, alpha));
        host.data.put(file, ms3d_samples::bytes(m));
    }
    std::array<unsigned char, 4> centre() const { return gl.pixel(kWidth / 2, kHeight / 2); }
};

}  // namespace

TEST_F(OverlayTest, AddsColourWeightedByAlphaClampingAtFullIntensity) {
    const struct {
        float alpha;
        int r, g, b;
    } cases[] = {{1.0f, 191, 191, 255}, {0.5f, 128, 159, 255}, {0.0f, 64, 128, 255}};
    for (const auto& c : cases) {
        putGlowingSquare("greetz.ms3d", 0.5f, 0.25f, 0.0f, c.alpha);
        CGreetz greetz;
        greetz.Setup(kWidth, kHeight);
        fill(0.25f, 0.5f, 1.0f);
        greetz.DrawFrame(0);
        const auto p = centre();
        EXPECT_NEAR(p[0], c.r, 2) << "alpha " << c.alpha;
        EXPECT_NEAR(p[1], c.g, 2) << "alpha " << c.alpha;
        EXPECT_EQ(p[2], c.b) << "alpha " << c.alpha;
    }
    // Already white stays white.
    putGlowingSquare("greetz.ms3d", 0.5f, 0.25f, 0.0f, 1.0f);
    CGreetz greetz;
    greetz.Setup(kWidth, kHeight);
    fill(1, 1, 1);
    greetz.DrawFrame(0);
    EXPECT_EQ(centre(), (std::array<unsigned char, 4>{255, 255, 255, 255}));
}

TEST_F(OverlayTest, EachStandsAtItsOwnPlace) {
    for (const auto& overlay : kOverlays) {
        assets::Ms3dModel m = ms3d_samples::square(0.05f, 0);
        m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1));
        host.data.put(overlay.file, ms3d_samples::bytes(m));
        auto effect = overlay.make();
        effect->Setup(kWidth, kHeight);
        fill(0, 0, 0);
        effect->DrawFrame(0);
        const auto mv = matrix(GL_MODELVIEW_MATRIX);
        EXPECT_FLOAT_EQ(mv[12], overlay.x) << overlay.file;
        EXPECT_FLOAT_EQ(mv[13], overlay.y) << overlay.file;
        EXPECT_FLOAT_EQ(mv[14], overlay.z) << overlay.file;
        // 90° field of view: a point at (x, y, z) lands at x / -z of the half-height.
        const double aspect = double(kWidth) / kHeight;
        const int px = int((1.0 + overlay.x / -overlay.z / aspect) * kWidth / 2);
        const int py = int((1.0 + overlay.y / -overlay.z) * kHeight / 2);
        EXPECT_GT(gl.pixel(px, py)[0], 200) << overlay.file << " at " << px << ", " << py;
        EXPECT_EQ(litPixels(gl, 0, 0, kWidth, kHeight), litPixels(gl, px - 20, py - 20, px + 20, py + 20))
            << overlay.file << " draws nowhere else";
    }
}

TEST_F(OverlayTest, PictureDoesNotDependOnTheTime) {
    host.useDirectory(GLIMMERQ_DATA_DIR);
    for (const auto& overlay : kOverlays) {
        auto effect = overlay.make();
        effect->Setup(kWidth, kHeight);
        effect->UploadTextures();
        fill(0.1f, 0.1f, 0.2f);
        effect->DrawFrame(0);
        const auto first = gl.picture();
        fill(0.1f, 0.1f, 0.2f);
        effect->DrawFrame(987654);
        EXPECT_EQ(gl.picture(), first) << overlay.file;
        effect->ReleaseTextures();
    }
}

TEST_F(OverlayTest, OurModelsAddVisibleTextWithoutDarkeningTheFrame) {
    host.useDirectory(GLIMMERQ_DATA_DIR);
    for (const auto& overlay : kOverlays) {
        auto effect = overlay.make();
        effect->Setup(kWidth, kHeight);
        effect->UploadTextures();
        fill(0.2f, 0.2f, 0.2f);
        const auto before = gl.picture();
        effect->DrawFrame(0);
        const auto after = gl.picture();
        int brighter = 0;
        for (size_t i = 0; i < after.size(); ++i) {
            ASSERT_GE(after[i], before[i]) << overlay.file << " darkened byte " << i;
            brighter += after[i] > before[i] + 40;
        }
        EXPECT_GT(brighter, 3000) << overlay.file;
    }
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(OverlayTest, RestoresSavedGroupsLeavesCameraAndDoesNotTouchFog) {
    putGlowingSquare("outro.ms3d", 1, 1, 1, 1);
    COutro outro;
    outro.Setup(kWidth, kHeight);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glEnable(GL_FOG);
    glFogf(GL_FOG_DENSITY, 0.3f);
    glHint(GL_FOG_HINT, GL_FASTEST);
    glViewport(5, 5, 10, 10);
    outro.DrawFrame(0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_ZERO);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_SRC_COLOR);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_FLOAT_EQ(real(GL_FOG_DENSITY), 0.3f);
    EXPECT_EQ(integer(GL_FOG_HINT), GL_FASTEST);
    EXPECT_EQ(viewport(), (std::array<int, 4>{0, 0, kWidth, kHeight}));
    const auto p = matrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p[0], double(kHeight) / kWidth, 1e-6);
    EXPECT_NEAR(p[10], -5001.0 / 4999.0, 1e-5);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(OverlayTest, UploadsOnlyNamedTexturesRequestingThemAgain) {
    assets::Ms3dModel m = ms3d_samples::square(1.0f, 0);
    m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1, ".\\letters.jpg"));
    m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1, ""));
    host.data.put("quorvoxe.ms3d", ms3d_samples::bytes(m));
    putTexture(host, "letters.jpg");
    CTerrain terrain;
    terrain.Setup(kWidth, kHeight);
    terrain.UploadTextures();
    terrain.ReleaseTextures();
    EXPECT_EQ(host.textureRequests.size(), 2u);
    ASSERT_EQ(host.uploads.size(), 1u);
    EXPECT_NE(host.uploads[0], 0u);
    EXPECT_EQ(host.unUploads, host.uploads);
}

TEST_F(OverlayTest, MissingModelsReportTheirOwnFileAndDrawNothing) {
    for (const auto& overlay : kOverlays) {
        host.messages.clear();
        auto effect = overlay.make();
        EXPECT_EQ(effect->Setup(kWidth, kHeight), 0);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], std::string("Error: Couldn't load the model dat\\") + overlay.file);
        fill(0, 0, 0);
        glViewport(1, 2, 3, 4);
        effect->UploadTextures();
        effect->DrawFrame(0);
        effect->ReleaseTextures();
        EXPECT_EQ(viewport(), (std::array<int, 4>{1, 2, 3, 4}));
        EXPECT_EQ(litPixels(gl, 0, 0, kWidth, kHeight), 0);
        EXPECT_TRUE(host.uploads.empty());
    }
}
