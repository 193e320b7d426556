// The DEMOGL_ entry points and CEffect's defaults: thin forwards to the installed Host.
#include "demogl/demogl.h"
#include "runtime/host/host.h"

namespace glimmerq {

namespace {
Host* gHost = nullptr;
}

Host* installHost(Host* host) {
    Host* previous = gHost;
    gHost = host;
    return previous;
}

Host* installedHost() { return gHost; }

}  // namespace glimmerq

using glimmerq::gHost;

int CEffect::Setup(int, int) { return 0; }
void CEffect::DrawFrame(LONG) {}
void CEffect::ReceiveParam(char*) {}
void CEffect::UploadTextures() {}
void CEffect::ReleaseTextures() {}
void CEffect::MessageHandler(HWND, unsigned, unsigned, LONG) {}
void CEffect::ReceiveInt(char*, int, LONG) {}
void CEffect::ReceiveFloat(char*, float, LONG) {}
void CEffect::ReceiveString(char*, char*, LONG) {}
void CEffect::RenderFrameEx(LONG, LONG) {}

void DEMOGL_SetVariable(int id, bool value) {
    if (gHost) gHost->setVariable(id, value);
}
void DEMOGL_SetVariable(int id, int value) {
    if (gHost) gHost->setVariable(id, value);
}
void DEMOGL_SetVariable(int id, const char* value) {
    if (gHost) gHost->setVariable(id, value);
}

void DEMOGL_EffectRegister(CEffect* effect, const char* name) {
    if (gHost) gHost->registerEffect(effect, name);
}

void DEMOGL_LoadingPBEnable(int enabled, float width, float height, float x, float y) {
    if (gHost) gHost->loadingBarEnable(enabled, width, height, x, y);
}

void DEMOGL_LoadingPBSetAppearance(bool drawBackground, bool blend, unsigned sourceFactor,
                                   unsigned destinationFactor, float opacity, float backgroundRed,
                                   float backgroundGreen, float backgroundBlue, float barRed,
                                   float barGreen, float barBlue) {
    const float colors[7] = {opacity, backgroundRed, backgroundGreen, backgroundBlue,
                             barRed,  barGreen,      barBlue};
    if (gHost)
        gHost->loadingBarAppearance(drawBackground, blend, sourceFactor, destinationFactor, colors);
}

void DEMOGL_LoadingSplashEnable(const char* image, int fit, float opacity) {
    if (gHost) gHost->loadingSplashEnable(image, fit, opacity);
}

int DEMOGL_AppRun(HINSTANCE instance, const SStartupDat* startup, const char* title, bool windowed,
                  unsigned char colorDepth, unsigned char zBuffer, int refresh) {
    return gHost ? gHost->appRun(instance, startup, title, windowed, colorDepth, zBuffer, refresh)
                 : 1;
}

void DEMOGL_AppEnd() {
    if (gHost) gHost->appEnd();
}

unsigned char* DEMOGL_FileLoad(const char* name, size_t* size) {
    if (size) *size = 0;
    return gHost && name ? gHost->fileLoad(name, size) : nullptr;
}

void DEMOGL_FileFree(const unsigned char* data) {
    if (gHost && data) gHost->fileFree(data);
}

unsigned DEMOGL_TextureLoad(const char* name, int fileType, int alphaSource, int wrapS, int wrapT,
                            int minFilter, int magFilter, bool mipmaps, bool compressed,
                            int border, int internalFormat, int dimensions) {
    if (!gHost || !name) return 0;
    glimmerq::TextureParams params;
    params.fileType = fileType;
    params.alphaSource = alphaSource;
    params.wrapS = wrapS;
    params.wrapT = wrapT;
    params.minFilter = minFilter;
    params.magFilter = magFilter;
    params.mipmaps = mipmaps;
    params.compressed = compressed;
    params.border = border;
    params.internalFormat = internalFormat;
    params.dimensions = dimensions;
    return gHost->textureLoad(name, params);
}

int DEMOGL_TextureUpload(unsigned handle) { return gHost ? gHost->textureUpload(handle) : 1; }
void DEMOGL_TextureUnUpload(unsigned handle) {
    if (gHost) gHost->textureUnUpload(handle);
}
int UploadTexture(unsigned handle) { return DEMOGL_TextureUpload(handle); }
void UnUploadTexture(unsigned handle) { DEMOGL_TextureUnUpload(handle); }

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    return gHost ? gHost->messageBox(text ? text : "", caption ? caption : "", type) : IDOK;
}
