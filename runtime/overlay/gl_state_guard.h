// gl_state_guard.h: saves every piece of GL state a foreign drawer may touch, and puts it back.
//
//   {
//       GlStateGuard guard;                   // saves; leaves a plain state to draw with
//       ImGui_ImplOpenGL2_RenderDrawData(d);  // draws into the bound draw framebuffer
//   }                                         // everything back as the effects left it
//
// Saved: all server attributes (glPushAttrib(GL_ALL_ATTRIB_BITS): current colour, enables,
// viewport, scissor, blending, texture environment and bindings, ...), all client
// attributes (arrays, pixel store), the top matrix of the modelview, projection and
// texture stacks (texture unit 0) and the matrix mode, the active and client-active
// texture units, the program, the array, element, pixel pack and unpack buffers and the
// draw and read framebuffers. While it lives, unit 0 is active and no program or buffer is
// bound, so client arrays of plain pointers work; the framebuffers stay bound as they were.
// Not saved: the contents of framebuffers and textures (what is drawn stays drawn), and
// entries below the top of a matrix stack, which a balanced push and pop never change, and
// the vertex array object (the effects never bind one; it is drawn with as it is).
// It uses one level of the attribute and client attribute stacks.
#pragma once

#include <array>

namespace glimmerq {

class GlStateGuard {
public:
    GlStateGuard();
    ~GlStateGuard();
    GlStateGuard(const GlStateGuard&) = delete;
    GlStateGuard& operator=(const GlStateGuard&) = delete;

private:
    using Matrix = std::array<float, 16>;
    int matrixMode_ = 0;
    Matrix modelview_{}, projection_{}, texture_{};
    int activeTexture_ = 0, clientActiveTexture_ = 0;
    int program_ = 0, arrayBuffer_ = 0, elementBuffer_ = 0, packBuffer_ = 0, unpackBuffer_ = 0;
    int drawFramebuffer_ = 0, readFramebuffer_ = 0;
};

}  // namespace glimmerq
