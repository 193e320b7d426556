// CModel::Draw on a headless context: materials, texturing, the enable it restores, and the
// real MilkShape files showing up where they stand.
#include "model/model.h"
#include "tests/model/ms3d_samples.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using glimmerq::testing::GlFixture;
using glimmerq::testing::TestHost;

namespace {

constexpr int kSize = 64;

class ModelDrawTest : public ::testing::Test {
protected:
    GlFixture gl{kSize, kSize};
    TestHost host;
    CModel model;

    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        glViewport(0, 0, kSize, kSize);
    }

    void load(const assets::Ms3dModel& m) {
        host.data.put("m.ms3d", ms3d_samples::bytes(m));
        ASSERT_TRUE(model.Load("m.ms3d"));
    }
    // A 1x1 texture of one colour, bound and enabled.
    GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        const unsigned char texel[4] = {r, g, b, 255};
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        return name;
    }
    // Number of pixels that are not black.
    int litPixels() const {
        const auto rgba = gl.picture();
        int lit = 0;
        for (size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
        return lit;
    }
};

}  // namespace

TEST_F(ModelDrawTest, LeavesTexturingEnabledOrDisabledAsFound) {
    // Group 0 textured, group 1 without material: the last group disables texturing.
    assets::Ms3dModel m = ms3d_samples::square(0.5f, 0);
    m.groups.push_back(m.groups[0]);
    m.groups[1].materialIndex = -1;
    m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1, ".\\voxe.jpg"));
    load(m);
    model.materials[0].texture = solidTexture(255, 0, 0);

    glEnable(GL_TEXTURE_2D);
    model.Draw();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    // Only the textured group: it enables texturing, and Draw switches it off again.
    model.groups[1].materialIndex = 0;
    glDisable(GL_TEXTURE_2D);
    model.Draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(ModelDrawTest, TexturedGroupBindsItsTextureAndModulatesTheLitColour) {
    load([] {
        assets::Ms3dModel m = ms3d_samples::square(2.0f, 0);
        m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1, ".\\voxe.jpg"));
        return m;
    }());
    const GLuint red = solidTexture(255, 0, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    model.materials[0].texture = red;
    glEnable(GL_LIGHTING);
    model.Draw();
    const auto p = gl.pixel(kSize / 2, kSize / 2);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), red);
}

TEST_F(ModelDrawTest, SetsFrontMaterialsOnlyFromTheGroupsMaterial) {
    assets::Ms3dModel m = ms3d_samples::square(0.5f, 0);
    assets::Ms3dMaterial mat = ms3d_samples::glowing(0.25f, 0.5f, 0.75f, 0.5f);
    mat.ambient[1] = 0.125f;
    mat.specular[2] = 0.375f;
    mat.shininess = 33.0f;
    m.materials.push_back(mat);
    load(m);
    model.Draw();
    GLfloat v[4];
    glGetMaterialfv(GL_FRONT, GL_EMISSION, v);
    EXPECT_FLOAT_EQ(v[2], 0.75f);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[3], 0.5f);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[1], 0.125f);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[2], 0.375f);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, v);
    EXPECT_FLOAT_EQ(v[0], 33.0f);
    glGetMaterialfv(GL_BACK, GL_EMISSION, v);
    EXPECT_FLOAT_EQ(v[2], 0.0f) << "the back material is left alone";
}

TEST_F(ModelDrawTest, GroupWithoutMaterialIsUntexturedWithTheLastMaterial) {
    load(ms3d_samples::square(2.0f, -1));
    const GLfloat green[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_EMISSION, green);
    solidTexture(255, 0, 0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    model.Draw();
    const auto p = gl.pixel(kSize / 2, kSize / 2);
    EXPECT_GT(p[1], 200) << "the bound red texture would have taken the green away";
    EXPECT_LT(p[0], 50);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(ModelDrawTest, ShininessOutsideGlsRangeIsClampedWithoutError) {
    assets::Ms3dModel m = ms3d_samples::square(0.5f, 0);
    m.materials.push_back(ms3d_samples::glowing(1, 1, 1, 1));
    m.materials[0].shininess = 1000.0f;
    load(m);
    model.Draw();
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
    GLfloat v = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &v);
    EXPECT_FLOAT_EQ(v, 128.0f);
}

TEST_F(ModelDrawTest, SecondTextureCoordinateIsDrawnAsOneMinusTheFilesValue) {
    assets::Ms3dModel m = ms3d_samples::square(0.5f, -1);
    m.triangles[1].s[2] = 0.125f;
    m.triangles[1].t[2] = 0.25f;  // the last corner drawn
    load(m);
    model.Draw();
    GLfloat coords[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, coords);
    EXPECT_FLOAT_EQ(coords[0], 0.125f);
    EXPECT_FLOAT_EQ(coords[1], 0.75f);
}

TEST_F(ModelDrawTest, EmptyModelsDrawNothing) {
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    model.Draw();  // never loaded
    EXPECT_EQ(litPixels(), 0);
    assets::Ms3dModel m = ms3d_samples::square(2.0f, -1);
    m.groups.clear();
    load(m);
    model.Draw();
    EXPECT_EQ(litPixels(), 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(ModelDrawTest, RealFilesRenderWhereTheyStand) {
    host.useDirectory((std::filesystem::path(GLIMMERQ_TESTDATA_DIR) / "ms3d").string());
    for (const char* name : {"jeep1.ms3d", "twospheres.ms3d", "twospheres_withmats.ms3d"}) {
        CModel real;
        ASSERT_TRUE(real.Load(name)) << name;
        ASSERT_GT(real.numVertices, 0);
        float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
        for (int i = 0; i < real.numVertices; ++i) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], real.vertices[i].position[a]);
                hi[a] = std::max(hi[a], real.vertices[i].position[a]);
            }
        }
        float radius = 0;
        for (int a = 0; a < 3; ++a) radius = std::max(radius, hi[a] - lo[a]);
        for (int uploaded = 0; uploaded < real.numMaterials; ++uploaded) {
            if (real.materials[uploaded].texture) DEMOGL_TextureUpload(real.materials[uploaded].texture);
        }

        // Looking at the model's centre from 2 sizes away, filling the middle of the view.
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, radius * 0.1, radius * 10.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt((lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2 + 2 * radius,
                  (lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2, 0, 1, 0);
        real.Draw();
        EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR)) << name;
        // Something in the middle half of the picture, nothing at its corners.
        int middle = 0;
        for (int y = kSize / 4; y < 3 * kSize / 4; ++y) {
            for (int x = kSize / 4; x < 3 * kSize / 4; ++x) {
                const auto p = gl.pixel(x, y);
                middle += (p[0] | p[1] | p[2]) != 0;
            }
        }
        EXPECT_GT(middle, kSize * kSize / 16) << name;
        for (int corner : {0, kSize - 1}) {
            const auto p = gl.pixel(corner, corner);
            EXPECT_EQ(p[0] | p[1] | p[2], 0) << name;
        }
    }
    EXPECT_TRUE(host.errors.empty());
}
