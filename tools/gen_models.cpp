// gen_models: writes the MilkShape models of the scene effects and the textures they name.
//
//   gen_models OUTDIR
//
// block.ms3d     a cross of bevelled stone blocks, about 190 units across (CKREUZ: seen 110 to
//                410 units away, 55 below the eye, lit from the viewer, in fog)
// tunnel.ms3d    a panelled tube of radius 7 along z from -100 to +240 (CTUNNEL: its axis
//                passes about 2.5 units from the eye, so the viewer looks down its inside)
// greetz.ms3d    greetings to invented groups, outro.ms3d the closing text, quorvoxe.ms3d the
//                logo "quorV0!xe": bevelled pixel letters about 2 to 4 units wide, seen 2.5 to
//                3 units away and added onto the frame (dark parts vanish); the logo's are
//                extruded solids, the text's only their lit front and chamfers (a relief)
//
// Every model is MilkShape version 4 with a normal per triangle corner, texture coordinates
// and materials naming their JPEG as ".\name.jpg". The letters come from a hand-made 5x7
// pixel font below. Deterministic: the same files on every run.
#include "tools/assetlib/image.h"
#include "tools/assetlib/ms3d_writer.h"
#include "tools/assetlib/pixel_letters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using assets::Color;
using assets::Image;
using assets::Ms3dMaterial;
using assets::Ms3dModel;

