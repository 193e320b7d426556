// model.h: MilkShape 3D binary models ("MS3D000000", versions 3 and 4), read from the
// data file and drawn in immediate mode.
//
//   CModel model;
//   if (!model.Load("block.ms3d")) { /* report; the model stays empty and draws nothing */ }
//   model.Draw();        // with the caller's matrices, lighting, fog and blending
//
// Load reads vertices, triangles, groups and materials and requests every material's
// texture (LoadTextures, which the scene effects call again before each upload). The
// stored texture names carry a two-character prefix (".\jeep1.jpg"); the request drops it.
// A name as long as its field fills it with no zero byte: valid, so a texture name of 128
// characters is kept whole (group and material names are skipped).
//
// The file is untrusted: every count and index is checked against the bytes and records
// that are really there, and anything inconsistent is refused as a whole (Load returns
// false, the model stays empty). A shininess outside GL's 0..128, or NaN, is clamped when
// drawn.
// Not here: joints, animation, comments, alpha maps, transparency, back-face materials;
// colour, blending, lighting and matrices are the caller's.
#pragma once

// A vertex of the model, in model units.
struct SVertex {
    float position[3];  // x, y, z
};

// A triangle with its own normal and texture coordinate per corner.
struct STriangle {
    float normals[3][3];    // per corner: x, y, z
    float s[3];             // first texture coordinate per corner, as stored
    float t[3];             // second texture coordinate per corner, 1 - the file's value
    int vertexIndices[3];   // into CModelBase::vertices, always in range after Load
};

// A group of triangles drawn with one material.
struct SGroup {
    int materialIndex;      // into CModelBase::materials; negative = no material
    int numTriangles;
    int* triangleIndices;   // owned; into CModelBase::triangles, always in range after Load
};

// One material and the host texture its name refers to.
struct SMaterial {
    float ambient[4];       // red, green, blue, alpha
    float diffuse[4];
    float specular[4];
    float emissive[4];
    float shininess;
    unsigned texture;       // host texture handle (the GL texture name), 0 = none
    char* textureName;      // owned, zero-terminated, possibly empty (".\name.jpg" as stored)
};

// Owns the model data; derived classes read it from somewhere.
class CModelBase {
public:
    CModelBase() = default;
    // Frees every array and string; releases no texture (the host owns them).
    virtual ~CModelBase();
    // Reads the named model; true when loaded.
    virtual bool Load(const char* name) = 0;

    int numGroups = 0;
    SGroup* groups = nullptr;
    int numTriangles = 0;
    STriangle* triangles = nullptr;
    int numVertices = 0;
    SVertex* vertices = nullptr;
    int numMaterials = 0;
    SMaterial* materials = nullptr;

    CModelBase(const CModelBase&) = delete;
    CModelBase& operator=(const CModelBase&) = delete;

protected:
    // Back to the empty model: frees everything and zeroes the counts.
    void Free();
};

class CModel : public CModelBase {
public:
    // Reads the model from the data file (DEMOGL_FileLoad). False for a missing file, a
    // wrong identifier or version, or a file that is short or inconsistent; the model is
    // then empty. Requests the textures on success.
    bool Load(const char* name) override;
    // Requests every named material's texture again and stores the new handles; earlier
    // handles are not released. Needs whatever the host needs to load a texture.
    void LoadTextures();
    // Draws every group with the current GL state; leaves GL_TEXTURE_2D enabled or
    // disabled as it found it. Sets front-face materials and the texture binding.
    void Draw();
};
