#include "model/model.h"

#include "demogl/demogl.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace {

// File layout, in bytes.
constexpr char kIdentifier[] = "MS3D000000";
constexpr size_t kIdentifierSize = 10;
constexpr int32_t kOldestVersion = 3;
constexpr int32_t kNewestVersion = 4;
constexpr size_t kVertexSize = 15;           // flags, x, y, z, bone id, reference count
constexpr size_t kTriangleSize = 70;         // flags, 3 indices, 9 normals, 3 s, 3 t, 2 bytes
constexpr size_t kGroupNameSize = 32;
constexpr size_t kGroupFixedSize = 1 + kGroupNameSize + 2 + 1;  // flags, name, count, material
constexpr size_t kMaterialNameSize = 32;
constexpr size_t kTextureNameSize = 128;
constexpr size_t kAlphaMapNameSize = 128;
constexpr size_t kMaterialSize = 361;

// How the textures of models are requested from the host.
constexpr size_t kTextureNamePrefix = 2;     // the ".\" in front of every stored name
constexpr int kTextureFileType = 1;
constexpr int kTextureAlphaSource = 0;
constexpr int kTextureBorder = 0;
constexpr int kTextureDimensions = 2;

// GL accepts specular exponents in this range only.
constexpr float kMaxShininess = 128.0f;

// Reads little-endian fields from the file without ever passing its end. Once a read fails,
// every later read fails too, so a parse can check once at the end of a record.
class Reader {
public:
    Reader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t left() const { return size_ - pos_; }

    // True when `count` records of at least `recordSize` bytes each can still be there.
    bool holds(size_t count, size_t recordSize) {
        if (ok_ && count <= left() / recordSize) return true;
        ok_ = false;
        return false;
    }

