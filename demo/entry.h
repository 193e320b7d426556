// entry.h: the program's entry, split so tests can run it over a table of their own.
//
// WinMain runs RunEntry over the demo's effect table. RunEntry creates every effect in
// table order (a failed allocation leaves a null entry), hands the host its twelve
// settings and the start-up record, registers each effect under its name, configures the
// loading screen, plays the demo with DEMOGL_AppRun, shuts the host down with
// DEMOGL_AppEnd and deletes the effects in table order. It always returns 0.
#pragma once

#include "demogl/demogl.h"

struct EffectEntry {
    const char* name;      // the registration name the script addresses
    CEffect* (*create)();  // allocates and constructs the effect; null when out of memory
};

int RunEntry(HINSTANCE instance, const EffectEntry* table, int count);

// The demo's own table, in order of creation, registration and destruction.
const EffectEntry* DemoEffectTable(int* count);
