// CWOBBEL and DrawTexturedGrid: quad order and corners, the wobbling coordinates, the
// mirrored full-screen placement, the missing-buffer path and the state left behind.
#include "effects/texture/wobbel.h"
#include "tests/effects/texture/gl_readback.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace glimmerq::testing;

namespace {

constexpr int kWidth = 80;
constexpr int kHeight = 60;

class WobbelTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    TestHost host;
    CWobbel jelly;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        host.useDirectory(GLIMMERQ_DATA_DIR);
        glViewport(0, 0, kWidth, kHeight);
    }
};

// Window position of normalised device coordinates.
float windowX(double ndcX) { return float((ndcX + 1.0) / 2.0 * kWidth); }
float windowY(double ndcY) { return float((ndcY + 1.0) / 2.0 * kHeight); }

// A heap that is always exhausted.
class CWobbelWithoutMemory : public CWobbel {
protected:
    float* AllocateGridCoordinates() override { return nullptr; }
};

}  // namespace

TEST_F(WobbelTest, GridDrawsRowMajorQuadsBetweenTheTwoCorners) {
    // 4 columns x 3 rows; entry (r, c) carries (s, t) = (c, 10 r) so every corner is known.
    constexpr int kColumns = 4, kRows = 3;
    float coordinates[kRows * kColumns * 2];
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            coordinates[2 * (r * kColumns + c)] = float(c);
            coordinates[2 * (r * kColumns + c) + 1] = float(10 * r);
        }
    const float x0 = -0.6f, y0 = 0.6f, x1 = 0.6f, y1 = -0.3f;  // dx = 0.4, dy = -0.45
    const auto quads = quadsFrom(
        captureFeedback([&] { DrawTexturedGrid(coordinates, kColumns, kRows, x0, y0, x1, y1); }));
    ASSERT_EQ(quads.size(), size_t((kRows - 1) * (kColumns - 1)));

    const int cornerOffsets[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};  // (row, column) steps
    for (int i = 0; i < kRows - 1; ++i) {
        for (int j = 0; j < kColumns - 1; ++j) {
            const auto& quad = quads[size_t(i * (kColumns - 1) + j)];
            for (int k = 0; k < 4; ++k) {
                SCOPED_TRACE(testing::Message() << "quad (" << i << ", " << j << ") corner " << k);
                const int row = i + cornerOffsets[k][0], column = j + cornerOffsets[k][1];
                EXPECT_EQ(quad[k].tex[0], float(column));
                EXPECT_EQ(quad[k].tex[1], float(10 * row));
                EXPECT_NEAR(quad[k].x, windowX(x0 + 0.4 * column), 1e-3);
                EXPECT_NEAR(quad[k].y, windowY(y0 - 0.45 * row), 1e-3);
                EXPECT_FLOAT_EQ(quad[k].z, 0.5f);
            }
        }
    }
}

TEST_F(WobbelTest, CoordinatesWobbleAroundARunningBaseFromTheElapsedTimeAlone) {
    jelly.Setup(kWidth, kHeight);
    ASSERT_TRUE(jelly.gridCoordinates);
    const LONG t = 12345;
    jelly.FillGridCoordinates(t);
    const float* st = jelly.gridCoordinates.get();
    const double c = double(float(t) / 100.0f);
    // The first vertex: only the wobble.
    EXPECT_NEAR(st[0], -0.008 * std::sin(c), 1e-7);
    EXPECT_NEAR(st[1], -(0.1 / 15) * std::cos(c), 1e-7);
    // The last vertex: base (-1.08, -0.9) plus its own phase.
    EXPECT_NEAR(st[198], -1.08 - 0.008 * std::sin(c + 10.52 * 9 + 10.423 * 9), 1e-5);
    EXPECT_NEAR(st[199], -0.9 - (0.1 / 15) * std::cos(c + 10.32 * 9 + 10.323 * 9), 1e-5);
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) {
            const float* p = st + 2 * (i * 10 + j);
            EXPECT_NEAR(p[0], -0.12 * j - 0.008 * std::sin(c + 10.52 * j + 10.423 * i), 1e-5)
                << "s at row " << i << " column " << j;
            EXPECT_NEAR(p[1], -0.1 * i - (0.1 / 15) * std::cos(c + 10.32 * j + 10.323 * i), 1e-5)
                << "t at row " << i << " column " << j;
        }

    // Another history, the same time: the same coordinates.
    CWobbel other;
    other.Setup(kWidth, kHeight);
    other.FillGridCoordinates(999);
    other.FillGridCoordinates(t);
    for (int k = 0; k < 200; ++k) ASSERT_EQ(other.gridCoordinates[k], st[k]) << "entry " << k;
}