    const unsigned char* take(size_t n) {
        if (!ok_ || n > left()) {
            ok_ = false;
            return nullptr;
        }
        const unsigned char* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    void skip(size_t n) { take(n); }
    uint8_t u8() {
        const unsigned char* p = take(1);
        return p ? p[0] : 0;
    }
    uint16_t u16() {
        const unsigned char* p = take(2);
        return p ? uint16_t(p[0] | p[1] << 8) : 0;
    }
    int32_t i32() {
        const unsigned char* p = take(4);
        if (!p) return 0;
        return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    }
    // Any bit pattern is taken, NaN and infinities included: GL draws them harmlessly.
    float f32() {
        const uint32_t bits = uint32_t(i32());
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    void floats(float* out, int n) {
        for (int i = 0; i < n; ++i) out[i] = f32();
    }
    // A fixed-size name field: its text runs to the first zero byte or to the field's end (a
    // name as long as its field fills it with no terminator, as MilkShape writes it). False
    // when the field is not all there.
    bool name(size_t fieldSize, const char** text, size_t* length) {
        const unsigned char* p = take(fieldSize);
        if (!p) return false;
        *text = reinterpret_cast<const char*>(p);
        const void* zero = std::memchr(p, 0, fieldSize);
        *length = zero ? size_t(static_cast<const unsigned char*>(zero) - p) : fieldSize;
        return true;
    }

private:
    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// Each section: a 16-bit count that must fit into the bytes left, an array of exactly that
// many records (zero is allowed), filled in file order. The count field is set as soon as
// the array exists, so a failed parse frees what was made.

bool readVertices(Reader& in, CModelBase& m) {
    const int count = in.u16();
    if (!in.holds(count, kVertexSize)) return false;
    m.vertices = new (std::nothrow) SVertex[count]();
    if (!m.vertices) return false;
    m.numVertices = count;
    for (int i = 0; i < count; ++i) {
        in.skip(1);  // flags
        in.floats(m.vertices[i].position, 3);
        in.skip(2);  // bone id, reference count
    }
    return in.ok();
}

// A vertex index beyond the vertices makes the file inconsistent: refused.
bool readTriangles(Reader& in, CModelBase& m) {
    const int count = in.u16();
    if (!in.holds(count, kTriangleSize)) return false;
    m.triangles = new (std::nothrow) STriangle[count]();
    if (!m.triangles) return false;
    m.numTriangles = count;
    for (int i = 0; i < count; ++i) {
        STriangle& tri = m.triangles[i];
        in.skip(2);  // flags
        for (int& index : tri.vertexIndices) {
            index = in.u16();
            if (index >= m.numVertices) return false;
        }
        for (float* normal : tri.normals) in.floats(normal, 3);
        in.floats(tri.s, 3);
        in.floats(tri.t, 3);
        for (float& t : tri.t) t = 1.0f - t;
        in.skip(2);  // smoothing group, group index
    }
    return in.ok();
}

// A triangle index beyond the triangles makes the file inconsistent: refused. The material
// index is checked once the materials are known (normaliseMaterialIndices).
bool readGroups(Reader& in, CModelBase& m) {
    const int count = in.u16();
    if (!in.holds(count, kGroupFixedSize)) return false;
    m.groups = new (std::nothrow) SGroup[count]();
    if (!m.groups) return false;
    m.numGroups = count;
    for (int i = 0; i < count; ++i) {
        SGroup& group = m.groups[i];
        in.skip(1 + kGroupNameSize);  // flags, name
        const int numTriangles = in.u16();
        if (!in.holds(numTriangles, sizeof(uint16_t))) return false;
        group.triangleIndices = new (std::nothrow) int[numTriangles]();
        if (!group.triangleIndices) return false;
        group.numTriangles = numTriangles;
        for (int k = 0; k < numTriangles; ++k) {
            const int index = in.u16();
            if (index >= m.numTriangles) return false;
            group.triangleIndices[k] = index;
        }
        group.materialIndex = int8_t(in.u8());
    }
    return in.ok();
}

bool readMaterials(Reader& in, CModelBase& m) {
    const int count = in.u16();
    if (!in.holds(count, kMaterialSize)) return false;
    m.materials = new (std::nothrow) SMaterial[count]();
    if (!m.materials) return false;
    m.numMaterials = count;
    for (int i = 0; i < count; ++i) {
        SMaterial& material = m.materials[i];
        in.skip(kMaterialNameSize);
        in.floats(material.ambient, 4);
        in.floats(material.diffuse, 4);
        in.floats(material.specular, 4);
        in.floats(material.emissive, 4);
        material.shininess = in.f32();
        in.skip(4 + 1);  // transparency, mode
        const char* textureName = nullptr;
        size_t length = 0;
        if (!in.name(kTextureNameSize, &textureName, &length)) return false;
        in.skip(kAlphaMapNameSize);
        if (!in.ok()) return false;
        // A one-character name cannot lose its two-character prefix: taken as no texture.
        if (length < kTextureNamePrefix) length = 0;
        material.textureName = new (std::nothrow) char[length + 1];
        if (!material.textureName) return false;
        std::memcpy(material.textureName, textureName, length);
        material.textureName[length] = 0;
    }
    return in.ok();
}

// A material index that is neither negative nor a material's is drawn as no material.
void normaliseMaterialIndices(CModelBase& m) {
    for (int i = 0; i < m.numGroups; ++i) {
        if (m.groups[i].materialIndex >= m.numMaterials) m.groups[i].materialIndex = -1;
    }
}

}  // namespace

CModelBase::~CModelBase() {
    Free();
}

void CModelBase::Free() {
    for (int i = 0; i < numGroups; ++i) delete[] groups[i].triangleIndices;
    for (int i = 0; i < numMaterials; ++i) delete[] materials[i].textureName;
    delete[] groups;
    delete[] triangles;
    delete[] vertices;
    delete[] materials;
    groups = nullptr;
    triangles = nullptr;
    vertices = nullptr;
    materials = nullptr;
    numGroups = numTriangles = numVertices = numMaterials = 0;
}

bool CModel::Load(const char* name) {
    Free();
    size_t size = 0;
    const unsigned char* data = DEMOGL_FileLoad(name, &size);
    if (!data) return false;

    Reader in(data, size);
    const unsigned char* identifier = in.take(kIdentifierSize);
    const int32_t version = in.i32();
    bool loaded = in.ok() && std::memcmp(identifier, kIdentifier, kIdentifierSize) == 0 &&
                  version >= kOldestVersion && version <= kNewestVersion;
    // The sections follow one another; the first that fails stops the parse. Whatever comes
    // after the materials (joints, comments) is not read.
    loaded = loaded && readVertices(in, *this) && readTriangles(in, *this) && readGroups(in, *this) &&
             readMaterials(in, *this);
    if (!loaded) {
        DEMOGL_FileFree(data);
        Free();
        return false;
    }
    normaliseMaterialIndices(*this);
    // The host's file buffer is given back only after the textures were requested.
    LoadTextures();
    DEMOGL_FileFree(data);
    return true;
}

void CModel::LoadTextures() {
    for (int i = 0; i < numMaterials; ++i) {
        SMaterial& material = materials[i];
        // Names shorter than the prefix were emptied by Load, so the prefix is always there.
        material.texture = material.textureName[0] == 0
                               ? 0
                               : DEMOGL_TextureLoad(material.textureName + kTextureNamePrefix,
                                                    kTextureFileType, kTextureAlphaSource, GL_CLAMP,
                                                    GL_CLAMP, GL_LINEAR, GL_LINEAR, false, false,
                                                    kTextureBorder, GL_RGB5_A1, kTextureDimensions);
    }
}

void CModel::Draw() {
    const GLboolean texturing = glIsEnabled(GL_TEXTURE_2D);
    for (int g = 0; g < numGroups; ++g) {
        const SGroup& group = groups[g];
        // Load keeps every index in range; the material index is checked again because a
        // caller may set it (the triangle and vertex indices are Load's alone).
        if (group.materialIndex >= 0 && group.materialIndex < numMaterials) {
            const SMaterial& material = materials[group.materialIndex];
            glMaterialfv(GL_FRONT, GL_AMBIENT, material.ambient);
            glMaterialfv(GL_FRONT, GL_DIFFUSE, material.diffuse);
            glMaterialfv(GL_FRONT, GL_SPECULAR, material.specular);
            glMaterialfv(GL_FRONT, GL_EMISSION, material.emissive);
            // GL refuses exponents outside 0..128 and NaN poisons the lighting: clamped.
            float shininess = material.shininess;
            if (!(shininess >= 0.0f)) shininess = 0.0f;
            if (shininess > kMaxShininess) shininess = kMaxShininess;
            glMaterialf(GL_FRONT, GL_SHININESS, shininess);
            if (material.texture != 0) {
                glBindTexture(GL_TEXTURE_2D, material.texture);
                glEnable(GL_TEXTURE_2D);
            } else {
                glDisable(GL_TEXTURE_2D);
            }
        } else {
            // No material: drawn untextured with whatever material was set last.
            glDisable(GL_TEXTURE_2D);
        }
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < group.numTriangles; ++k) {
            const STriangle& tri = triangles[group.triangleIndices[k]];
            for (int corner = 0; corner < 3; ++corner) {
                glNormal3fv(tri.normals[corner]);
                glTexCoord2f(tri.s[corner], tri.t[corner]);
                glVertex3fv(vertices[tri.vertexIndices[corner]].position);
            }
        }
        glEnd();
    }
    if (texturing)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
}
