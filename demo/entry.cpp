// The program's entry: creates the effects, configures the host, registers every effect
// under the name the script uses, plays the demo and tears down.
#include "demo/entry.h"

#include "effects/clear/clear.h"
#include "effects/blur/blur.h"
#include "effects/blur/blur2.h"
#include "effects/blur/land.h"
#include "effects/texture/easyone.h"
#include "effects/texture/polygon.h"
#include "effects/texture/splash.h"
#include "effects/texture/strahlen.h"
#include "effects/texture/wobbel.h"
#include "effects/scene/greetz.h"
#include "effects/scene/kreuz.h"
#include "effects/scene/outro.h"
#include "effects/scene/terrain.h"
#include "effects/scene/tunnel.h"

#include <GL/gl.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

template <class Effect>
CEffect* create() {
    // A failed allocation leaves a null entry: registered as such, skipped at teardown.
    return new (std::nothrow) Effect;
}

// Order of creation, registration and destruction.
const EffectEntry kEffectTable[] = {
    {"CLEAR", create<CClear>},
    {"SPLASH", create<CSplash>},
    {"STRAHLEN", create<CStrahlen>},
    {"EASYONE", create<CEasyOne>},
    {"COUTRO", create<COutro>},
    {"CWOBBEL", create<CWobbel>},
    {"CTUNNEL", create<CTunnel>},
    {"CKREUZ", create<CKreuz>},
    {"CBLUR", create<CBlur>},
    {"CGREETZ", create<CGreetz>},
    {"CPOLYGON", create<CPolygon>},
    {"CLAND", create<CLand>},
    {"CBLUR2", create<CBlur2>},
    {"CTERRAIN", create<CTerrain>},
    {"CBLUR2V", create<CBlur2V>},
    {"CBLURV", create<CBlurV>},
    {"CTUNNELV", create<CTunnelV>},
    {"CKREUZV", create<CKreuzV>},
};
constexpr int kEffectCount = int(sizeof(kEffectTable) / sizeof(kEffectTable[0]));

const char kDataFile[] = "glimmerQ.dat";
const char kScriptName[] = "demoflow";
const char kSplashImage[] = "cnslbg.jpg";
const char kWindowTitle[] = "glimmerQ/quorV0!xe!!!";
const char kApplicationName[] = "glimmerQ";
const char kGroupName[] = "quorV0!xe";

void setVariables() {
    DEMOGL_SetVariable(1, true);
    DEMOGL_SetVariable(2, 1);
    DEMOGL_SetVariable(3, "");
    DEMOGL_SetVariable(4, kDataFile);
    DEMOGL_SetVariable(5, kScriptName);
    DEMOGL_SetVariable(6, false);
    DEMOGL_SetVariable(7, true);
    DEMOGL_SetVariable(8, true);
    DEMOGL_SetVariable(9, false);
    DEMOGL_SetVariable(10, true);
    DEMOGL_SetVariable(11, false);
    DEMOGL_SetVariable(12, true);
}

// Writes every field; the padding bytes (1-3, 526-527, 537-539) are left as they are.
void fillStartupRecord(SStartupDat* record) {
    record->flag0 = true;
    record->int4 = 1;
    record->flag8 = true;
    record->flag9 = true;
    record->flag10 = true;
    std::strncpy(record->applicationName, kApplicationName, sizeof(record->applicationName));
    std::strncpy(record->groupName, kGroupName, sizeof(record->groupName));
    record->flag523 = true;
    record->flag524 = true;
    record->flag525 = true;
    record->int528 = 0;
    record->flag532 = true;
    record->flag533 = true;
    record->flag534 = false;
    record->flag535 = false;
    record->flag536 = true;
    record->int540 = 100;
}

}  // namespace

const EffectEntry* DemoEffectTable(int* count) {
    *count = kEffectCount;
    return kEffectTable;
}

// The previous-instance handle, the command line and the show command are not used: the
// runtime reads the command line itself.
int WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunEntry(instance, kEffectTable, kEffectCount); }

int RunEntry(HINSTANCE instance, const EffectEntry* table, int count) {
    std::vector<CEffect*> effects(size_t(count), nullptr);
    for (int i = 0; i < count; ++i) effects[size_t(i)] = table[i].create();

    setVariables();
    SStartupDat startup;
    fillStartupRecord(&startup);
    for (int i = 0; i < count; ++i) DEMOGL_EffectRegister(effects[size_t(i)], table[i].name);

    DEMOGL_LoadingPBEnable(1, 1.0f, 0.02f, 0.0f, 0.45f);
    DEMOGL_LoadingPBSetAppearance(true, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 1.0f, 0.1f, 0.1f,
                                  0.1f, 1.0f, 1.0f, 1.0f);
    DEMOGL_LoadingSplashEnable(kSplashImage, 1, 1.0f);

    DEMOGL_AppRun(instance, &startup, kWindowTitle, true, 1, 1, 2);
    DEMOGL_AppEnd();

    for (CEffect* effect : effects) delete effect;
    return 0;
}
