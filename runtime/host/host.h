// host.h: the object behind the DEMOGL_ functions.
//
// Every DEMOGL_ call (and MessageBoxA) forwards to the Host installed with installHost().
// The program installs its DemoGlHost; tests install a recording host or a TestHost.
// With no host installed the calls do nothing and return null/0.
#pragma once

#include "demogl/demogl.h"
#include "runtime/data/texture_params.h"

#include <cstddef>

namespace glimmerq {

class Host {
public:
    virtual ~Host() = default;

    virtual void setVariable(int id, bool value) = 0;
    virtual void setVariable(int id, int value) = 0;
    virtual void setVariable(int id, const char* value) = 0;
    virtual void registerEffect(CEffect* effect, const char* name) = 0;
    virtual void loadingBarEnable(int enabled, float width, float height, float x, float y) = 0;
    virtual void loadingBarAppearance(bool drawBackground, bool blend, unsigned sourceFactor,
                                      unsigned destinationFactor, const float colors[7]) = 0;
    virtual void loadingSplashEnable(const char* image, int fit, float opacity) = 0;
    virtual int appRun(HINSTANCE instance, const SStartupDat* startup, const char* title,
                       bool windowed, unsigned char colorDepth, unsigned char zBuffer,
                       int refresh) = 0;
    virtual void appEnd() = 0;

    virtual unsigned char* fileLoad(const char* name, size_t* size) = 0;
    virtual void fileFree(const unsigned char* data) = 0;
    virtual unsigned textureLoad(const char* name, const TextureParams& params) = 0;
    virtual int textureUpload(unsigned handle) = 0;
    virtual void textureUnUpload(unsigned handle) = 0;

    virtual int messageBox(const char* text, const char* caption, unsigned type) = 0;
};

// Installs the host the DEMOGL_ functions forward to; returns the one it replaces.
Host* installHost(Host* host);
Host* installedHost();

}  // namespace glimmerq
