// ms3d_samples.h: small MilkShape models built in memory for the model and scene tests.
#pragma once

#include "tools/assetlib/ms3d_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ms3d_samples {

// A square of two triangles, `half` units from the centre, facing +z, in one group.
inline assets::Ms3dModel square(float half, int8_t materialIndex) {
    assets::Ms3dModel m;
    const float corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
    for (const auto& c : corners) {
        assets::Ms3dVertex v;
        v.position[0] = c[0];
        v.position[1] = c[1];
        m.vertices.push_back(v);
    }
    const uint16_t tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const auto& t : tris) {
        assets::Ms3dTriangle tri;
        for (int k = 0; k < 3; ++k) {
            tri.vertexIndices[k] = t[k];
            tri.s[k] = m.vertices[t[k]].position[0] > 0 ? 1.0f : 0.0f;
            tri.t[k] = m.vertices[t[k]].position[1] > 0 ? 0.0f : 1.0f;
        }
        m.triangles.push_back(tri);
    }
    assets::Ms3dGroup g;
    g.name = "square";
    g.triangleIndices = {0, 1};
    g.materialIndex = materialIndex;
    m.groups.push_back(g);
    return m;
}

// A material that shows `r, g, b` whatever the light: only emission, with the given alpha.
inline assets::Ms3dMaterial glowing(float r, float g, float b, float alpha, const std::string& texture = "") {
    assets::Ms3dMaterial mat;
    mat.name = "glow";
    for (float* c : {mat.ambient, mat.diffuse, mat.specular}) c[0] = c[1] = c[2] = 0.0f;
    mat.diffuse[3] = alpha;
    mat.emissive[0] = r;
    mat.emissive[1] = g;
    mat.emissive[2] = b;
    mat.texture = texture;
    return mat;
}

inline std::vector<unsigned char> bytes(const assets::Ms3dModel& m) {
    const std::vector<uint8_t> b = assets::encodeMs3d(m);
    return std::vector<unsigned char>(b.begin(), b.end());
}

}  // namespace ms3d_samples
