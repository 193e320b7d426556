#include "effects/scene/greetz.h"

namespace {

constexpr char kModelFile[] = "greetz.ms3d";
// Eye space, model units.
constexpr float kPositionX = 0.7f;
constexpr float kPositionY = 0.2f;
constexpr float kPositionZ = -3.0f;

}  // namespace

CGreetz::CGreetz() : CModelOverlay(kModelFile, kPositionX, kPositionY, kPositionZ) {}
