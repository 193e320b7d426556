#include "effects/scene/outro.h"

namespace {

constexpr char kModelFile[] = "outro.ms3d";
// Eye space, model units.
constexpr float kPositionX = 0.0f;
constexpr float kPositionY = 0.5f;
constexpr float kPositionZ = -2.6f;

}  // namespace

COutro::COutro() : CModelOverlay(kModelFile, kPositionX, kPositionY, kPositionZ) {}
