#include "runtime/overlay/overlay_scale.h"

#include <algorithm>

namespace glimmerq {

float overlayScale(float displayHeight, float naturalHeight, float textLinesHeight) {
    const float byWindow = std::clamp(displayHeight / kDesignHeight, kMinScale, kMaxScale);
    const float room = kMaxCover * displayHeight;
    const auto heightAt = [&](float scale) {
        return (naturalHeight - textLinesHeight) * scale + textLinesHeight * overlayTextScale(scale);
    };
    if (naturalHeight <= 0.0f || heightAt(byWindow) <= room) return byWindow;
    const float scale = room / naturalHeight;
    if (scale >= kMinTextScale || naturalHeight <= textLinesHeight) return scale;
    // The text lines keep their smallest size; the rest shrinks to leave them room.
    return std::max(0.0f, (room - textLinesHeight * kMinTextScale) / (naturalHeight - textLinesHeight));
}

float overlayTextScale(float scale) { return std::max(scale, kMinTextScale); }

}  // namespace glimmerq
