// frame_fence.h: bounds the frames the GL has queued but not finished.
//
//   FrameFence fence;
//   ... draw a frame ...
//   fence.endFrame();     // waits until the frame before this one is finished
//
// Mesa queues work without limit when nothing waits for it: memory climbs with every frame
// and tearing the context down takes minutes. With the fence at most two frames are in
// flight, in every way of playing. Needs a current GL context.
#pragma once

namespace glimmerq {

class FrameFence {
public:
    FrameFence() = default;
    ~FrameFence();
    void endFrame();
    // Waits for every frame (before reading the picture back for good, or tearing down).
    void finishAll();

    FrameFence(const FrameFence&) = delete;
    FrameFence& operator=(const FrameFence&) = delete;

private:
    void* previous_ = nullptr;  // GLsync of the frame before
};

}  // namespace glimmerq
