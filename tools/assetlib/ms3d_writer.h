// ms3d_writer.h: writes MilkShape 3D binary models ("MS3D000000", version 4 by default).
//
//   assets::Ms3dModel model;
//   model.vertices.push_back({{0, 0, 0}});  ...  // fill vertices, triangles, groups, materials
//   assets::writeFile(dir / "block.ms3d", assets::encodeMs3d(model));
//
// Values are written exactly as given: `t` is the file's second texture coordinate (the
// reader draws 1 - t, so file t = 0 is the top row of the image). Names longer than their
// field are cut to leave a terminating zero. After the materials comes a minimal animation
// block (no joints), as MilkShape itself writes.
// Not here: joints, keyframes, comments, validation (tests use it to build broken files).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

struct Ms3dVertex {
    float position[3] = {0, 0, 0};
    uint8_t flags = 0;
    int8_t boneId = -1;
    uint8_t referenceCount = 1;
};

struct Ms3dTriangle {
    uint16_t flags = 0;
    uint16_t vertexIndices[3] = {0, 0, 0};
    float normals[3][3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    float s[3] = {0, 0, 0};
    float t[3] = {0, 0, 0};
    uint8_t smoothingGroup = 1;
    uint8_t groupIndex = 0;
};

struct Ms3dGroup {
    std::string name;
    std::vector<uint16_t> triangleIndices;
    int8_t materialIndex = -1;  // -1 = no material
    uint8_t flags = 0;
};

struct Ms3dMaterial {
    std::string name;
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float emissive[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
    float transparency = 1.0f;
    uint8_t mode = 0;
    std::string texture;   // ".\name.jpg" as MilkShape stores it; empty = none
    std::string alphaMap;
};

struct Ms3dModel {
    int32_t version = 4;
    std::vector<Ms3dVertex> vertices;
    std::vector<Ms3dTriangle> triangles;
    std::vector<Ms3dGroup> groups;
    std::vector<Ms3dMaterial> materials;
};

// The whole file. Counts above 65535 are cut to 16 bits as the format stores them.
std::vector<uint8_t> encodeMs3d(const Ms3dModel& model);

}  // namespace assets
