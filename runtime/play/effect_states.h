// effect_states.h: the frame-to-frame state of every registered effect that keeps one, as
// bytes the player can hold on to and put back.
//
//   EffectStates states(effects);
//   EffectStates::Snapshot before = states.save();   // between two frames
//   ...                                              // frames drawn, the effects moved on
//   states.restore(before);                          // as they were
//
// An effect keeps state when it derives from CEffectState (demogl/demogl.h); the others draw
// from the elapsed time alone and have nothing to save. A snapshot belongs to these effects,
// in this order: restoring one taken elsewhere is a programmer's mistake.
#pragma once

#include "runtime/script/timeline.h"

#include <cstdint>
#include <vector>

namespace glimmerq {

class EffectStates {
public:
    // One entry per registered effect, empty for those without state.
    using Snapshot = std::vector<std::vector<unsigned char>>;

    explicit EffectStates(const std::vector<RegisteredEffect>& effects);

    Snapshot save() const;
    void restore(const Snapshot& snapshot) const;

    // The bytes a snapshot holds, for the memory bound of what is kept.
    static size_t bytesOf(const Snapshot& snapshot);

private:
    std::vector<CEffectState*> stateful_;  // per registered effect; null without state
};

}  // namespace glimmerq
