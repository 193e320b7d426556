// gl_state_snapshot.h: the GL state a layer inherits, read back by name, to compare before and
// after a piece of work that must leave it as it found it.
//
//   const GlSnapshot before = glSnapshot();
//   ... work ...
//   EXPECT_EQ(glSnapshotDifferences(before, glSnapshot()), "");  // "name: before …, after …" a line
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <map>
#include <string>
#include <vector>

namespace glimmerq::testing {

using GlSnapshot = std::map<std::string, std::vector<double>>;

inline GlSnapshot glSnapshot() {
    GlSnapshot state;
    const auto floats = [&](const char* name, GLenum what, int count) {
        std::vector<GLfloat> v(static_cast<size_t>(count));
        glGetFloatv(what, v.data());
        state[name].assign(v.begin(), v.end());
    };
    const auto ints = [&](const char* name, GLenum what, int count) {
        std::vector<GLint> v(static_cast<size_t>(count));
        glGetIntegerv(what, v.data());
        state[name].assign(v.begin(), v.end());
    };
    floats("current colour", GL_CURRENT_COLOR, 4);
    floats("current texture coordinate", GL_CURRENT_TEXTURE_COORDS, 4);
    floats("clear colour", GL_COLOR_CLEAR_VALUE, 4);
    ints("colour mask", GL_COLOR_WRITEMASK, 4);
    floats("clear depth", GL_DEPTH_CLEAR_VALUE, 1);
    ints("depth mask", GL_DEPTH_WRITEMASK, 1);
    ints("matrix mode", GL_MATRIX_MODE, 1);
    floats("modelview", GL_MODELVIEW_MATRIX, 16);
    floats("projection", GL_PROJECTION_MATRIX, 16);
    floats("texture matrix", GL_TEXTURE_MATRIX, 16);
    ints("modelview depth", GL_MODELVIEW_STACK_DEPTH, 1);
    ints("projection depth", GL_PROJECTION_STACK_DEPTH, 1);
    ints("viewport", GL_VIEWPORT, 4);
    ints("scissor box", GL_SCISSOR_BOX, 4);
    ints("blend src", GL_BLEND_SRC, 1);
    ints("blend dst", GL_BLEND_DST, 1);
    ints("texture 2D binding", GL_TEXTURE_BINDING_2D, 1);
    ints("active texture", GL_ACTIVE_TEXTURE, 1);
    ints("client active texture", GL_CLIENT_ACTIVE_TEXTURE, 1);
    ints("polygon mode", GL_POLYGON_MODE, 2);
    ints("shade model", GL_SHADE_MODEL, 1);
    ints("draw framebuffer", GL_DRAW_FRAMEBUFFER_BINDING, 1);
    ints("read framebuffer", GL_READ_FRAMEBUFFER_BINDING, 1);
    ints("draw buffer", GL_DRAW_BUFFER, 1);
    ints("array buffer", GL_ARRAY_BUFFER_BINDING, 1);
    ints("pixel pack buffer", GL_PIXEL_PACK_BUFFER_BINDING, 1);
    ints("pixel unpack buffer", GL_PIXEL_UNPACK_BUFFER_BINDING, 1);
    ints("unpack row length", GL_UNPACK_ROW_LENGTH, 1);
    ints("unpack alignment", GL_UNPACK_ALIGNMENT, 1);
    ints("pack alignment", GL_PACK_ALIGNMENT, 1);
    ints("pack skip rows", GL_PACK_SKIP_ROWS, 1);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    state["texture env mode"] = {double(envMode)};
    for (const auto& [name, cap] : std::map<std::string, GLenum>{
             {"blend", GL_BLEND}, {"scissor test", GL_SCISSOR_TEST}, {"rasterizer discard", GL_RASTERIZER_DISCARD}, {"depth test", GL_DEPTH_TEST},
             {"cull face", GL_CULL_FACE}, {"lighting", GL_LIGHTING}, {"texture 2D", GL_TEXTURE_2D},
             {"fog", GL_FOG}, {"color material", GL_COLOR_MATERIAL}, {"vertex array", GL_VERTEX_ARRAY},
             {"color array", GL_COLOR_ARRAY}, {"texture coord array", GL_TEXTURE_COORD_ARRAY}})
        state["enabled " + name] = {double(glIsEnabled(cap))};
    return state;
}

inline std::string glSnapshotDifferences(const GlSnapshot& before, const GlSnapshot& after) {
    std::string text;
    for (const auto& [name, values] : before) {
        if (after.at(name) == values) continue;
        text += name + ": before";
        for (double v : values) text += " " + std::to_string(v);
        text += ", after";
        for (double v : after.at(name)) text += " " + std::to_string(v);
        text += "\n";
    }
    return text;
}

}  // namespace glimmerq::testing
