#include "tests/effects/texture/gl_readback.h"

#include <algorithm>
#include <cmath>

namespace glimmerq::testing {

namespace {
constexpr size_t kFloatsPerVertex = 3 + 4 + 4;  // GL_3D_COLOR_TEXTURE in RGBA mode
}

std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw, bool* overflowed,
                                               size_t capacityFloats) {
    std::vector<GLfloat> buffer(capacityFloats);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    if (overflowed) *overflowed = count < 0;

    std::vector<FeedbackPrimitive> primitives;
    const size_t end = count < 0 ? 0 : size_t(count);
    size_t i = 0;
    auto readVertex = [&](FeedbackPrimitive& p) {
        FeedbackVertex v{};
        const GLfloat* f = &buffer[i];
        v.x = f[0];
        v.y = f[1];
        v.z = f[2];
        for (int k = 0; k < 4; ++k) v.color[k] = f[3 + k];
        for (int k = 0; k < 4; ++k) v.tex[k] = f[7 + k];
        p.vertices.push_back(v);
        i += kFloatsPerVertex;
    };
    while (i < end) {
        FeedbackPrimitive p{GLenum(buffer[i++]), {}};
        switch (p.token) {
        case GL_POLYGON_TOKEN: {
            const int n = int(buffer[i++]);
            for (int k = 0; k < n; ++k) readVertex(p);
            break;
        }
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            readVertex(p);
            readVertex(p);
            break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            readVertex(p);
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++i;
            break;
        default:
            i = end;  // unknown token: stop rather than misread
            break;
        }
        primitives.push_back(std::move(p));
    }
    return primitives;
}

std::vector<std::array<FeedbackVertex, 4>> quadsFrom(const std::vector<FeedbackPrimitive>& primitives) {
    std::vector<std::array<FeedbackVertex, 4>> quads;
    if (primitives.size() % 2 != 0) return {};
    for (size_t i = 0; i < primitives.size(); i += 2) {
        const FeedbackPrimitive& a = primitives[i];
        const FeedbackPrimitive& b = primitives[i + 1];
        if (a.token != GL_POLYGON_TOKEN || b.token != GL_POLYGON_TOKEN || a.vertices.size() != 3 ||
            b.vertices.size() != 3)
            return {};
        quads.push_back({a.vertices[0], a.vertices[1], b.vertices[1], a.vertices[2]});
    }
    return quads;
}

int countTokens(const std::vector<FeedbackPrimitive>& primitives, GLenum token) {
    return int(std::count_if(primitives.begin(), primitives.end(),
                             [token](const FeedbackPrimitive& p) { return p.token == token; }));
}

Matrix currentMatrix(GLenum which) {
    Matrix m{};
    glGetFloatv(which, m.data());
    return m;
}

Matrix matrixBuiltBy(GLenum mode, const std::function<void()>& build) {
    const GLint previousMode = currentInt(GL_MATRIX_MODE);
    glMatrixMode(mode);
    glPushMatrix();
    glLoadIdentity();
    build();
    const Matrix m = currentMatrix(mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX);
    glPopMatrix();
    glMatrixMode(GLenum(previousMode));
    return m;
}

float maxDifference(const Matrix& a, const Matrix& b) {
    float worst = 0;
    for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}

GLint currentInt(GLenum name) {
    GLint values[16] = {};
    glGetIntegerv(name, values);
    return values[0];
}

std::array<GLint, 4> currentInts4(GLenum name) {
    GLint values[16] = {};
    glGetIntegerv(name, values);
    return {values[0], values[1], values[2], values[3]};
}

std::array<GLfloat, 4> currentFloats4(GLenum name) {
    GLfloat values[16] = {};
    glGetFloatv(name, values);
    return {values[0], values[1], values[2], values[3]};
}

}  // namespace glimmerq::testing
