#include "tools/assetlib/ms3d_writer.h"

#include <cstring>

namespace assets {

namespace {

constexpr char kIdentifier[] = "MS3D000000";
constexpr size_t kIdentifierSize = 10;
constexpr size_t kGroupNameSize = 32;
constexpr size_t kMaterialNameSize = 32;
constexpr size_t kTextureNameSize = 128;
// The animation block after the materials: frames per second, current time, frame count.
constexpr float kAnimationFps = 24.0f;
constexpr int32_t kTotalFrames = 30;

class Writer {
public:
    std::vector<uint8_t> bytes;

    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) {
        u8(uint8_t(v));
        u8(uint8_t(v >> 8));
    }
    void i32(int32_t v) {
        const uint32_t u = uint32_t(v);
        for (int shift = 0; shift < 32; shift += 8) u8(uint8_t(u >> shift));
    }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        i32(int32_t(bits));
    }
    void floats(const float* v, int n) {
        for (int i = 0; i < n; ++i) f32(v[i]);
    }
    // Zero-padded; cut to leave at least one zero byte.
    void name(const std::string& text, size_t fieldSize) {
        const size_t length = text.size() < fieldSize ? text.size() : fieldSize - 1;
        for (size_t i = 0; i < fieldSize; ++i) u8(i < length ? uint8_t(text[i]) : 0);
    }
};

}  // namespace

std::vector<uint8_t> encodeMs3d(const Ms3dModel& model) {
    Writer out;
    for (size_t i = 0; i < kIdentifierSize; ++i) out.u8(uint8_t(kIdentifier[i]));
    out.i32(model.version);

    out.u16(uint16_t(model.vertices.size()));
    for (const Ms3dVertex& v : model.vertices) {
        out.u8(v.flags);
        out.floats(v.position, 3);
        out.u8(uint8_t(v.boneId));
        out.u8(v.referenceCount);
    }

    out.u16(uint16_t(model.triangles.size()));
    for (const Ms3dTriangle& t : model.triangles) {
        out.u16(t.flags);
        for (uint16_t index : t.vertexIndices) out.u16(index);
        for (const float* normal : t.normals) out.floats(normal, 3);
        out.floats(t.s, 3);
        out.floats(t.t, 3);
        out.u8(t.smoothingGroup);
        out.u8(t.groupIndex);
    }

    out.u16(uint16_t(model.groups.size()));
    for (const Ms3dGroup& g : model.groups) {
        out.u8(g.flags);
        out.name(g.name, kGroupNameSize);
        out.u16(uint16_t(g.triangleIndices.size()));
        for (uint16_t index : g.triangleIndices) out.u16(index);
        out.u8(uint8_t(g.materialIndex));
    }

    out.u16(uint16_t(model.materials.size()));
    for (const Ms3dMaterial& m : model.materials) {
        out.name(m.name, kMaterialNameSize);
        out.floats(m.ambient, 4);
        out.floats(m.diffuse, 4);
        out.floats(m.specular, 4);
        out.floats(m.emissive, 4);
        out.f32(m.shininess);
        out.f32(m.transparency);
        out.u8(m.mode);
        out.name(m.texture, kTextureNameSize);
        out.name(m.alphaMap, kTextureNameSize);
    }

    out.f32(kAnimationFps);
    out.f32(0.0f);
    out.i32(kTotalFrames);
    out.u16(0);  // joints
    return out.bytes;
}

}  // namespace assets
