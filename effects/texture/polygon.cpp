#include "effects/texture/polygon.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr double kFovDegrees = 45.0;
constexpr double kNear = 0.1;
constexpr double kFar = 200.0;

constexpr GLenum kLight = GL_LIGHT7;
constexpr GLfloat kModelAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
constexpr GLfloat kLightPosition[4] = {0.0f, 0.0f, -15.0f, 1.0f};  // in the caller's eye space
constexpr GLfloat kLightAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
constexpr GLfloat kLightDiffuse[4] = {0.3f, 0.3f, 0.3f, 1.0f};
constexpr GLfloat kLightSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLint kShininess = 100;
// Alpha 0.5: every fragment adds half its lit colour to the picture.
constexpr GLfloat kMaterialColour[4] = {1.0f, 1.0f, 1.0f, 0.5f};
constexpr GLfloat kMaterialSpecular[4] = {0.5f, 0.5f, 0.5f, 1.0f};

// Fog parameters only; GL_FOG keeps its enable state.
constexpr GLfloat kFogDensity = 0.1f;
constexpr GLfloat kFogStart = 0.0f;
constexpr GLfloat kFogEnd = 1.0f;

constexpr int kDegreesPerFrame = 1;
constexpr int kFullTurn = 360;

// The swing: x = y = sin(t / 500), z = 15 sin(t / 1000) - 12 (between -27 and 3).
constexpr double kSwingPeriodMs = 500.0;
constexpr double kDepthPeriodMs = 1000.0;
constexpr double kDepthAmplitude = 15.0;
constexpr double kDepthCentre = -12.0;
constexpr float kSolidDistance = 1.5f;  // the solid core sits 1.5 times as far as the wireframe

// The icosahedron: twelve unit vertices (each its own normal) and twenty triangles.
constexpr float kA = 0.5257311f;  // kA² + kB² = 1: every vertex has unit length
constexpr float kB = 0.8506508f;
constexpr GLfloat kVertices[12][3] = {
    {-kA, 0, kB}, {kA, 0, kB},  {-kA, 0, -kB}, {kA, 0, -kB}, {0, kB, kA},  {0, kB, -kA},
    {0, -kB, kA}, {0, -kB, -kA}, {kB, kA, 0},  {-kB, kA, 0}, {kB, -kA, 0}, {-kB, -kA, 0},
};
constexpr int kTriangles[20][3] = {
    {0, 4, 1},  {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},  {8, 10, 1}, {8, 3, 10},
    {5, 3, 8},  {5, 2, 3},  {2, 7, 3},  {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6},
    {0, 1, 6},  {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11},
};

void DrawTriangles() {
    glBegin(GL_TRIANGLES);
    for (const auto& triangle : kTriangles) {
        for (int index : triangle) {
            glNormal3fv(kVertices[index]);
            glVertex3fv(kVertices[index]);
        }
    }
    glEnd();
}

}  // namespace

void IcosahedronCentre(LONG elapsed, float centre[3]) {
    centre[0] = float(std::sin(elapsed / kSwingPeriodMs));
    centre[1] = float(std::sin(elapsed / kSwingPeriodMs));
    centre[2] = float(kDepthAmplitude * std::sin(elapsed / kDepthPeriodMs) + kDepthCentre);
}

int CPolygon::Setup(int width, int height) {
    this->width = width;
    this->height = height;
    angleX = 0;
    angleY = 0;
    angleZ = 0;
    glViewport(0, 0, width, height);
    return 0;
}

void CPolygon::UploadTextures() {}

void CPolygon::ReleaseTextures() {}

void CPolygon::KeepState(CStateArchive& state) { state(angleX, angleY, angleZ); }

// Leaves: viewport = full, projection = 45° perspective, matrix mode GL_MODELVIEW with the
// matrix it found, GL_LIGHT7 and the light-model ambient set, materials (front and back)
// set, GL_EXP fog parameters with GL_DONT_CARE fog hint, smooth shading.
void CPolygon::DrawFrame(LONG elapsed) {
    // Some drivers (Mesa 22) leave the GL_LIGHTi enables alone on glPopAttrib(GL_ENABLE_BIT):
    // this one is remembered before the push and put back after the pop.
    const GLboolean light7WasEnabled = glIsEnabled(kLight);
    glPushAttrib(GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);

    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kModelAmbient);
    // Transformed by the modelview matrix the previous layer left.
    glLightfv(kLight, GL_POSITION, kLightPosition);
    glLightfv(kLight, GL_AMBIENT, kLightAmbient);
    glLightfv(kLight, GL_DIFFUSE, kLightDiffuse);
    glLightfv(kLight, GL_SPECULAR, kLightSpecular);
    glEnable(GL_LIGHTING);
    glEnable(kLight);
    glMateriali(GL_FRONT, GL_SHININESS, kShininess);

    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, kFogDensity);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);

    glShadeModel(GL_SMOOTH);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFovDegrees, double(width) / double(height), kNear, kFar);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
        glLoadIdentity();
        DrawIcosahedron(elapsed);
    glPopMatrix();

    glPopAttrib();
    if (light7WasEnabled)
        glEnable(kLight);
    else
        glDisable(kLight);
}

void CPolygon::DrawIcosahedron(LONG elapsed) {
    angleX = (angleX + kDegreesPerFrame) % kFullTurn;
    angleY = (angleY + kDegreesPerFrame) % kFullTurn;
    angleZ = (angleZ + kDegreesPerFrame) % kFullTurn;

    float p[3];
    IcosahedronCentre(elapsed, p);

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_ONE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, kMaterialColour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kMaterialSpecular);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    // The solid core, further away on the same line of sight.
    glLoadIdentity();
    glTranslatef(kSolidDistance * p[0], kSolidDistance * p[1], kSolidDistance * p[2]);
    glRotatef(float(angleX), 1.0f, 0.0f, 0.0f);
    glRotatef(float(angleY), 0.0f, 1.0f, 0.0f);
    glRotatef(float(angleZ), 0.0f, 0.0f, 1.0f);
    DrawTriangles();

    // The wireframe in front of it.
    glLoadIdentity();
    glTranslatef(p[0], p[1], p[2]);
    glRotatef(float(angleX), 1.0f, 0.0f, 0.0f);
    glRotatef(float(angleY), 0.0f, 1.0f, 0.0f);
    glRotatef(float(angleZ), 0.0f, 0.0f, 1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    DrawTriangles();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}
