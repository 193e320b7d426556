// terrain.h: "CTERRAIN", the group's logo, centred, 0.2 above the line of sight, 2.5 units ahead,
// added onto the frame (see overlay.h).
#pragma once

#include "effects/scene/overlay.h"

class CTerrain : public CModelOverlay {
public:
    CTerrain();
};
