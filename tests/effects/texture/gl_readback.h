// gl_readback.h: reading back what the texture effects did, for their tests.
//
//   auto prims = captureFeedback([&] { effect.DrawFrame(0); });
//   prims[0].token == GL_POLYGON_TOKEN; prims[0].vertices[0].x  // window coordinates
//   auto quads = quadsFrom(prims);                                // corners as drawn
//   Matrix m = currentMatrix(GL_PROJECTION_MATRIX);
//
// Feedback vertices carry window x, y, depth, the RGBA colour and the texture coordinate,
// after transformation, lighting and clipping. Mesa reports a quad (v0, v1, v2, v3) as the
// triangles (v0, v1, v3) and (v1, v2, v3); quadsFrom undoes that.
#pragma once

#include <GL/gl.h>

#include <array>
#include <functional>
#include <vector>

namespace glimmerq::testing {

struct FeedbackVertex {
    float x, y, z;     // window coordinates, z = depth in [0, 1]
    float color[4];
    float tex[4];
};

struct FeedbackPrimitive {
    GLenum token;      // GL_POLYGON_TOKEN, GL_LINE_TOKEN, GL_LINE_RESET_TOKEN, GL_POINT_TOKEN
    std::vector<FeedbackVertex> vertices;
};

// Runs draw() in feedback mode; returns the primitives in the order GL produced them.
// `overflowed` (when given) reports a buffer too small for everything drawn.
std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw,
                                               bool* overflowed = nullptr,
                                               size_t capacityFloats = 1u << 20);

// Quads rebuilt from pairs of feedback triangles, corners in the order they were given.
// Empty when the primitives are not all unclipped triangle pairs.
std::vector<std::array<FeedbackVertex, 4>> quadsFrom(const std::vector<FeedbackPrimitive>& primitives);

// Counts the primitives carrying the given token.
int countTokens(const std::vector<FeedbackPrimitive>& primitives, GLenum token);

using Matrix = std::array<float, 16>;  // column-major, as GL stores it
// glGetFloatv of GL_MODELVIEW_MATRIX or GL_PROJECTION_MATRIX.
Matrix currentMatrix(GLenum which);
// The matrix that `build` leaves on the given stack, computed by GL from the identity; the
// stack and the matrix mode are restored afterwards.
Matrix matrixBuiltBy(GLenum mode, const std::function<void()>& build);
// Largest element-wise difference.
float maxDifference(const Matrix& a, const Matrix& b);

GLint currentInt(GLenum name);
std::array<GLint, 4> currentInts4(GLenum name);
std::array<GLfloat, 4> currentFloats4(GLenum name);

}  // namespace glimmerq::testing
