// model_seeds OUTDIR: writes small MilkShape models for model_fuzz to start from.
//
// A few hundred bytes each, so the fuzzer spends its time mutating structure rather than
// copying megabytes: both versions, groups with and without material, empty and two-character
// texture names, names that fill their whole field, an empty model and one that ends right
// after its materials. The real files in tests/data/ms3d join them (scripts/run-fuzzers).
#include "tools/assetlib/image.h"
#include "tools/assetlib/ms3d_writer.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Where the name fields of the first group and material start in a model with
// kSquareVertices vertices, kSquareTriangles triangles and one group of two triangles.
constexpr size_t kHeaderSize = 14;
constexpr size_t kVertexSize = 15;
constexpr size_t kTriangleSize = 70;
constexpr size_t kSquareVertices = 4;
constexpr size_t kSquareTriangles = 2;
constexpr size_t kGroupNameOffset = kHeaderSize + 2 + kSquareVertices * kVertexSize + 2 +
                                    kSquareTriangles * kTriangleSize + 2 + 1;
constexpr size_t kGroupNameSize = 32;
constexpr size_t kGroupSize = 1 + kGroupNameSize + 2 + 2 * kSquareTriangles + 1;
constexpr size_t kMaterialOffset = kGroupNameOffset - 1 + kGroupSize + 2;
constexpr size_t kMaterialNameSize = 32;
constexpr size_t kTextureNameOffset = kMaterialOffset + kMaterialNameSize + 4 * 16 + 4 + 4 + 1;
constexpr size_t kTextureNameSize = 128;
constexpr size_t kMaterialSize = 361;

// Two triangles over four vertices in one group.
assets::Ms3dModel square(int8_t materialIndex) {
    assets::Ms3dModel m;
    const float corners[kSquareVertices][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& c : corners) {
        assets::Ms3dVertex v;
        v.position[0] = c[0];
        v.position[1] = c[1];
        m.vertices.push_back(v);
    }
    const uint16_t triangles[kSquareTriangles][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const auto& t : triangles) {
        assets::Ms3dTriangle tri;
        for (int k = 0; k < 3; ++k) {
            tri.vertexIndices[k] = t[k];
            tri.s[k] = corners[t[k]][0] > 0 ? 1.0f : 0.0f;
            tri.t[k] = corners[t[k]][1] > 0 ? 0.0f : 1.0f;
        }
        m.triangles.push_back(tri);
    }
    assets::Ms3dGroup group;
    group.name = "square";
    group.triangleIndices = {0, 1};
    group.materialIndex = materialIndex;
    m.groups.push_back(group);
    return m;
}

assets::Ms3dMaterial material(const std::string& texture) {
    assets::Ms3dMaterial mat;
    mat.name = "skin";
    mat.shininess = 12.0f;
    mat.texture = texture;
    return mat;
}

std::vector<uint8_t> textured(int32_t version) {
    assets::Ms3dModel m = square(0);
    m.version = version;
    m.materials.push_back(material(".\\qv01.jpg"));
    return assets::encodeMs3d(m);
}

// Group 0 without material, group 1 with the second of two materials; one texture name
// empty, one of two characters (the empty name is requested).
std::vector<uint8_t> mixed() {
    assets::Ms3dModel m = square(-1);
    assets::Ms3dGroup second;
    second.name = "second";
    second.triangleIndices = {1};
    second.materialIndex = 1;
    m.groups.push_back(second);
    m.materials.push_back(material(""));
    m.materials.push_back(material("ab"));
    return assets::encodeMs3d(m);
}

// Group, material and texture names filling their fields with no zero byte.
std::vector<uint8_t> fullNames() {
    std::vector<uint8_t> bytes = textured(4);
    std::memset(&bytes[kGroupNameOffset], 'g', kGroupNameSize);
    std::memset(&bytes[kMaterialOffset], 'm', kMaterialNameSize);
    bytes[kTextureNameOffset] = '.';
    bytes[kTextureNameOffset + 1] = '\\';
    std::memset(&bytes[kTextureNameOffset + 2], 't', kTextureNameSize - 2);
    return bytes;
}

// Nothing after the materials: the reader needs no more.
std::vector<uint8_t> endsAfterMaterials() {
    std::vector<uint8_t> bytes = textured(3);
    bytes.resize(kMaterialOffset + kMaterialSize);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: model_seeds OUTDIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    assets::writeFile(dir / "textured_v4.ms3d", textured(4));
    assets::writeFile(dir / "textured_v3.ms3d", textured(3));
    assets::writeFile(dir / "mixed.ms3d", mixed());
    assets::writeFile(dir / "full_names.ms3d", fullNames());
    assets::writeFile(dir / "ends_after_materials.ms3d", endsAfterMaterials());
    assets::writeFile(dir / "empty.ms3d", assets::encodeMs3d(assets::Ms3dModel()));
    return 0;
}
