// face_checks.h: geometry checks on triangle soups, for generated models.
//
//   std::vector<glimmerq::testing::Facet> facets = ...;   // corners and the side they face
//   auto pair = glimmerq::testing::findBackToBack(facets);  // {-1, -1} when there is none
//
// Two facets are back to back when they lie in the same plane, face opposite ways and their
// interiors overlap: a face hidden inside a solid, drawn for nothing. Facets that only share
// an edge or a corner are not.
#pragma once

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace glimmerq::testing {

struct Facet {
    std::array<std::array<float, 3>, 3> corners;
    std::array<float, 3> normal;  // unit length
};

namespace detail {

constexpr float kPlaneTolerance = 1e-5f;   // model units
constexpr float kOverlapTolerance = 1e-6f;  // model units, along a separating axis

inline float dot3(const std::array<float, 3>& a, const std::array<float, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Separating-axis test on the triangles projected onto the plane's two main axes.
inline bool interiorsOverlap(const Facet& a, const Facet& b, int dropAxis) {
    const int u = dropAxis == 0 ? 1 : 0, v = dropAxis == 2 ? 1 : 2;
    auto flat = [&](const Facet& f, int i) { return std::array<float, 2>{f.corners[i][u], f.corners[i][v]}; };
    for (const Facet* f : {&a, &b}) {
        for (int e = 0; e < 3; ++e) {
            const auto p = flat(*f, e), q = flat(*f, (e + 1) % 3);
            const float ax = q[1] - p[1], ay = p[0] - q[0];
            float minA = INFINITY, maxA = -INFINITY, minB = INFINITY, maxB = -INFINITY;
            for (int i = 0; i < 3; ++i) {
                const auto pa = flat(a, i), pb = flat(b, i);
                const float sa = pa[0] * ax + pa[1] * ay, sb = pb[0] * ax + pb[1] * ay;
                minA = std::min(minA, sa), maxA = std::max(maxA, sa);
                minB = std::min(minB, sb), maxB = std::max(maxB, sb);
            }
            if (maxA <= minB + kOverlapTolerance || maxB <= minA + kOverlapTolerance) return false;
        }
    }
    return true;
}

}  // namespace detail

// The indices of the first back-to-back pair, or {-1, -1}.
inline std::pair<int, int> findBackToBack(const std::vector<Facet>& facets) {
    using detail::dot3;
    for (size_t i = 0; i < facets.size(); ++i) {
        const Facet& a = facets[i];
        const float offset = dot3(a.normal, a.corners[0]);
        int dropAxis = 0;
        for (int k = 1; k < 3; ++k)
            if (std::fabs(a.normal[size_t(k)]) > std::fabs(a.normal[size_t(dropAxis)])) dropAxis = k;
        for (size_t j = i + 1; j < facets.size(); ++j) {
            const Facet& b = facets[j];
            if (dot3(a.normal, b.normal) > -0.999f) continue;
            bool coplanar = true;
            for (const auto& c : b.corners)
                coplanar = coplanar && std::fabs(dot3(a.normal, c) - offset) < detail::kPlaneTolerance;
            if (coplanar && detail::interiorsOverlap(a, b, dropAxis)) return {int(i), int(j)};
        }
    }
    return {-1, -1};
}

}  // namespace glimmerq::testing
