// The generated text models (greetings, outro, logo): within their triangle budget, with a
// front of non-overlapping faces on the letter plane and no faces hidden back to back.
#include "model/model.h"
#include "tests/support/test_host.h"
#include "tests/tools/face_checks.h"

#include <gtest/gtest.h>

#include <cmath>

using glimmerq::testing::Facet;
using glimmerq::testing::GlFixture;
using glimmerq::testing::TestHost;

namespace {

// Immediate-mode triangles are the overlays' cost per frame; the letters fit in this many.
constexpr int kMaxTextTriangles = 5000;

struct TextModel {
    const char* file;
    int maxTriangles;
};
constexpr TextModel kTextModels[] = {
    {"greetz.ms3d", kMaxTextTriangles}, {"outro.ms3d", kMaxTextTriangles}, {"quorvoxe.ms3d", kMaxTextTriangles}};

std::vector<Facet> facetsOf(const CModel& model) {
    std::vector<Facet> out;
    for (int t = 0; t < model.numTriangles; ++t) {
        const STriangle& tri = model.triangles[t];
        Facet f;
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) f.corners[size_t(c)][size_t(k)] = model.vertices[tri.vertexIndices[c]].position[k];
        for (int k = 0; k < 3; ++k) f.normal[size_t(k)] = tri.normals[0][k];
        out.push_back(f);
    }
    return out;
}

float area(const Facet& f) {
    const auto& a = f.corners[0];
    const auto& b = f.corners[1];
    const auto& c = f.corners[2];
    return std::fabs((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2;
}

class TextModelsTest : public ::testing::Test {
protected:
    GlFixture gl{16, 16};  // the model requests its textures
    TestHost host;

    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        host.useDirectory(GLIMMERQ_DATA_DIR);
    }
};

}  // namespace

TEST_F(TextModelsTest, LettersStayWithinTheirTriangleBudget) {
    for (const auto& m : kTextModels) {
        CModel model;
        ASSERT_TRUE(model.Load(m.file)) << m.file;
        EXPECT_LE(model.numTriangles, m.maxTriangles) << m.file;
        EXPECT_GT(model.numTriangles, 0) << m.file;
    }
}

TEST_F(TextModelsTest, NoTwoFacesLieBackToBack) {
    for (const auto& m : kTextModels) {
        CModel model;
        ASSERT_TRUE(model.Load(m.file)) << m.file;
        const auto pair = glimmerq::testing::findBackToBack(facetsOf(model));
        EXPECT_EQ(pair.first, -1) << m.file << ": triangles " << pair.first << " and " << pair.second
                                  << " lie back to back";
    }
}

TEST_F(TextModelsTest, FrontFacesTileTheLetterPlaneWithoutOverlap) {
    for (const auto& m : kTextModels) {
        CModel model;
        ASSERT_TRUE(model.Load(m.file)) << m.file;
        std::vector<Facet> fronts;
        for (const Facet& f : facetsOf(model)) {
            if (f.normal[2] < 0.999f) continue;
            for (const auto& p : f.corners) ASSERT_EQ(p[2], 0.0f) << m.file << ": a front off the letter plane";
            fronts.push_back(f);
        }
        ASSERT_FALSE(fronts.empty()) << m.file;
        // Turning every second front over makes overlapping fronts show up as back to back.
        for (size_t i = 0; i < fronts.size(); ++i) {
            for (size_t j = i + 1; j < fronts.size(); ++j) {
                Facet flipped = fronts[j];
                flipped.normal[2] = -1;
                ASSERT_EQ(glimmerq::testing::findBackToBack({fronts[i], flipped}).first, -1)
                    << m.file << ": front triangles " << i << " and " << j << " overlap";
            }
        }
        float total = 0;
        for (const Facet& f : fronts) total += area(f);
        EXPECT_GT(total, 0.1f) << m.file;
    }
}
