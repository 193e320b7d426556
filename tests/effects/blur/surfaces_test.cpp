// The blur family's surface generators and normals, on the CPU.
#include "effects/blur/blur.h"
#include "effects/blur/blur2.h"
#include "effects/blur/land.h"
#include "effects/blur/radial_blur.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <vector>

namespace {

// Degrees to radians as the surfaces convert them: the single-precision half turn 3.142, not pi.
constexpr double kHalfTurn = double(3.142f);
double rad(double degrees) { return degrees / 180.0 * kHalfTurn; }

struct Quad {
    std::array<std::array<float, 3>, 4> corners;
    std::array<float, 3> normal;
};

std::vector<Quad> collect(const std::function<void(float (&)[4][3], const PatchFn&)>& generate) {
    std::vector<Quad> quads;
    float corners[4][3];
    generate(corners, [&](const float (&c)[4][3], const float (&n)[3]) {
        Quad q;
        for (int i = 0; i < 4; ++i) q.corners[i] = {c[i][0], c[i][1], c[i][2]};
        q.normal = {n[0], n[1], n[2]};
        quads.push_back(q);
    });
    return quads;
}

std::vector<Quad> coil() {
    return collect([](float (&c)[4][3], const PatchFn& emit) { EmitParametricPatches(kCoilSurface, c, emit); });
}
std::vector<Quad> secondSurface() {
    return collect([](float (&c)[4][3], const PatchFn& emit) { EmitParametricPatches(kSecondSurface, c, emit); });
}
std::vector<Quad> land(float t) {
    return collect([t](float (&c)[4][3], const PatchFn& emit) { EmitLandPatches(t, c, emit); });
}

// Tight enough to tell 3.142 from pi (they differ by 7e-5 radians at 30 degrees).
constexpr float kTolerance = 2e-6f;

void expectCorner(const Quad& quad, int corner, double x, double y, double z) {
    SCOPED_TRACE(::testing::Message() << "corner " << corner + 1);
    EXPECT_NEAR(quad.corners[corner][0], x, kTolerance * std::max(1.0, std::fabs(x)));
    EXPECT_NEAR(quad.corners[corner][1], y, kTolerance * std::max(1.0, std::fabs(y)));
    EXPECT_NEAR(quad.corners[corner][2], z, kTolerance * std::max(1.0, std::fabs(z)));
}

void expectNormalsMatchFirstThreeCorners(const std::vector<Quad>& quads) {
    for (size_t i = 0; i < quads.size(); ++i) {
        const Quad& q = quads[i];
        float expected[3];
        PatchNormal(q.corners[0].data(), q.corners[1].data(), q.corners[2].data(), expected);
        ASSERT_EQ(q.normal[0], expected[0]) << "quad " << i;
        ASSERT_EQ(q.normal[1], expected[1]) << "quad " << i;
        ASSERT_EQ(q.normal[2], expected[2]) << "quad " << i;
        const double length = std::sqrt(double(expected[0]) * expected[0] + double(expected[1]) * expected[1] +
                                        double(expected[2]) * expected[2]);
        ASSERT_NEAR(length, 1.0, 1e-5) << "quad " << i << " is degenerate";
    }
}

}  // namespace

TEST(BlurNormal, NormalizeScalesInPlaceAndKeepsTheZeroVector) {
    float v[3] = {3.0f, 0.0f, -4.0f};
    EXPECT_EQ(NormalizeVector(v), v);
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    EXPECT_FLOAT_EQ(v[1], 0.0f);
    EXPECT_FLOAT_EQ(v[2], -0.8f);

    float zero[3] = {0.0f, 0.0f, 0.0f};
    NormalizeVector(zero);
    EXPECT_EQ(zero[0], 0.0f);
    EXPECT_EQ(zero[1], 0.0f);
    EXPECT_EQ(zero[2], 0.0f);
}