constexpr float kPi = 3.14159265358979f;
constexpr int kTextureSize = 256;  // pixels, every texture square
constexpr int kJpegQuality = 90;

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(float k, Vec3 a) { return {k * a.x, k * a.y, k * a.z}; }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 normalize(Vec3 a) {
    const float length = std::sqrt(dot(a, a));
    return length > 0 ? (1.0f / length) * a : a;
}
float component(Vec3 v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
void setComponent(Vec3& v, int axis, float value) { (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = value; }

// Texture coordinates as GL draws them: t = 0 is the top row of the image.
struct Uv {
    float s = 0, t = 0;
};
using UvFunction = std::function<Uv(Vec3 position, Vec3 normal)>;

// Collects vertices, flat-shaded polygons and groups into an MS3D model.
class Mesh {
public:
    Ms3dModel model;

    int material(const Ms3dMaterial& m) {
        model.materials.push_back(m);
        return int(model.materials.size()) - 1;
    }
    void beginGroup(const std::string& name, int materialIndex) {
        assets::Ms3dGroup group;
        group.name = name;
        group.materialIndex = int8_t(materialIndex);
        model.groups.push_back(group);
    }
    uint16_t vertex(Vec3 p) {
        const auto key = std::array<float, 3>{p.x, p.y, p.z};
        auto found = index_.find(key);
        if (found != index_.end()) return found->second;
        assets::Ms3dVertex v;
        v.position[0] = p.x;
        v.position[1] = p.y;
        v.position[2] = p.z;
        model.vertices.push_back(v);
        checkLimit(model.vertices.size());
        const uint16_t index = uint16_t(model.vertices.size() - 1);
        index_[key] = index;
        return index;
    }
    // A convex polygon, fanned into triangles, turned so that its front faces `outward`.
    void polygon(std::vector<Vec3> corners, Vec3 outward, const UvFunction& uv) {
        const Vec3 n = normalize(outward);
        const Vec3 geometric = cross(corners[1] - corners[0], corners[2] - corners[0]);
        if (dot(geometric, n) < 0) std::reverse(corners.begin(), corners.end());
        for (size_t i = 1; i + 1 < corners.size(); ++i) {
            const Vec3 tri[3] = {corners[0], corners[i], corners[i + 1]};
            const Vec3 normals[3] = {n, n, n};
            const Uv coords[3] = {uv(tri[0], n), uv(tri[1], n), uv(tri[2], n)};
            triangle(tri, normals, coords);
        }
    }
    void triangle(const Vec3 p[3], const Vec3 n[3], const Uv uv[3]) {
        assets::Ms3dTriangle tri;
        for (int c = 0; c < 3; ++c) {
            tri.vertexIndices[c] = vertex(p[c]);
            tri.normals[c][0] = n[c].x;
            tri.normals[c][1] = n[c].y;
            tri.normals[c][2] = n[c].z;
            tri.s[c] = uv[c].s;
            tri.t[c] = 1.0f - uv[c].t;  // the reader draws 1 - t
        }
        tri.groupIndex = uint8_t(model.groups.size() - 1);
        model.triangles.push_back(tri);
        checkLimit(model.triangles.size());
        model.groups.back().triangleIndices.push_back(uint16_t(model.triangles.size() - 1));
    }

private:
    static void checkLimit(size_t count) {
        if (count > 65535) {
            std::fprintf(stderr, "gen_models: a model outgrew the format's 16-bit counts\n");
            std::exit(1);
        }
    }
    std::map<std::array<float, 3>, uint16_t> index_;
};

// An axis-aligned box with every edge chamfered by `bevel`: six inset faces, twelve edge
// strips and eight corner triangles, each with its own flat normal.
void addBevelBox(Mesh& mesh, Vec3 centre, Vec3 half, float bevel, const UvFunction& uv) {
    // The vertex near corner (sx, sy, sz) on the face across `axis`.
    auto corner = [&](int sx, int sy, int sz, int axis) {
        const int signs[3] = {sx, sy, sz};
        Vec3 p = centre;
        for (int a = 0; a < 3; ++a) {
            const float extent = component(half, a) - (a == axis ? 0.0f : bevel);
            setComponent(p, a, component(centre, a) + float(signs[a]) * extent);
        }
        return p;
    };
    auto axisVector = [](int axis, int sign) {
        Vec3 v;
        setComponent(v, axis, float(sign));
        return v;
    };
    for (int axis = 0; axis < 3; ++axis) {
        for (int sign = -1; sign <= 1; sign += 2) {
            std::vector<Vec3> face;
            const int j = (axis + 1) % 3, k = (axis + 2) % 3;
            const int order[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const auto& o : order) {
                int s[3];
                s[axis] = sign;
                s[j] = o[0];
                s[k] = o[1];
                face.push_back(corner(s[0], s[1], s[2], axis));
            }
            mesh.polygon(face, axisVector(axis, sign), uv);
        }
    }
    // Edge strips run along axis k between the faces across i and j.
    for (int k = 0; k < 3; ++k) {
        const int i = (k + 1) % 3, j = (k + 2) % 3;
        for (int si = -1; si <= 1; si += 2) {
            for (int sj = -1; sj <= 1; sj += 2) {
                std::vector<Vec3> strip;
                for (int sk : {-1, 1}) {
                    int s[3];
                    s[i] = si;
                    s[j] = sj;
                    s[k] = sk;
                    strip.push_back(corner(s[0], s[1], s[2], i));
                }
                for (int sk : {1, -1}) {
                    int s[3];
                    s[i] = si;
                    s[j] = sj;
                    s[k] = sk;
                    strip.push_back(corner(s[0], s[1], s[2], j));
                }
                mesh.polygon(strip, axisVector(i, si) + axisVector(j, sj), uv);
            }
        }
    }
    for (int sx = -1; sx <= 1; sx += 2) {
        for (int sy = -1; sy <= 1; sy += 2) {
            for (int sz = -1; sz <= 1; sz += 2) {
                mesh.polygon({corner(sx, sy, sz, 0), corner(sx, sy, sz, 1), corner(sx, sy, sz, 2)},
                             Vec3{float(sx), float(sy), float(sz)}, uv);
            }
        }
    }
}

// ---- the pixel font ----

// 5 columns by 7 rows per glyph, top row first; '#' is a lit pixel. Lower-case letters sit on
// the baseline with a 5-row x-height.
const std::map<char, std::array<const char*, 7>>& font() {
    static const std::map<char, std::array<const char*, 7>> glyphs = {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
        {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
        {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
        {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
        {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
        {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
        {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
        {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
        {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
        {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
        {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
        {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
        {'q', {".....", ".....", ".####", "#...#", "#...#", ".####", "....#"}},
        {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
        {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
        {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
    };
    return glyphs;
}

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
constexpr int kGlyphAdvance = 6;  // columns per character, one of them spacing
constexpr float kLetterBevel = 0.3f;  // chamfer width, in font pixels
// Greetings and outro are seen only from the front and added onto the frame: their letters'
// walls and backs would add next to nothing but most of the triangles.
constexpr float kReliefDepth = 0.0f;

// Where a line of text stands: its top-left corner, pixel size and depth, in model units.
struct TextLine {
    std::string text;
    float pixel;   // edge of one font pixel
    float top;     // y of the line's top edge
    float depth;   // extrusion along -z, front face at z = 0; 0 = a relief without walls or back
};

float lineWidth(const TextLine& line) {
    return float(int(line.text.size()) * kGlyphAdvance - 1) * line.pixel;
}

// Emits one line, centred on x = 0, its front faces at z = 0: the line's lit font pixels as
// one grid (the spacing column keeps the characters apart), built as solid bevelled letters.
void addText(Mesh& mesh, const TextLine& line, const UvFunction& uv) {
    const int columns = int(line.text.size()) * kGlyphAdvance - 1;
    assets::PixelGrid grid(columns, kGlyphRows);
    for (size_t i = 0; i < line.text.size(); ++i) {
        auto glyph = font().find(line.text[i]);
        if (glyph == font().end()) {
            std::fprintf(stderr, "gen_models: no glyph for '%c'\n", line.text[i]);
            std::exit(1);
        }
        for (int row = 0; row < kGlyphRows; ++row)
            for (int col = 0; col < kGlyphColumns; ++col)
                if (glyph->second[size_t(row)][col] == '#') grid.set(int(i) * kGlyphAdvance + col, row);
    }
    const assets::LetterPlacement place{-lineWidth(line) / 2, line.top, line.pixel, line.pixel * kLetterBevel,
                                        line.depth, line.depth > 0};
    for (const assets::LetterFace& face : assets::letterFaces(grid, place)) {
        std::vector<Vec3> corners;
        for (const auto& c : face.corners) corners.push_back({c[0], c[1], c[2]});
        mesh.polygon(corners, {face.outward[0], face.outward[1], face.outward[2]}, uv);
    }
}

// Planar mapping of the whole text block onto the texture: its top edge at t = 0.
UvFunction blockMapping(float left, float right, float top, float bottom) {
    return [=](Vec3 p, Vec3) {
        return Uv{(p.x - left) / (right - left), (top - p.y) / (top - bottom)};
    };
}

Ms3dMaterial makeMaterial(const std::string& name, Color ambient, Color diffuse, float alpha,
                          Color specular, float shininess, Color emissive, const std::string& texture) {
    Ms3dMaterial m;
    m.name = name;
    const Color colors[4] = {ambient, diffuse, specular, emissive};
    float* targets[4] = {m.ambient, m.diffuse, m.specular, m.emissive};
    for (int i = 0; i < 4; ++i) {
        targets[i][0] = colors[i].r;
        targets[i][1] = colors[i].g;
        targets[i][2] = colors[i].b;
        targets[i][3] = i == 1 ? alpha : 1.0f;
    }
    m.shininess = shininess;
    m.transparency = alpha;
    m.texture = ".\\" + texture;
    return m;
}

// ---- textures ----

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
Color mix(Color a, Color b, float k) {
    return {a.r + (b.r - a.r) * k, a.g + (b.g - a.g) * k, a.b + (b.b - a.b) * k};
}
Color scale(Color a, float k) { return {a.r * k, a.g * k, a.b * k}; }

// Weathered stone with a raised, lighter frame: each face of a block shows one slab.
Image stoneTexture() {
    Image img(kTextureSize, kTextureSize);
    for (int y = 0; y < kTextureSize; ++y) {
        for (int x = 0; x < kTextureSize; ++x) {
            const float u = float(x) / kTextureSize, v = float(y) / kTextureSize;
            const float grain = assets::fractalNoise(u * 8, v * 8, 5, 11);
            const float veins = std::fabs(assets::fractalNoise(u * 3, v * 3, 4, 23) - 0.5f);
            const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            Color c = mix(Color{0.7f, 0.66f, 0.62f}, Color{1.0f, 0.95f, 0.86f}, grain);
            if (veins < 0.03f) c = scale(c, 0.6f + veins * 10);
            if (edge < 0.06f) c = mix(c, Color{0.95f, 0.9f, 0.8f}, 0.6f);
            if (edge >= 0.06f && edge < 0.08f) c = scale(c, 0.55f);
            img.set(x, y, c);
        }
    }
    return img;
}

// A tunnel wall panel: dark blue metal, glowing cyan seams at its edges, an amber light strip
// across its middle and rivets in the corners. Mapped once onto every quad of the tube.
Image tunnelTexture() {
    Image img(kTextureSize, kTextureSize);
    for (int y = 0; y < kTextureSize; ++y) {
        for (int x = 0; x < kTextureSize; ++x) {
            const float u = float(x) / kTextureSize, v = float(y) / kTextureSize;
            const float metal = assets::fractalNoise(u * 6, v * 6, 4, 5);
            Color c = mix(Color{0.12f, 0.18f, 0.35f}, Color{0.35f, 0.45f, 0.7f}, metal);
            const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            const float seam = std::exp(-edge * 60.0f);
            c = mix(c, Color{0.4f, 0.95f, 1.0f}, seam);
            const float strip = std::exp(-std::pow((v - 0.5f) * 14.0f, 2.0f)) * (0.6f + 0.4f * std::cos(u * 12 * kPi));
            c = mix(c, Color{1.0f, 0.7f, 0.25f}, clamp01(strip));
            for (float cu : {0.12f, 0.88f}) {
                for (float cv : {0.12f, 0.88f}) {
                    const float d = std::hypot(u - cu, v - cv);
                    if (d < 0.025f) c = mix(c, Color{0.8f, 0.85f, 0.9f}, 1 - d / 0.025f);
                }
            }
            img.set(x, y, c);
        }
    }
    return img;
}

// A vertical gradient through the given colours with a little noise, for lettering.
Image gradientTexture(const std::vector<Color>& stops, uint32_t seed, float sparkle) {
    Image img(kTextureSize, kTextureSize);
    for (int y = 0; y < kTextureSize; ++y) {
        const float v = float(y) / (kTextureSize - 1) * float(stops.size() - 1);
        const int i = std::min(int(v), int(stops.size()) - 2);
        const Color base = mix(stops[size_t(i)], stops[size_t(i) + 1], v - float(i));
        for (int x = 0; x < kTextureSize; ++x) {
            const float n = assets::fractalNoise(float(x) / 32, float(y) / 32, 3, seed);
            img.set(x, y, scale(base, 1.0f - sparkle + sparkle * 2 * n));
        }
    }
    return img;
}

// Polished metal: a bright sky fading down into a cool blue, a thin warm glint just below
// the middle and a violet floor; the glint keeps the letters' middle alive.
Image chromeTexture() {
    Image img(kTextureSize, kTextureSize);
    for (int y = 0; y < kTextureSize; ++y) {
        const float v = float(y) / (kTextureSize - 1);
        Color c;
        if (v < 0.55f)
            c = mix(Color{0.95f, 0.98f, 1.0f}, Color{0.3f, 0.5f, 1.0f}, v / 0.55f);
        else
            c = mix(Color{0.85f, 0.6f, 1.0f}, Color{0.45f, 0.2f, 0.7f}, (v - 0.55f) / 0.45f);
        const float glint = std::exp(-std::pow((v - 0.58f) * 30.0f, 2.0f));
        c = mix(c, Color{1.0f, 0.85f, 0.6f}, glint);
        for (int x = 0; x < kTextureSize; ++x) {
            const float n = assets::valueNoise(float(x) / 16, float(y) / 64, 77);
            img.set(x, y, scale(c, 0.9f + 0.2f * n));
        }
    }
    return img;
}

// ---- the models ----

Ms3dModel blockModel() {
    constexpr float kBlockHalf = 18.0f;    // half the edge of one block
    constexpr float kBlockPitch = 38.0f;   // centre to centre, leaving a 2-unit gap
    constexpr float kBevel = 3.5f;
    constexpr int kArmBlocks = 2;          // blocks on each of the six arms
    Mesh mesh;
    const int stone = mesh.material(makeMaterial("stone", {1.0f, 0.97f, 0.92f}, {0.95f, 0.92f, 0.88f}, 1.0f,
                                                 {0.35f, 0.33f, 0.3f}, 24.0f, {0.1f, 0.09f, 0.08f},
                                                 "kreuzstein.jpg"));
    mesh.beginGroup("cross", stone);
    // Each face shows the whole slab texture, projected along its dominant axis.
    const UvFunction faceMapping = [=](Vec3 p, Vec3 n) {
        const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
        const int axis = ax >= ay && ax >= az ? 0 : ay >= az ? 1 : 2;
        const int i = (axis + 1) % 3, j = (axis + 2) % 3;
        const auto local = [&](float value) {
            const float cell = std::floor(value / kBlockPitch + 0.5f) * kBlockPitch;
            return clamp01((value - cell + kBlockHalf) / (2 * kBlockHalf));
        };
        return Uv{local(component(p, i)), 1.0f - local(component(p, j))};
    };
    std::vector<Vec3> centres = {{0, 0, 0}};
    for (int axis = 0; axis < 3; ++axis) {
        for (int sign = -1; sign <= 1; sign += 2) {
            for (int step = 1; step <= kArmBlocks; ++step) {
                Vec3 c;
                setComponent(c, axis, float(sign * step) * kBlockPitch);
                centres.push_back(c);
            }
        }
    }
    for (Vec3 c : centres) addBevelBox(mesh, c, {kBlockHalf, kBlockHalf, kBlockHalf}, kBevel, faceMapping);
    return mesh.model;
}

Ms3dModel tunnelModel() {
    constexpr float kRadius = 7.0f;
    constexpr int kSides = 16;
    constexpr float kNearEnd = 240.0f;     // model z; beyond the viewer at about +207
    constexpr float kFarEnd = -100.0f;     // far beyond the origin, long lost in the fog
    constexpr float kSegmentLength = 4.0f;
    Mesh mesh;
    const int wall = mesh.material(makeMaterial("wall", {0.3f, 0.3f, 0.3f}, {1.0f, 1.0f, 1.0f}, 1.0f,
                                                {0.0f, 0.0f, 0.0f}, 0.0f, {0.0f, 0.0f, 0.0f},
                                                "tunnelwand.jpg"));
    mesh.beginGroup("tube", wall);
    const int segments = int((kNearEnd - kFarEnd) / kSegmentLength);
    // Inside faces: the normals point at the axis. Every quad maps the whole panel.
    for (int seg = 0; seg < segments; ++seg) {
        const float z0 = kFarEnd + float(seg) * kSegmentLength, z1 = z0 + kSegmentLength;
        for (int side = 0; side < kSides; ++side) {
            const float a0 = 2 * kPi * float(side) / kSides, a1 = 2 * kPi * float(side + 1) / kSides;
            const Vec3 p[4] = {{kRadius * std::cos(a0), kRadius * std::sin(a0), z0},
                               {kRadius * std::cos(a1), kRadius * std::sin(a1), z0},
                               {kRadius * std::cos(a1), kRadius * std::sin(a1), z1},
                               {kRadius * std::cos(a0), kRadius * std::sin(a0), z1}};
            const Uv uv[4] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
            auto inward = [](Vec3 q) { return normalize(Vec3{-q.x, -q.y, 0}); };
            const int order[2][3] = {{0, 2, 1}, {0, 3, 2}};
            for (const auto& o : order) {
                const Vec3 tri[3] = {p[o[0]], p[o[1]], p[o[2]]};
                const Vec3 normals[3] = {inward(tri[0]), inward(tri[1]), inward(tri[2])};
                const Uv coords[3] = {uv[o[0]], uv[o[1]], uv[o[2]]};
                mesh.triangle(tri, normals, coords);
            }
        }
    }
    return mesh.model;
}

// Lines of text stacked from `top` down, each centred; one group and material per style.
struct TextStyle {
    std::string name;
    float pixel;
    int material;
};

using TextBlock = std::vector<std::pair<std::string, const TextStyle*>>;

void addLines(Mesh& mesh, const TextBlock& lines, float top, float depth, float lineGap,
              const UvFunction& uv) {
    float y = top;
    const TextStyle* current = nullptr;
    for (const auto& [text, style] : lines) {
        if (style != current) {
            mesh.beginGroup(style->name, style->material);
            current = style;
        }
        addText(mesh, TextLine{text, style->pixel, y, depth}, uv);
        y -= float(kGlyphRows) * style->pixel + lineGap;
    }
}

float blockHeight(const TextBlock& lines, float lineGap) {
    float h = 0;
    for (const auto& line : lines) h += float(kGlyphRows) * line.second->pixel + lineGap;
    return h - lineGap;
}

float blockWidth(const TextBlock& lines) {
    float w = 0;
    for (const auto& line : lines) w = std::max(w, lineWidth(TextLine{line.first, line.second->pixel, 0, 0}));
    return w;
}

// The lines centred on the model's origin, the whole block mapped once onto the texture.
void addTextBlock(Mesh& mesh, const TextBlock& lines, float depth, float lineGap) {
    const float height = blockHeight(lines, lineGap), width = blockWidth(lines);
    const float top = height / 2;
    addLines(mesh, lines, top, depth, lineGap, blockMapping(-width / 2, width / 2, top, top - height));
}

Ms3dModel greetzModel() {
    Mesh mesh;
    const int heading = mesh.material(makeMaterial("heading", {0.3f, 0.2f, 0.1f}, {1.0f, 0.75f, 0.35f}, 0.95f,
                                                   {0.3f, 0.3f, 0.3f}, 40.0f, {0.05f, 0.02f, 0.0f},
                                                   "gruss.jpg"));
    const int names = mesh.material(makeMaterial("names", {0.15f, 0.2f, 0.3f}, {0.6f, 0.85f, 1.0f}, 0.8f,
                                                 {0.25f, 0.25f, 0.3f}, 40.0f, {0.0f, 0.02f, 0.05f},
                                                 "gruss.jpg"));
    const TextStyle big{"heading", 0.042f, heading};
    const TextStyle small{"names", 0.03f, names};
    // Invented groups, greeted all the same.
    addTextBlock(mesh, {{"GREETINGS TO", &big},
                      {"KUPFERWAL", &small},
                      {"GLASFROSCH", &small},
                      {"MOOSBIT", &small},
                      {"ZINNOBER LTD", &small},
                      {"VEKTORMILCH", &small},
                      {"NEBELKAMMER 9", &small},
                      {"DIE FALTERBANDE", &small}},
                 kReliefDepth, 0.1f);
    return mesh.model;
}

Ms3dModel outroModel() {
    Mesh mesh;
    const int title = mesh.material(makeMaterial("title", {0.3f, 0.2f, 0.1f}, {1.0f, 0.85f, 0.55f}, 1.0f,
                                                 {0.4f, 0.4f, 0.4f}, 30.0f, {0.04f, 0.02f, 0.0f},
                                                 "abspann.jpg"));
    const int body = mesh.material(makeMaterial("body", {0.2f, 0.15f, 0.1f}, {0.95f, 0.7f, 0.5f}, 0.75f,
                                                {0.2f, 0.2f, 0.2f}, 30.0f, {0.0f, 0.0f, 0.0f},
                                                "abspann.jpg"));
    const TextStyle large{"title", 0.07f, title};
    const TextStyle small{"body", 0.032f, body};
    addTextBlock(mesh, {{"THAT WAS", &small},
                      {"GLIMMERQ", &large},
                      {"BY quorV0!xe", &small},
                      {" ", &small},
                      {"THANKS FOR WATCHING", &small}},
                 kReliefDepth, 0.12f);
    return mesh.model;
}

Ms3dModel logoModel() {
    Mesh mesh;
    const int chrome = mesh.material(makeMaterial("chrome", {0.3f, 0.3f, 0.35f}, {0.9f, 0.95f, 1.0f}, 1.0f,
                                                  {0.5f, 0.5f, 0.5f}, 50.0f, {0.02f, 0.02f, 0.05f},
                                                  "quorlogo.jpg"));
    const int bar = mesh.material(makeMaterial("bar", {0.1f, 0.1f, 0.2f}, {0.4f, 0.5f, 1.0f}, 0.6f,
                                               {0.2f, 0.2f, 0.2f}, 20.0f, {0.0f, 0.0f, 0.1f}, "quorlogo.jpg"));
    const TextStyle logo{"logo", 0.085f, chrome};
    addTextBlock(mesh, {{"quorV0!xe", &logo}}, 0.15f, 0.0f);
    // A thin bar under the letters, as wide as the logo.
    const float width = lineWidth(TextLine{"quorV0!xe", logo.pixel, 0, 0});
    const float barTop = -float(kGlyphRows) * logo.pixel / 2 - logo.pixel * 0.8f;
    const float barHeight = logo.pixel * 0.5f;
    mesh.beginGroup("bar", bar);
    addBevelBox(mesh, {0, barTop - barHeight / 2, -0.03f}, {width / 2, barHeight / 2, 0.03f}, barHeight * 0.3f,
                blockMapping(-width / 2, width / 2, barTop, barTop - barHeight));
    return mesh.model;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_models OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    assets::writeFile(out / "block.ms3d", assets::encodeMs3d(blockModel()));
    assets::writeFile(out / "tunnel.ms3d", assets::encodeMs3d(tunnelModel()));
    assets::writeFile(out / "greetz.ms3d", assets::encodeMs3d(greetzModel()));
    assets::writeFile(out / "outro.ms3d", assets::encodeMs3d(outroModel()));
    assets::writeFile(out / "quorvoxe.ms3d", assets::encodeMs3d(logoModel()));

    assets::writeJpeg(stoneTexture(), out / "kreuzstein.jpg", kJpegQuality);
    assets::writeJpeg(tunnelTexture(), out / "tunnelwand.jpg", kJpegQuality);
    assets::writeJpeg(gradientTexture({{0.5f, 0.9f, 1.0f}, {1.0f, 1.0f, 1.0f}, {0.6f, 0.5f, 1.0f}}, 31, 0.15f),
                      out / "gruss.jpg", kJpegQuality);
    assets::writeJpeg(gradientTexture({{1.0f, 0.95f, 0.6f}, {1.0f, 0.6f, 0.2f}, {0.9f, 0.25f, 0.3f}}, 47, 0.12f),
                      out / "abspann.jpg", kJpegQuality);
    assets::writeJpeg(chromeTexture(), out / "quorlogo.jpg", kJpegQuality);
    return 0;
}
