// gl_state_guard.h: saves the GL state a piece of the runtime's own work touches, and puts it back.
//
//   {
//       GlStateGuard guard(GlStateGuard::kFramebuffers | GlStateGuard::kPixelStore);
//       glBindFramebuffer(GL_READ_FRAMEBUFFER, target);  // read pixels with a pack state of its own
//       glReadPixels(...);
//   }                                                    // bindings and pack state back as they were
//
// The effects leave state behind for the next layer on purpose (see the README's notes on the
// GL state the effects share); the runtime's own work (uploading textures, reading pixels,
// presenting, the loading screen, the overlay) must leave none. Every such piece saves what it
// changes through this one guard, naming the parts it touches:
//
//   kFramebuffers    the draw and read framebuffer bindings;
//   kPixelStore      the pack and unpack modes (alignment, row length, skips, ...) and the pixel
//                    pack and unpack buffers, which are unbound while the guard lives, so plain
//                    pointers reach client memory;
//   kTextureBinding  the GL_TEXTURE_2D binding of the active texture unit;
//   kClearAndMasks   the scissor test's enable, the clear colour and depth, the colour and depth
//                    masks, and the rasterizer's discard switch (a seek turns it on);
//   kDrawingState    what a foreign drawer (Dear ImGui) may touch: all server attributes
//                    (glPushAttrib(GL_ALL_ATTRIB_BITS)), all client attributes, the top matrix
//                    of the modelview, projection and texture stacks (texture unit 0) and the
//                    matrix mode, the active and client-active texture units, the program and
//                    the array and element buffers. While it lives, unit 0 is active and no
//                    program or buffer is bound, so client arrays of plain pointers work.
//   kEverything      all of them.
//
// Parts are restored in reverse order of saving; the framebuffers come back first, so the
// attributes popped after them (the draw buffer among them) land on the framebuffer they were
// read from. Not saved: the contents of framebuffers and textures (what is drawn stays drawn),
// entries below the top of a matrix stack, which a balanced push and pop never change, and the
// vertex array object (the effects never bind one). kDrawingState uses one level of the
// attribute stack and, with kPixelStore, one of the client attribute stack. It neither caches
// nor compares state: every guard reads what is current when it is made.
#pragma once

#include <array>

namespace glimmerq {

// The matrix mode and the top of the modelview, projection and texture stacks (of the active
// texture unit), read from GL and loaded back.
struct TopMatrices {
    int mode = 0;
    std::array<float, 16> modelview{}, projection{}, texture{};
    void read();
    void load() const;
};

class GlStateGuard {
public:
    enum Part : unsigned {
        kFramebuffers = 1u << 0,
        kPixelStore = 1u << 1,
        kTextureBinding = 1u << 2,
        kClearAndMasks = 1u << 3,
        kDrawingState = 1u << 4,
        kEverything = kFramebuffers | kPixelStore | kTextureBinding | kClearAndMasks | kDrawingState,
    };

    explicit GlStateGuard(unsigned parts = kEverything);
    ~GlStateGuard();
    GlStateGuard(const GlStateGuard&) = delete;
    GlStateGuard& operator=(const GlStateGuard&) = delete;

private:
    unsigned parts_ = 0;
    // kFramebuffers
    int drawFramebuffer_ = 0, readFramebuffer_ = 0;
    // kPixelStore (the modes themselves sit on the client attribute stack)
    int packBuffer_ = 0, unpackBuffer_ = 0;
    // kTextureBinding
    int texture2D_ = 0;
    // kClearAndMasks
    bool scissorTest_ = false;
    std::array<float, 4> clearColour_{};
    std::array<unsigned char, 4> colourMask_{};
    double clearDepth_ = 1.0;
    unsigned char depthMask_ = 1;
    bool rasterizerDiscard_ = false;
    // kDrawingState (the attributes sit on the attribute stacks)
    TopMatrices matrices_;
    int activeTexture_ = 0, clientActiveTexture_ = 0;
    int program_ = 0, arrayBuffer_ = 0, elementBuffer_ = 0;
};

}  // namespace glimmerq