TEST_F(WobbelTest, FrameDrawsEightyOneQuadsMirroredOntoTheFarPlane) {
    jelly.Setup(kWidth, kHeight);
    jelly.UploadTextures();
    // Halving the grid through the caller's modelview keeps every corner inside the clip volume.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(0.5f, 0.5f, 1.0f);
    const LONG t = 4321;
    const auto quads = quadsFrom(captureFeedback([&] { jelly.DrawFrame(t); }));
    ASSERT_EQ(quads.size(), 81u);

    const float* st = jelly.gridCoordinates.get();
    // Grid point (x, y) lands at (0.1 - x, y) in normalised device coordinates, at depth 1.
    const auto& first = quads.front()[0];
    EXPECT_NEAR(first.x, windowX(0.1 - 0.625), 1e-3);
    EXPECT_NEAR(first.y, windowY(0.625), 1e-3);
    EXPECT_EQ(first.tex[0], st[0]);
    EXPECT_EQ(first.tex[1], st[1]);
    const auto& last = quads.back()[2];
    EXPECT_NEAR(last.x, windowX(0.1 + 0.625), 1e-3);
    EXPECT_NEAR(last.y, windowY(-0.625), 1e-3);
    EXPECT_EQ(last.tex[0], st[198]);
    EXPECT_EQ(last.tex[1], st[199]);
    for (const auto& quad : quads)
        for (const auto& v : quad) ASSERT_FLOAT_EQ(v.z, 1.0f) << "every corner on the far plane";
    EXPECT_FLOAT_EQ(first.color[0], 0.3f);
    EXPECT_FLOAT_EQ(first.color[2], 0.3f);
}

TEST_F(WobbelTest, JellyCoversTheWholeViewportAtGreyPointThree) {
    jelly.Setup(kWidth, kHeight);
    ASSERT_NE(jelly.texture, 0u) << "jelly.jpg missing from " << GLIMMERQ_DATA_DIR;
    jelly.UploadTextures();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    jelly.DrawFrame(5000);
    const auto rgba = gl.picture();
    int dark = 0, tooBright = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        dark += (rgba[i] + rgba[i + 1] + rgba[i + 2]) == 0 ? 1 : 0;
        tooBright += std::max({rgba[i], rgba[i + 1], rgba[i + 2]}) > 80 ? 1 : 0;  // 0.3 of 255
    }
    EXPECT_EQ(dark, 0) << "no part of the screen may be left uncovered";
    EXPECT_EQ(tooBright, 0);
}

TEST_F(WobbelTest, InvertingBlendBarelyChangesAWhitePicture) {
    jelly.Setup(kWidth, kHeight);
    jelly.UploadTextures();
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    jelly.DrawFrame(5000);
    const auto p = gl.pixel(kWidth / 2, kHeight / 2);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 255);
}

TEST_F(WobbelTest, FrameRestoresSavedStateAndLeavesIdentityModelviewAndGrey) {
    jelly.Setup(kWidth, kHeight);
    jelly.UploadTextures();
    glViewport(2, 3, 4, 5);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3, 3, -2, 2, -1, 1);
    const Matrix projectionBefore = currentMatrix(GL_PROJECTION_MATRIX);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(5, 6, 7);

    jelly.DrawFrame(100);

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(currentInt(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(currentInt(GL_BLEND_DST), GL_ZERO);
    EXPECT_EQ(maxDifference(currentMatrix(GL_PROJECTION_MATRIX), projectionBefore), 0.0f);
    EXPECT_EQ(currentInt(GL_PROJECTION_STACK_DEPTH), 1);
    EXPECT_EQ(currentInt(GL_MATRIX_MODE), GL_MODELVIEW);
    const Matrix identity = matrixBuiltBy(GL_MODELVIEW, [] {});
    EXPECT_EQ(maxDifference(currentMatrix(GL_MODELVIEW_MATRIX), identity), 0.0f);
    EXPECT_EQ(currentInts4(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, kWidth, kHeight}));
    const auto colour = currentFloats4(GL_CURRENT_COLOR);
    EXPECT_FLOAT_EQ(colour[0], 0.3f);
    EXPECT_FLOAT_EQ(colour[1], 0.3f);
    EXPECT_FLOAT_EQ(colour[2], 0.3f);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(WobbelTest, SetupLoadsJellyThroughTheUnmangledUploadAndReportsAMissingTexture) {
    EXPECT_EQ(jelly.Setup(kWidth, kHeight), 0);
    ASSERT_EQ(host.textureRequests.size(), 1u);
    EXPECT_EQ(host.textureRequests[0], "jelly.jpg");
    EXPECT_EQ(host.textureParams[0].wrapT, GL_REPEAT);
    EXPECT_EQ(host.textureParams[0].internalFormat, GL_RGB5_A1);
    jelly.UploadTextures();
    jelly.ReleaseTextures();
    EXPECT_EQ(host.uploads, std::vector<unsigned>{jelly.texture});
    EXPECT_EQ(host.unUploads, std::vector<unsigned>{jelly.texture});

    TestHost emptyHost;
    CWobbel orphan;
    EXPECT_EQ(orphan.Setup(kWidth, kHeight), 1);
    EXPECT_TRUE(orphan.gridCoordinates) << "the buffer does not depend on the texture";
}

TEST_F(WobbelTest, WithoutItsCoordinateBufferTheEffectDrawsNothingAndFailsSetup) {
    CWobbelWithoutMemory starved;
    EXPECT_EQ(starved.Setup(kWidth, kHeight), 1);
    EXPECT_FALSE(starved.gridCoordinates);
    starved.UploadTextures();
    glMatrixMode(GL_TEXTURE);  // untouched by a frame that draws nothing
    const auto drawn = captureFeedback([&] { starved.DrawFrame(1000); });
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(currentInt(GL_MATRIX_MODE), GL_TEXTURE);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));

    CWobbel neverSetUp;  // the host always calls Setup first; a frame before it must not crash
    neverSetUp.DrawFrame(0);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}
