#include "effects/scene/terrain.h"

namespace {

constexpr char kModelFile[] = "quorvoxe.ms3d";
// Eye space, model units.
constexpr float kPositionX = 0.0f;
constexpr float kPositionY = 0.2f;
constexpr float kPositionZ = -2.5f;

}  // namespace

CTerrain::CTerrain() : CModelOverlay(kModelFile, kPositionX, kPositionY, kPositionZ) {}
