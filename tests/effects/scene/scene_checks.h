// scene_checks.h: reading back GL state and pictures in the model-scene effect tests.
#pragma once

#include "tests/support/test_host.h"

#include <algorithm>
#include <GL/gl.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace scene_checks {

inline std::array<float, 16> matrix(GLenum which) {
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

inline std::array<int, 4> viewport() {
    std::array<int, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

inline int integer(GLenum which) {
    GLint v = 0;
    glGetIntegerv(which, &v);
    return v;
}

inline float real(GLenum which) {
    GLfloat v = 0;
    glGetFloatv(which, &v);
    return v;
}

// Non-black pixels in the window rectangle [x0, x1) x [y0, y1), y from the bottom.
inline int litPixels(const glimmerq::testing::GlFixture& gl, int x0, int y0, int x1, int y1) {
    const std::vector<unsigned char> rgba = gl.picture();  // top row first
    int lit = 0;
    for (int y = y0; y < y1; ++y) {
        const int row = gl.height() - 1 - y;
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = &rgba[(size_t(row) * gl.width() + x) * 4];
            lit += (p[0] | p[1] | p[2]) != 0;
        }
    }
    return lit;
}

// Bytes that differ between two pictures of the same size.
inline size_t differingBytes(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    size_t differing = a.size() == b.size() ? 0 : std::max(a.size(), b.size());
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) differing += a[i] != b[i];
    return differing;
}

inline std::vector<unsigned char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// A JPEG that exists in memory under `name`, for models whose textures must load.
inline void putTexture(glimmerq::testing::TestHost& host, const std::string& name) {
    host.data.put(name, readFile(std::filesystem::path(GLIMMERQ_TESTDATA_DIR) / "ms3d" / "jeep1.jpg"));
}

}  // namespace scene_checks
