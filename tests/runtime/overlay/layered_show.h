// layered_show.h: the small show the overlay tests draw with and without the overlay. Trails
// keep the last frame; the cross leaves its colour and projection to the shaft and the tunnel,
// which draws in the colour it inherits: state the overlay must leave as it found it.
#pragma once

#include "demo/entry.h"
#include "runtime/script/timeline.h"

#include <algorithm>
#include <string>
#include <vector>

namespace glimmerq::testing {

inline const char kLayeredScript[] =
    "0 start CLEAR layer 0\n0 int CLEAR METHOD 1\n0 start CKREUZ layer 1\n0 start STRAHLEN layer 2\n"
    "0 start SPLASH layer 3\n1 start CTUNNEL layer 4\n10 end\n";

struct LayeredEffects {
    std::vector<RegisteredEffect> effects;  // every registered name; only the used ones created
    std::vector<std::string> names;

    ~LayeredEffects() {
        for (auto& e : effects) delete e.effect;
    }
};

// Creates and sets up the effects kLayeredScript runs (with the host installed that serves
// their files).
inline void createLayeredEffects(int width, int height, LayeredEffects* out) {
    static const std::vector<std::string> used = {"CLEAR", "CKREUZ", "STRAHLEN", "SPLASH", "CTUNNEL"};
    int count = 0;
    const EffectEntry* table = DemoEffectTable(&count);
    for (int i = 0; i < count; ++i) {
        const bool isUsed = std::find(used.begin(), used.end(), table[i].name) != used.end();
        CEffect* effect = isUsed ? table[i].create() : nullptr;
        if (effect) effect->Setup(width, height);
        out->effects.push_back({table[i].name, effect});
        out->names.push_back(table[i].name);
    }
}

}  // namespace glimmerq::testing
