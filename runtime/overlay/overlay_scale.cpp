#include "runtime/overlay/overlay_scale.h"

#include <algorithm>

namespace glimmerq {

float overlayScale(float displayHeight, float naturalHeight) {
    const float byWindow = std::clamp(displayHeight / kDesignHeight, kMinScale, kMaxScale);
    if (naturalHeight <= 0.0f) return byWindow;
    return std::min(byWindow, kMaxCover * displayHeight / naturalHeight);
}

}  // namespace glimmerq
