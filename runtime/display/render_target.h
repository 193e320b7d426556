// render_target.h: the offscreen framebuffer the demo draws into.
//
//   RenderTarget target;
//   if (!target.create(1280, 720, &error)) ...;   // bound for drawing and reading
//   target.readPixels(&rgba);                       // top row first
//   keep.copyFrom(target);                          // a second target holds the picture
//
// Colour RGBA8, depth 24 bits. Its size is the render size, fixed for the run; presenting
// scales it to the window. Clearing and copying put back every piece of GL state they touch. The target stays bound as GL_FRAMEBUFFER whenever effects draw.
#pragma once

#include <string>
#include <vector>

namespace glimmerq {

class RenderTarget {
public:
    RenderTarget() = default;
    ~RenderTarget();

    bool create(int width, int height, std::string* error);
    void bind() const;
    int width() const { return width_; }
    int height() const { return height_; }
    unsigned framebuffer() const { return framebuffer_; }

    // Black (0, 0, 0, 0) and depth 1 everywhere: the picture playing starts from.
    void clearToStart() const;
    // Copies colour and depth from another target of the same size.
    void copyFrom(const RenderTarget& other) const;

    // Reads the whole colour buffer as RGBA, top row first; GL pack state is restored.
    void readPixels(std::vector<unsigned char>* rgba) const;

    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

private:
    int width_ = 0;
    int height_ = 0;
    unsigned framebuffer_ = 0;
    unsigned colorBuffer_ = 0;
    unsigned depthBuffer_ = 0;
};

}  // namespace glimmerq
