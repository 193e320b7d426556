// CModel::Load and LoadTextures: the fields read from a file, what is refused, and what is
// requested from the host.
#include "model/model.h"
#include "tests/model/ms3d_samples.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

using glimmerq::testing::GlFixture;
using glimmerq::testing::TestHost;

namespace {

constexpr size_t kHeaderSize = 14;
constexpr size_t kVertexSize = 15;
constexpr size_t kTriangleSize = 70;
constexpr size_t kMaterialSize = 361;

// Two squares sharing four vertices: group 0 without material, group 1 with material 1.
assets::Ms3dModel sample() {
    assets::Ms3dModel m = ms3d_samples::square(1.0f, -1);
    assets::Ms3dGroup second;
    second.name = "second";
    second.triangleIndices = {1};
    second.materialIndex = 1;
    m.groups.push_back(second);
    m.triangles[1].t[2] = 0.25f;
    m.triangles[1].s[2] = 0.125f;
    m.triangles[1].normals[2][0] = -0.5f;
    m.vertices[3].position[2] = 7.5f;
    m.materials.push_back(ms3d_samples::glowing(0.1f, 0.2f, 0.3f, 0.4f, ".\\first.jpg"));
    assets::Ms3dMaterial mat = ms3d_samples::glowing(0.5f, 0.6f, 0.7f, 0.8f, "");
    mat.ambient[0] = 0.9f;
    mat.shininess = 12.0f;
    m.materials.push_back(mat);
    return m;
}

// Byte offsets of the sections in an encoded model.
struct Layout {
    size_t vertices, triangles, groups, materials, end;
};
Layout layoutOf(const assets::Ms3dModel& m) {
    Layout l;
    l.vertices = kHeaderSize;
    l.triangles = l.vertices + 2 + kVertexSize * m.vertices.size();
    l.groups = l.triangles + 2 + kTriangleSize * m.triangles.size();
    l.materials = l.groups + 2;
    for (const auto& g : m.groups) l.materials += 1 + 32 + 2 + 2 * g.triangleIndices.size() + 1;
    l.end = l.materials + 2 + kMaterialSize * m.materials.size();
    return l;
}

void put16(std::vector<unsigned char>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

class ModelLoadTest : public ::testing::Test {
protected:
    GlFixture gl{16, 16};  // texture requests make GL textures
    TestHost host;
    CModel model;

    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    bool load(const std::vector<unsigned char>& bytes) {
        host.data.put("m.ms3d", bytes);
        return model.Load("m.ms3d");
    }
    void expectEmpty() {
        EXPECT_EQ(model.numVertices, 0);
        EXPECT_EQ(model.numTriangles, 0);
        EXPECT_EQ(model.numGroups, 0);
        EXPECT_EQ(model.numMaterials, 0);
        EXPECT_EQ(model.vertices, nullptr);
        EXPECT_EQ(model.triangles, nullptr);
        EXPECT_EQ(model.groups, nullptr);
        EXPECT_EQ(model.materials, nullptr);
        EXPECT_EQ(host.openFiles, 0) << "the file's data was not released";
    }
};

}  // namespace

TEST_F(ModelLoadTest, ReadsEveryKeptFieldInFileOrder) {
    ASSERT_TRUE(load(ms3d_samples::bytes(sample())));
    EXPECT_EQ(host.openFiles, 0);
    ASSERT_EQ(model.numVertices, 4);
    EXPECT_EQ(model.vertices[1].position[0], 1.0f);
    EXPECT_EQ(model.vertices[1].position[1], -1.0f);
    EXPECT_EQ(model.vertices[3].position[2], 7.5f);

    ASSERT_EQ(model.numTriangles, 2);
    const STriangle& tri = model.triangles[1];
    EXPECT_EQ(tri.vertexIndices[0], 0);
    EXPECT_EQ(tri.vertexIndices[1], 2);
    EXPECT_EQ(tri.vertexIndices[2], 3);
    EXPECT_EQ(tri.normals[2][0], -0.5f);
    EXPECT_EQ(tri.normals[2][2], 1.0f);
    EXPECT_EQ(tri.s[2], 0.125f);
    EXPECT_EQ(tri.t[2], 0.75f) << "t is kept as 1 - the file's value";
    EXPECT_EQ(model.triangles[0].t[0], 0.0f);

    ASSERT_EQ(model.numGroups, 2);
    EXPECT_EQ(model.groups[0].materialIndex, -1) << "byte 0xFF is sign-extended";
    ASSERT_EQ(model.groups[0].numTriangles, 2);
    EXPECT_EQ(model.groups[0].triangleIndices[1], 1);
    EXPECT_EQ(model.groups[1].materialIndex, 1);
    ASSERT_EQ(model.groups[1].numTriangles, 1);
    EXPECT_EQ(model.groups[1].triangleIndices[0], 1);

    ASSERT_EQ(model.numMaterials, 2);
    const SMaterial& mat = model.materials[1];
    EXPECT_EQ(mat.ambient[0], 0.9f);
    EXPECT_EQ(mat.diffuse[3], 0.8f);
    EXPECT_EQ(mat.emissive[1], 0.6f);
    EXPECT_EQ(mat.specular[3], 1.0f);
    EXPECT_EQ(mat.shininess, 12.0f);
    EXPECT_STREQ(mat.textureName, "");
    EXPECT_STREQ(model.materials[0].textureName, ".\\first.jpg");
}

TEST_F(ModelLoadTest, AcceptsVersionsThreeAndFourOnly) {
    for (int version : {2, 3, 4, 5, 0, -1, 259}) {
        CModel fresh;
        assets::Ms3dModel m = sample();
        m.version = version;
        host.data.put("v.ms3d", ms3d_samples::bytes(m));
        EXPECT_EQ(fresh.Load("v.ms3d"), version == 3 || version == 4) << "version " << version;
        if (version != 3 && version != 4) {
            EXPECT_EQ(fresh.numVertices, 0);
        }
    }
    EXPECT_EQ(host.openFiles, 0);
}

TEST_F(ModelLoadTest, RefusesAnIdentifierDifferingInAnyOfItsTenBytes) {
    const auto good = ms3d_samples::bytes(sample());
    for (size_t i = 0; i < 10; ++i) {
        auto bytes = good;
        bytes[i] ^= 0x20;
        CModel fresh;
        host.data.put("id.ms3d", bytes);
        EXPECT_FALSE(fresh.Load("id.ms3d")) << "byte " << i;
        EXPECT_EQ(fresh.numVertices, 0);
    }
    EXPECT_EQ(host.openFiles, 0);
}

TEST_F(ModelLoadTest, MissingFileIsNotLoaded) {
    EXPECT_FALSE(model.Load("absent.ms3d"));
    expectEmpty();
}

TEST_F(ModelLoadTest, EveryTruncationBeforeTheEndOfTheMaterialsIsRefused) {
    const assets::Ms3dModel m = sample();
    const auto good = ms3d_samples::bytes(m);
    const size_t end = layoutOf(m).end;
    ASSERT_LT(end, good.size()) << "the writer adds the animation block after the materials";
    for (size_t size = 0; size < end; ++size) {
        CModel fresh;
        host.data.put("cut.ms3d", std::vector<unsigned char>(good.begin(), good.begin() + long(size)));
        ASSERT_FALSE(fresh.Load("cut.ms3d")) << "cut at " << size;
        ASSERT_EQ(fresh.numGroups + fresh.numMaterials + fresh.numVertices + fresh.numTriangles, 0);
    }
    // Nothing after the materials is needed.
    EXPECT_TRUE(load(std::vector<unsigned char>(good.begin(), good.begin() + long(end))));
    EXPECT_EQ(host.openFiles, 0);
}

TEST_F(ModelLoadTest, CountsClaimingMoreRecordsThanBytesLeftAreRefused) {
    const assets::Ms3dModel m = sample();
    const Layout l = layoutOf(m);
    for (size_t at : {l.vertices, l.triangles, l.groups, l.materials}) {
        auto bytes = ms3d_samples::bytes(m);
        put16(bytes, at, 0xFFFF);
        EXPECT_FALSE(load(bytes)) << "count at byte " << at;
        expectEmpty();
    }
    // A group's triangle count beyond the data.
    auto bytes = ms3d_samples::bytes(m);
    put16(bytes, l.groups + 2 + 1 + 32, 0xFFFF);
    EXPECT_FALSE(load(bytes));
    expectEmpty();
}

TEST_F(ModelLoadTest, IndicesOutOfRangeAreRefused) {
    assets::Ms3dModel m = sample();
    m.triangles[1].vertexIndices[2] = 4;  // one past the last vertex
    EXPECT_FALSE(load(ms3d_samples::bytes(m)));
    expectEmpty();

    m = sample();
    m.triangles[0].vertexIndices[0] = 0xFFFF;
    EXPECT_FALSE(load(ms3d_samples::bytes(m)));
    expectEmpty();

    m = sample();
    m.groups[1].triangleIndices[0] = 2;  // one past the last triangle
    EXPECT_FALSE(load(ms3d_samples::bytes(m)));
    expectEmpty();

    m = sample();
    m.vertices.clear();  // triangles then name vertices that do not exist
    EXPECT_FALSE(load(ms3d_samples::bytes(m)));
    expectEmpty();
}

// MilkShape fills a name field to its last byte when the name is that long: no zero byte is
// needed. The skipped names may hold anything; the texture name is cut at the field's end.
TEST_F(ModelLoadTest, NamesFillingTheirWholeFieldLoad) {
    assets::Ms3dModel m = sample();
    m.materials[0].alphaMap = "zzz";  // right after the texture name: must not be read into it
    const Layout l = layoutOf(m);
    const size_t material = l.materials + 2;
    const size_t textureName = material + 32 + 4 * 16 + 4 + 4 + 1;
    const struct {
        const char* what;
        size_t offset, size;
    } fields[] = {{"group name", l.groups + 2 + 1, 32},
                  {"material name", material, 32},
                  {"alpha map name", textureName + 128, 128}};
    for (const auto& field : fields) {
        auto bytes = ms3d_samples::bytes(m);
        std::memset(&bytes[field.offset], 0xA5, field.size);
        CModel fresh;
        host.data.put("full.ms3d", bytes);
        EXPECT_TRUE(fresh.Load("full.ms3d")) << field.what << " of " << field.size << " bytes without a zero";
        ASSERT_EQ(fresh.numMaterials, 2) << field.what;
        EXPECT_STREQ(fresh.materials[0].textureName, ".\\first.jpg") << field.what;
    }

    auto bytes = ms3d_samples::bytes(m);
    const std::string fullName = ".\\" + std::string(126, 'x');
    ASSERT_EQ(fullName.size(), 128u);
    std::memcpy(&bytes[textureName], fullName.data(), fullName.size());
    host.textureRequests.clear();
    ASSERT_TRUE(load(bytes)) << "a texture name of 128 characters";
    EXPECT_EQ(std::string(model.materials[0].textureName), fullName)
        << "copied up to the field's end, " << std::strlen(model.materials[0].textureName) << " characters";
    ASSERT_EQ(host.textureRequests.size(), 1u);
    EXPECT_EQ(host.textureRequests[0], std::string(126, 'x'));
    EXPECT_EQ(host.openFiles, 0);
}

TEST_F(ModelLoadTest, TextureNameIsCopiedUpToItsFirstZeroByte) {
    assets::Ms3dModel m = sample();
    m.materials[0].texture = std::string(127, 'x');
    ASSERT_TRUE(load(ms3d_samples::bytes(m)));
    EXPECT_EQ(std::strlen(model.materials[0].textureName), 127u);
    ASSERT_EQ(host.textureRequests.size(), 1u);
    EXPECT_EQ(host.textureRequests[0], std::string(125, 'x'));
}

TEST_F(ModelLoadTest, TextureNameEndsAtItsFirstZeroByteWhateverFollowsInTheField) {
    assets::Ms3dModel m = sample();
    m.materials[0].texture = ".\\a.jpg";
    const size_t textureName = layoutOf(m).materials + 2 + 32 + 4 * 16 + 4 + 4 + 1;
    auto bytes = ms3d_samples::bytes(m);
    std::memset(&bytes[textureName + 8], 'q', 128 - 8);  // after the zero at byte 7
    ASSERT_TRUE(load(bytes));
    EXPECT_STREQ(model.materials[0].textureName, ".\\a.jpg");
}

namespace {

// Records the order of the file and texture calls a Load makes.
class OrderHost : public TestHost {
public:
    std::vector<std::string> calls;
    unsigned char* fileLoad(const char* name, size_t* size) override {
        calls.push_back(std::string("FileLoad ") + name);
        return TestHost::fileLoad(name, size);
    }
    void fileFree(const unsigned char* data) override {
        calls.push_back("FileFree");
        TestHost::fileFree(data);
    }
    unsigned textureLoad(const char* name, const glimmerq::TextureParams& params) override {
        calls.push_back(std::string("TextureLoad ") + name);
        return TestHost::textureLoad(name, params);
    }
};

std::string joined(const std::vector<std::string>& calls) {
    std::string text;
    for (const std::string& call : calls) text += (text.empty() ? "" : ", ") + call;
    return text;
}

}  // namespace

TEST(ModelLoadOrder, TexturesAreRequestedBeforeTheFileIsFreed) {
    GlFixture gl{16, 16};
    ASSERT_TRUE(gl.ok()) << gl.error();
    OrderHost host;
    assets::Ms3dModel m = sample();
    m.materials[1].texture = ".\\second.jpg";
    host.data.put("m.ms3d", ms3d_samples::bytes(m));
    CModel model;
    ASSERT_TRUE(model.Load("m.ms3d"));
    EXPECT_EQ(joined(host.calls), "FileLoad m.ms3d, TextureLoad first.jpg, TextureLoad second.jpg, FileFree");

    // A refused file is freed at once and requests nothing.
    host.calls.clear();
    auto bytes = ms3d_samples::bytes(m);
    bytes[0] = 'X';
    host.data.put("bad.ms3d", bytes);
    CModel refused;
    EXPECT_FALSE(refused.Load("bad.ms3d"));
    EXPECT_EQ(joined(host.calls), "FileLoad bad.ms3d, FileFree");
    EXPECT_EQ(host.openFiles, 0);
}

TEST_F(ModelLoadTest, MaterialIndexBeyondTheMaterialsMeansNoMaterial) {
    assets::Ms3dModel m = sample();
    m.groups[0].materialIndex = 2;  // two materials: 0 and 1
    m.groups[1].materialIndex = -3;
    ASSERT_TRUE(load(ms3d_samples::bytes(m)));
    EXPECT_LT(model.groups[0].materialIndex, 0);
    EXPECT_EQ(model.groups[1].materialIndex, -3);
}

TEST_F(ModelLoadTest, NanAndInfiniteFloatsLoadAndDrawHarmlessly) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    assets::Ms3dModel m = sample();
    m.vertices[0].position[0] = nan;
    m.vertices[1].position[1] = inf;
    m.triangles[0].normals[0][2] = -inf;
    m.triangles[0].s[1] = nan;
    m.materials[1].diffuse[0] = nan;
    m.materials[1].shininess = nan;
    m.materials[0].shininess = inf;
    ASSERT_TRUE(load(ms3d_samples::bytes(m)));
    EXPECT_TRUE(std::isnan(model.vertices[0].position[0]));
    EXPECT_TRUE(std::isinf(model.vertices[1].position[1]));
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    model.Draw();
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(ModelLoadTest, TextureRequestsDropTheFirstTwoCharactersWithModelParameters) {
    assets::Ms3dModel m = sample();
    m.materials[1].texture = "ab";             // two characters: the empty name is requested
    m.materials.push_back(m.materials[0]);     // the same texture again
    m.materials.push_back(m.materials[0]);
    m.materials[3].texture = "x";              // one character: no texture
    ASSERT_TRUE(load(ms3d_samples::bytes(m)));
    ASSERT_EQ(host.textureRequests.size(), 3u);
    EXPECT_EQ(host.textureRequests[0], "first.jpg");
    EXPECT_EQ(host.textureRequests[1], "");
    EXPECT_EQ(host.textureRequests[2], "first.jpg") << "every material makes its own request";
    EXPECT_STREQ(model.materials[3].textureName, "");
    EXPECT_EQ(model.materials[3].texture, 0u);
    const glimmerq::TextureParams& p = host.textureParams[0];
    EXPECT_EQ(p.fileType, 1);
    EXPECT_EQ(p.alphaSource, 0);
    EXPECT_EQ(p.wrapS, GL_CLAMP);
    EXPECT_EQ(p.wrapT, GL_CLAMP);
    EXPECT_EQ(p.minFilter, GL_LINEAR);
    EXPECT_EQ(p.magFilter, GL_LINEAR);
    EXPECT_FALSE(p.mipmaps);
    EXPECT_FALSE(p.compressed);
    EXPECT_EQ(p.border, 0);
    EXPECT_EQ(p.internalFormat, GL_RGB5_A1);
    EXPECT_EQ(p.dimensions, 2);
}

TEST_F(ModelLoadTest, LoadTexturesRequestsAgainAndOverwritesHandles) {
    assets::Ms3dModel m = sample();
    ASSERT_TRUE(load(ms3d_samples::bytes(m)));
    EXPECT_EQ(model.materials[0].texture, 0u) << "first.jpg is not in the data";
    model.materials[0].texture = 99;
    model.materials[1].texture = 98;
    model.LoadTextures();
    EXPECT_EQ(host.textureRequests.size(), 2u);
    EXPECT_EQ(model.materials[0].texture, 0u);
    EXPECT_EQ(model.materials[1].texture, 0u) << "an empty name gets handle 0";
}

// ---- the MilkShape files made elsewhere ----

namespace {

std::vector<unsigned char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

const std::filesystem::path kRealModels = std::filesystem::path(GLIMMERQ_TESTDATA_DIR) / "ms3d";

}  // namespace

TEST_F(ModelLoadTest, RealJeepLoadsWithItsOneTexture) {
    host.useDirectory(kRealModels.string());
    ASSERT_TRUE(model.Load("jeep1.ms3d"));
    EXPECT_EQ(model.numVertices, 1190);
    EXPECT_EQ(model.numTriangles, 2032);
    EXPECT_EQ(model.numGroups, 7);
    ASSERT_EQ(model.numMaterials, 1);
    EXPECT_STREQ(model.materials[0].textureName, ".\\jeep1.jpg");
    ASSERT_EQ(host.textureRequests.size(), 1u);
    EXPECT_EQ(host.textureRequests[0], "jeep1.jpg");
    EXPECT_NE(model.materials[0].texture, 0u) << "the jeep's skin decodes";
    int triangles = 0;
    for (int g = 0; g < model.numGroups; ++g) triangles += model.groups[g].numTriangles;
    EXPECT_EQ(triangles, 2032);
}

TEST_F(ModelLoadTest, RealSpheresLoadWithAndWithoutMaterials) {
    host.useDirectory(kRealModels.string());
    ASSERT_TRUE(model.Load("twospheres.ms3d"));
    EXPECT_EQ(model.numVertices, 124);
    EXPECT_EQ(model.numTriangles, 240);
    ASSERT_EQ(model.numGroups, 2);
    EXPECT_EQ(model.numMaterials, 0);
    EXPECT_EQ(model.groups[0].materialIndex, -1);
    EXPECT_EQ(model.groups[1].materialIndex, -1);

    CModel withMaterials;
    ASSERT_TRUE(withMaterials.Load("twospheres_withmats.ms3d"));
    EXPECT_EQ(withMaterials.numVertices, 124);
    EXPECT_EQ(withMaterials.numTriangles, 240);
    ASSERT_EQ(withMaterials.numGroups, 2);
    ASSERT_EQ(withMaterials.numMaterials, 2);
    EXPECT_EQ(withMaterials.groups[0].materialIndex, 1);
    EXPECT_EQ(withMaterials.groups[1].materialIndex, 0);
    EXPECT_STREQ(withMaterials.materials[0].textureName, "");
    EXPECT_STREQ(withMaterials.materials[1].textureName, "");
    EXPECT_TRUE(host.textureRequests.empty()) << "empty names request nothing";
    EXPECT_EQ(host.openFiles, 0);
}

TEST_F(ModelLoadTest, RealFilesCutShortAreRefused) {
    for (const char* name : {"jeep1.ms3d", "twospheres.ms3d", "twospheres_withmats.ms3d"}) {
        const auto whole = readFile(kRealModels / name);
        ASSERT_GT(whole.size(), 100u) << name;
        for (size_t size : {size_t(13), size_t(14), whole.size() / 3, whole.size() / 2}) {
            CModel fresh;
            host.data.put("cut.ms3d", std::vector<unsigned char>(whole.begin(), whole.begin() + long(size)));
            EXPECT_FALSE(fresh.Load("cut.ms3d")) << name << " cut at " << size;
        }
    }
    EXPECT_EQ(host.openFiles, 0);
}

// ---- our own models, as the data generator writes them ----

TEST_F(ModelLoadTest, GeneratedModelsRoundTripWithTheirTextures) {
    host.useDirectory(GLIMMERQ_DATA_DIR);
    for (const char* name : {"block.ms3d", "tunnel.ms3d", "greetz.ms3d", "outro.ms3d", "quorvoxe.ms3d"}) {
        CModel fresh;
        host.textureRequests.clear();
        ASSERT_TRUE(fresh.Load(name)) << name;
        EXPECT_GT(fresh.numTriangles, 0) << name;
        EXPECT_GT(fresh.numGroups, 0) << name;
        ASSERT_GT(fresh.numMaterials, 0) << name;
        for (int g = 0; g < fresh.numGroups; ++g) {
            EXPECT_GE(fresh.groups[g].materialIndex, 0) << name << " group " << g;
            EXPECT_GT(fresh.groups[g].numTriangles, 0) << name << " group " << g;
        }
        for (int i = 0; i < fresh.numMaterials; ++i) {
            const SMaterial& mat = fresh.materials[i];
            EXPECT_EQ(std::strncmp(mat.textureName, ".\\", 2), 0) << name << ": " << mat.textureName;
            EXPECT_NE(mat.texture, 0u) << name << " names a texture the data lacks: " << mat.textureName;
            EXPECT_GT(mat.diffuse[3], 0.5f) << name;
        }
        EXPECT_EQ(host.textureRequests.size(), size_t(fresh.numMaterials)) << name;
        // Unit normals on every corner.
        for (int t = 0; t < fresh.numTriangles; ++t) {
            for (const float* n : fresh.triangles[t].normals) {
                ASSERT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-4f) << name << " triangle " << t;
            }
        }
    }
    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    EXPECT_EQ(host.openFiles, 0);
}
