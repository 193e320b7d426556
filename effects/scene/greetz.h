// greetz.h: "CGREETZ", the greetings, 0.7 right of and 0.2 above the line of sight, 3 units ahead,
// added onto the frame (see overlay.h).
#pragma once

#include "effects/scene/overlay.h"

class CGreetz : public CModelOverlay {
public:
    CGreetz();
};
