// outro.h: "COUTRO", the closing text, centred, 0.5 above the line of sight, 2.6 units ahead,
// added onto the frame (see overlay.h).
#pragma once

#include "effects/scene/overlay.h"

class COutro : public CModelOverlay {
public:
    COutro();
};
