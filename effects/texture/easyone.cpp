#include "effects/texture/easyone.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

const char kTextureName[] = "voxe.jpg";

constexpr double kFovDegrees = 45.0;
constexpr double kNear = 0.1;
constexpr double kFar = 200.0;
constexpr double kAspectPeriodMs = 800.0;   // sin(t / 800): the aspect swings every 5.03 s
constexpr float kViewTurnDegrees = -15.0f;  // about the vertical axis, on the projection

constexpr float kFogDensity = 0.08f;        // GL_EXP
constexpr float kFogStart = 0.0f;
constexpr float kFogEnd = 1.0f;

constexpr int kCubeCount = 299;             // cubes i = 1 ... 299
constexpr float kRowX = -0.4f;
constexpr double kCubeSpacing = 2.8;        // along z
constexpr double kRowStartZ = -508.6;       // z of the (absent) cube i = 0
constexpr double kDriftAmplitude = 500.0;   // along z
constexpr double kDriftPeriodMs = 50000.0;  // sin(t / 50000): about 314 s per swing

constexpr float kHalfEdge = 0.125f;         // the cube's edge is 0.25

// One face: four corners as signs of (x, y, z), each scaled by kHalfEdge.
struct SCubeFace {
    signed char corner[4][3];
};

// Faces y-, y+, z+, z-, x+, x-; every face takes the texture corners in kFaceTexCoords order.
constexpr SCubeFace kCubeFaces[6] = {
    {{{-1, -1, -1}, {+1, -1, -1}, {+1, -1, +1}, {-1, -1, +1}}},
    {{{-1, +1, -1}, {-1, +1, +1}, {+1, +1, +1}, {+1, +1, -1}}},
    {{{-1, -1, +1}, {+1, -1, +1}, {+1, +1, +1}, {-1, +1, +1}}},
    {{{-1, -1, -1}, {-1, +1, -1}, {+1, +1, -1}, {+1, -1, -1}}},
    {{{+1, -1, -1}, {+1, +1, -1}, {+1, +1, +1}, {+1, -1, +1}}},
    {{{-1, -1, -1}, {-1, -1, +1}, {-1, +1, +1}, {-1, +1, -1}}},
};
constexpr float kFaceTexCoords[4][2] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};

// The display list holding the cube; one per process, like the GL context it lives in.
GLuint cubeList = 0;

}  // namespace

double CubeRowAspect(LONG elapsed, int width, int height) {
    const float ratio = float(width) / float(height);
    return std::sin(elapsed / kAspectPeriodMs) * ratio;
}

double CubeRowDrift(LONG elapsed) { return kDriftAmplitude * std::sin(elapsed / kDriftPeriodMs); }

float CubeRowZ(int i, double drift) { return float(kCubeSpacing * i + kRowStartZ + drift); }

unsigned CEasyOne::CubeList() { return cubeList; }

int CEasyOne::Setup(int width, int height) {
    this->width = width;
    this->height = height;
    texture = DEMOGL_TextureLoad(kTextureName, 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR,
                                 false, false, 0, GL_RGB5_A1, 2);
    return texture == 0 ? 1 : 0;
}

void CEasyOne::UploadTextures() {
    DEMOGL_TextureUpload(texture);

    // Each run compiles a fresh list; the previous one would otherwise be lost.
    if (cubeList != 0 && glIsList(cubeList)) glDeleteLists(cubeList, 1);
    cubeList = glGenLists(1);
    glNewList(cubeList, GL_COMPILE);
    glBegin(GL_QUADS);
    for (const SCubeFace& face : kCubeFaces) {
        for (int k = 0; k < 4; ++k) {
            glTexCoord2f(kFaceTexCoords[k][0], kFaceTexCoords[k][1]);
            glVertex3f(face.corner[k][0] * kHalfEdge, face.corner[k][1] * kHalfEdge,
                       face.corner[k][2] * kHalfEdge);
        }
    }
    glEnd();
    glEndList();
}

void CEasyOne::ReleaseTextures() { DEMOGL_TextureUnUpload(texture); }

// Leaves: viewport = full, projection = swinging 45° perspective turned -15° about y,
// matrix mode GL_MODELVIEW with the last cube's translation, GL_EXP fog parameters and
// GL_NICEST fog hint, GL_MODULATE texture environment, smooth shading, colour white.
void CEasyOne::DrawFrame(LONG elapsed) {
    // Some drivers (Mesa 22) leave the GL_LIGHTi enables alone on glPopAttrib(GL_ENABLE_BIT):
    // this one is remembered before the push and put back after the pop.
    const GLboolean light0WasEnabled = glIsEnabled(GL_LIGHT0);
    glPushAttrib(GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);

    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, width, height);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    // An aspect of exactly 0 (t = 0) makes gluPerspective leave the identity in place.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFovDegrees, CubeRowAspect(elapsed, width, height), kNear, kFar);

    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);

    // The fog colour is whatever is current.
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, kFogDensity);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
    glEnable(GL_FOG);

    glRotatef(kViewTurnDegrees, 0.0f, 1.0f, 0.0f);  // still on the projection matrix
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    DrawCubeRow(elapsed);

    glPopAttrib();
    if (light0WasEnabled)
        glEnable(GL_LIGHT0);
    else
        glDisable(GL_LIGHT0);
}

void CEasyOne::DrawCubeRow(LONG elapsed) {
    const double drift = CubeRowDrift(elapsed);
    for (int i = 1; i <= kCubeCount; ++i) {
        glLoadIdentity();
        glTranslatef(kRowX, 0.0f, CubeRowZ(i, drift));
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glCallList(cubeList);
    }
}