TEST(BlurNormal, PatchNormalIsTheUnitCrossProductOfTheFirstEdges) {
    // a = c1 - c2 = (-2, 0, 0), b = c2 - c3 = (0, -2, 0): a x b points along +z.
    const float c1[3] = {0, 0, 0}, c2[3] = {2, 0, 0}, c3[3] = {2, 2, 0};
    float out[3] = {9, 9, 9};
    EXPECT_EQ(PatchNormal(c1, c2, c3, out), out);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    EXPECT_FLOAT_EQ(out[1], 0.0f);
    EXPECT_FLOAT_EQ(out[2], 1.0f);

    // Reversed winding flips it; a tilted patch gets a tilted normal.
    PatchNormal(c3, c2, c1, out);
    EXPECT_FLOAT_EQ(out[2], -1.0f);
    const float d1[3] = {0, 0, 0}, d2[3] = {1, 0, 1}, d3[3] = {1, 1, 1};
    PatchNormal(d1, d2, d3, out);  // a = (-1, 0, -1), b = (0, -1, 0): a x b = (-1, 0, 1)
    EXPECT_FLOAT_EQ(out[0], -float(std::sqrt(0.5)));
    EXPECT_FLOAT_EQ(out[1], 0.0f);
    EXPECT_FLOAT_EQ(out[2], float(std::sqrt(0.5)));
}

TEST(BlurNormal, DegenerateQuadsGetTheZeroNormalWithoutDividingByZero) {
    const float collinear[3][3] = {{1, 1, 1}, {2, 2, 2}, {4, 4, 4}};
    float out[3] = {9, 9, 9};
    PatchNormal(collinear[0], collinear[1], collinear[2], out);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(out[2], 0.0f);

    const float point[3] = {5, -3, 2};
    PatchNormal(point, point, point, out);
    EXPECT_FALSE(std::isnan(out[0]) || std::isnan(out[1]) || std::isnan(out[2]));
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(out[2], 0.0f);
}

TEST(BlurSurface, RadiansUseTheHalfTurn3142NotPi) {
    EXPECT_NEAR(BlurRadians(180.0f), 3.142, 1e-6);
    EXPECT_NEAR(BlurRadians(7200.0f), 40 * 3.142, 1e-5);
    EXPECT_GT(std::fabs(BlurRadians(180.0f) - std::acos(-1.0)), 3e-4);
}

TEST(BlurSurface, CoilHas168QuadsOf30DegreesFromItsFirstToItsLastPatch) {
    const std::vector<Quad> quads = coil();
    ASSERT_EQ(quads.size(), 168u);  // u in {0, 130, 260}, v in {0, 130, ..., 7150}

    // P(u, v) = ((cos a + 2) cos b, (cos a + 2) sin b, sin a + b - 6.284)
    const double a30 = rad(30), b30 = rad(30);
    expectCorner(quads[0], 0, 3.0, 0.0, -6.284);
    expectCorner(quads[0], 1, 3.0 * std::cos(b30), 3.0 * std::sin(b30), b30 - 6.284);
    expectCorner(quads[0], 2, (std::cos(a30) + 2) * std::cos(b30), (std::cos(a30) + 2) * std::sin(b30),
                 std::sin(a30) + b30 - 6.284);
    expectCorner(quads[0], 3, std::cos(a30) + 2, 0.0, std::sin(a30) - 6.284);

    // The second quad steps v by 130 degrees; the last is u = 260, v = 7150.
    const double b130 = rad(130);
    expectCorner(quads[1], 0, 3.0 * std::cos(b130), 3.0 * std::sin(b130), b130 - 6.284);
    const double a = rad(260), b = rad(7150);
    expectCorner(quads.back(), 0, (std::cos(a) + 2) * std::cos(b), (std::cos(a) + 2) * std::sin(b),
                 std::sin(a) + b - 6.284);
    const double a2 = rad(290), b2 = rad(7180);
    expectCorner(quads.back(), 2, (std::cos(a2) + 2) * std::cos(b2), (std::cos(a2) + 2) * std::sin(b2),
                 std::sin(a2) + b2 - 6.284);
    expectNormalsMatchFirstThreeCorners(quads);
}

