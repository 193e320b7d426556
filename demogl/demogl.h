// demogl.h: the host interface every effect is written against.
//
// The host owns the window, the GL context, the data file, the textures and the
// timeline. Effects derive from CEffect; the host calls them in this order:
//   Setup(width, height) once, before anything else, with the fixed render size;
//   per run on the timeline: UploadTextures, DrawFrame(elapsed) every frame, ReleaseTextures;
//   ReceiveInt/ReceiveFloat/ReceiveString when the script sends a value.
// Every call comes on the one thread that holds the GL context.
//
// Not here: anything an effect cannot see. The host's own machinery lives in runtime/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// The few Win32 types the interface is written in. LONG is 32-bit, as on Windows.
typedef int32_t LONG;
typedef void* HWND;
typedef void* HINSTANCE;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef unsigned int UINT;

constexpr UINT MB_OK = 0x00000000u;
constexpr UINT MB_ICONERROR = 0x00000010u;
constexpr int IDOK = 1;

// Reports TEXT on stderr as one line, "glimmerq: EFFECT: TEXT" (EFFECT: the one setting up,
// when there is one); with a window open it also shows a modal box titled CAPTION. Never
// blocks a headless run.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// The program's entry; main() calls it once the command line is read and the host installed.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

class CEffect {
public:
    CEffect() = default;
    virtual ~CEffect() = default;

    // width, height: the render size in pixels, fixed for the whole run.
    // Returns 0 when ready, non-zero when a resource failed (the effect still plays).
    virtual int Setup(int width, int height);
    // elapsed: milliseconds since playback began.
    virtual void DrawFrame(LONG elapsed);
    virtual void ReceiveParam(char* param);
    virtual void UploadTextures();
    virtual void ReleaseTextures();
    virtual void MessageHandler(HWND window, unsigned message, unsigned wParam, LONG lParam);
    virtual void ReceiveInt(char* name, int value, LONG elapsed);
    virtual void ReceiveFloat(char* name, float value, LONG elapsed);
    virtual void ReceiveString(char* name, char* value, LONG elapsed);
    virtual void RenderFrameEx(LONG from, LONG to);

    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;
};

// Where an effect's frame-to-frame state goes when the host keeps it, and where it comes back
// from: one archive saves, another restores, walking the same fields in the same order.
class CStateArchive {
public:
    virtual ~CStateArchive() = default;
    // Copies size bytes at data into the archive (saving) or out of it (restoring).
    virtual void Bytes(void* data, size_t size) = 0;

    // Every field in turn; each must be plain data (numbers, arrays and structs of them).
    template <class... Fields>
    void operator()(Fields&... fields) {
        (Field(fields), ...);
    }

private:
    template <class T>
    void Field(T& field) {
        static_assert(std::is_trivially_copyable<T>::value, "an effect's state is plain data");
        Bytes(&field, sizeof field);
    }
};

// An effect whose frames depend on more than the elapsed time (spin counters, fades, sparks and
// their generator) also derives from CEffectState and hands that state to the archive, so the
// host can return to a moment of the show and draw exactly what playing up to it draws:
//
//   void CPolygon::KeepState(CStateArchive& state) { state(angleX, angleY, angleZ); }
//
// Only what a frame changes and a later frame reads belongs there: not the render size, the
// texture handles, the model or anything Setup or UploadTextures sets up again. Called between
// frames, never during one. An effect whose frames depend on the elapsed time alone needs none.
class CEffectState {
public:
    virtual ~CEffectState() = default;
    virtual void KeepState(CStateArchive& state) = 0;
    // Whether the next DrawFrame clears the whole colour and depth buffers, so that nothing
    // drawn before this frame survives it. Asked between frames, with the context current;
    // the host then needs no earlier picture to draw this frame exactly.
    virtual bool ClearsWholePicture() const { return false; }
};

// The start-up record: 544 bytes under natural alignment. The runtime reads the two
// names (shown on the loading screen and in --version); the flags are accepted as given.
struct SStartupDat {
    bool flag0;
    int int4;
    bool flag8;
    bool flag9;
    bool flag10;
    char applicationName[256];
    char groupName[256];
    bool flag523;
    bool flag524;
    bool flag525;
    int int528;
    bool flag532;
    bool flag533;
    bool flag534;
    bool flag535;
    bool flag536;
    int int540;
};
static_assert(sizeof(SStartupDat) == 544, "the start-up record is 544 bytes");
static_assert(offsetof(SStartupDat, applicationName) == 11, "application name at byte 11");
static_assert(offsetof(SStartupDat, groupName) == 267, "group name at byte 267");
static_assert(offsetof(SStartupDat, int528) == 528, "integer at byte 528");
static_assert(offsetof(SStartupDat, int540) == 540, "integer at byte 540");

// Start-up settings, numbered 1..12. Accepted and recorded; the runtime's behaviour comes
// from its command line, not from these.
void DEMOGL_SetVariable(int id, bool value);
void DEMOGL_SetVariable(int id, int value);
void DEMOGL_SetVariable(int id, const char* value);

// The script addresses the effect by name. A null effect is accepted and never called.
void DEMOGL_EffectRegister(CEffect* effect, const char* name);

// Loading screen (how each argument is read is documented in runtime/display/loading_screen.h).
void DEMOGL_LoadingPBEnable(int enabled, float width, float height, float x, float y);
void DEMOGL_LoadingPBSetAppearance(bool drawBackground, bool blend, unsigned sourceFactor,
                                   unsigned destinationFactor, float opacity, float backgroundRed,
                                   float backgroundGreen, float backgroundBlue, float barRed,
                                   float barGreen, float barBlue);
void DEMOGL_LoadingSplashEnable(const char* image, int fit, float opacity);

// Plays the demo; returns when it ends (0) or fails (non-zero). DEMOGL_AppEnd shuts down.
int DEMOGL_AppRun(HINSTANCE instance, const SStartupDat* startup, const char* title, bool windowed,
                  unsigned char colorDepthHint, unsigned char zBufferHint, int refreshHint);
void DEMOGL_AppEnd();

// A whole member of the data file, followed by one zero byte that is not counted in *size.
// Null when absent. The caller returns it with DEMOGL_FileFree.
unsigned char* DEMOGL_FileLoad(const char* name, size_t* size = nullptr);
void DEMOGL_FileFree(const unsigned char* data);

// Decodes a JPEG from the data file. Returns a handle (also the GL texture name) or 0.
// The same name with the same parameters returns the same handle.
unsigned DEMOGL_TextureLoad(const char* name, int fileType, int alphaSource, int wrapS, int wrapT,
                            int minFilter, int magFilter, bool mipmaps, bool compressed,
                            int border, int internalFormat, int dimensions);
// Makes the image resident (returns 0 on success); UnUpload frees its storage, the handle stays valid.
int DEMOGL_TextureUpload(unsigned handle);
void DEMOGL_TextureUnUpload(unsigned handle);
int UploadTexture(unsigned handle);
void UnUploadTexture(unsigned handle);