TEST(BlurSurface, SecondSurfaceHas847QuadsReachingUOf360AndVOf7200) {
    const std::vector<Quad> quads = secondSurface();
    ASSERT_EQ(quads.size(), 847u);  // 7 values of u (0..360) x 121 values of v (0..7200)

    // P = (cos a sin b, sin a cos b, cos a tan b) x 5; corners (u, v), (u, v+10), (u-10, v+10), (u-10, v)
    const double b10 = rad(10), am10 = rad(-10);
    expectCorner(quads[0], 0, 0.0, 0.0, 0.0);
    expectCorner(quads[0], 1, 5 * std::sin(b10), 0.0, 5 * std::tan(b10));
    expectCorner(quads[0], 2, 5 * std::cos(am10) * std::sin(b10), 5 * std::sin(am10) * std::cos(b10),
                 5 * std::cos(am10) * std::tan(b10));
    expectCorner(quads[0], 3, 0.0, 5 * std::sin(am10), 0.0);

    // The last quad sits at u = 360, v = 7200: both loops include their bound.
    const double a = rad(360), b = rad(7200), b2 = rad(7210), a2 = rad(350);
    expectCorner(quads.back(), 0, 5 * std::cos(a) * std::sin(b), 5 * std::sin(a) * std::cos(b),
                 5 * std::cos(a) * std::tan(b));
    expectCorner(quads.back(), 2, 5 * std::cos(a2) * std::sin(b2), 5 * std::sin(a2) * std::cos(b2),
                 5 * std::cos(a2) * std::tan(b2));
    for (const Quad& q : quads)
        for (const auto& c : q.corners)
            for (float x : c) ASSERT_TRUE(std::isfinite(x));
}

TEST(BlurSurface, LandHas361PatchesWithTimeScaledCorners) {
    const float t = 0.37f;
    const std::vector<Quad> quads = land(t);
    ASSERT_EQ(quads.size(), 361u);  // u and v each 0, 20, ..., 360

    // B(a, b) = ((cos a + 2) cos b, (cos a + 2) sin b, cos a) x 5; x, y scaled per corner.
    const double s1 = std::sin(double(t)), c10 = std::cos(t * 10.0), s10 = std::sin(t * 10.0);
    const double a = rad(10), b = rad(10);
    expectCorner(quads[0], 0, 15 * s1, 0.0, 5.0);
    expectCorner(quads[0], 1, 15 * std::cos(b) * c10, 15 * std::sin(b) * c10, 5.0);
    expectCorner(quads[0], 2, 5 * (std::cos(a) + 2) * std::cos(b) * s10, 5 * (std::cos(a) + 2) * std::sin(b) * s10,
                 5 * std::cos(a));
    expectCorner(quads[0], 3, 5 * (std::cos(a) + 2) * c10, 0.0, 5 * std::cos(a));

    const double u = rad(360), v = rad(360);
    expectCorner(quads.back(), 0, 5 * (std::cos(u) + 2) * std::cos(v) * s1, 5 * (std::cos(u) + 2) * std::sin(v) * s1,
                 5 * std::cos(u));
}

TEST(BlurSurface, LandAtTimeZeroPutsCorners1And3OnTheAxis) {
    const std::vector<Quad> quads = land(0.0f);
    ASSERT_EQ(quads.size(), 361u);
    for (size_t i = 0; i < quads.size(); ++i) {
        const Quad& q = quads[i];
        for (int corner : {0, 2}) {
            ASSERT_EQ(q.corners[corner][0], 0.0f) << "quad " << i << " corner " << corner + 1;
            ASSERT_EQ(q.corners[corner][1], 0.0f) << "quad " << i << " corner " << corner + 1;
        }
        // Corners 2 and 4 keep their base distance from the axis: 5 to 15 units.
        for (int corner : {1, 3}) {
            const double radial = std::hypot(q.corners[corner][0], q.corners[corner][1]);
            ASSERT_GE(radial, 5.0 - 1e-4) << "quad " << i;
            ASSERT_LE(radial, 15.0 + 1e-4) << "quad " << i;
        }
    }
}

TEST(BlurSurface, LandTimeIsTenSecondsPerUnitFromTheOffsetAndWraps) {
    EXPECT_EQ(LandTime(1000, 1000), 0.0f);
    EXPECT_FLOAT_EQ(LandTime(0, 1000), -0.1f);      // nothing is clamped
    EXPECT_FLOAT_EQ(LandTime(11000, 1000), 1.0f);
    EXPECT_FLOAT_EQ(LandTime(2500, 1000), 0.15f);
    // The 32-bit difference wraps instead of overflowing.
    EXPECT_FLOAT_EQ(LandTime(INT32_MIN, 1000), float((INT32_MAX - 999) / 10000.0));
}
