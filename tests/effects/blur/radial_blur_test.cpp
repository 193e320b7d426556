// The radial-blur pipeline on a headless context: texture, capture, layers, frame state.
#include "effects/blur/blur.h"
#include "effects/blur/blur2.h"
#include "effects/blur/land.h"
#include "effects/blur/radial_blur.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

using glimmerq::testing::GlFixture;

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

std::vector<unsigned char> textureLuminance(unsigned texture) {
    std::vector<unsigned char> texels(kBlurTextureSize * kBlurTextureSize);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

std::vector<unsigned char> redChannel(int x, int y, int w, int h) {
    std::vector<unsigned char> red(w * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RED, GL_UNSIGNED_BYTE, red.data());
    return red;
}

// A picture whose red channel differs from pixel to pixel, so a shifted copy shows.
void paintPattern(int width, int height) {
    std::vector<unsigned char> rgba(width * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgba[(y * width + x) * 4];
            p[0] = (unsigned char)(x * 3 + y * 7);
            p[1] = (unsigned char)(y);
            p[2] = (unsigned char)(x);
            p[3] = 255;
        }
    glWindowPos2i(0, 0);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> v;
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

void clearToBlack() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool anyLit(const std::vector<unsigned char>& picture) {
    for (size_t i = 0; i < picture.size(); i += 4)
        if (picture[i] > 8 || picture[i + 1] > 8 || picture[i + 2] > 8) return true;
    return false;
}

// One feedback vertex of GL_3D_COLOR_TEXTURE: window x, y, z; colour; texture s, t, r, q.
struct FeedbackVertex {
    float x, y, z, r, g, b, a, s, t, p, q;
};

// Runs draw in feedback mode and returns the vertices of every polygon it produced.
std::vector<FeedbackVertex> feedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FeedbackVertex> vertices;
    for (GLint i = 0; i < used;) {
        if (GLint(buffer[i]) != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << buffer[i];
            break;
        }
        const int count = int(buffer[i + 1]);
        i += 2;
        for (int k = 0; k < count; ++k, i += 11) {
            FeedbackVertex v;
            std::copy(&buffer[i], &buffer[i + 11], &v.x);
            vertices.push_back(v);
        }
    }
    return vertices;
}

}  // namespace

TEST(BlurLayers, TwentyLayersShrinkTheTextureSquareTo038And062AndFadeTo005) {
    std::vector<SBlurLayer> layers;
    ForEachBlurLayer(20.0f, 0.02f, 1.0f, 64.0, 48.0, [&](const SBlurLayer& l) { layers.push_back(l); });
    ASSERT_EQ(layers.size(), 20u);
    for (size_t k = 0; k < layers.size(); ++k) {
        SCOPED_TRACE(::testing::Message() << "layer " << k);
        const SBlurLayer& l = layers[k];
        const float s = 0.02f * k;
        EXPECT_NEAR(l.alpha, 1.0f - 0.05f * k, 1e-5);
        // Upside down: the bottom-left vertex shows the top-left of the square.
        EXPECT_NEAR(l.texCoords[0][0], s, 1e-5);      EXPECT_NEAR(l.texCoords[0][1], 1 - s, 1e-5);
        EXPECT_NEAR(l.texCoords[1][0], s, 1e-5);      EXPECT_NEAR(l.texCoords[1][1], s, 1e-5);
        EXPECT_NEAR(l.texCoords[2][0], 1 - s, 1e-5);  EXPECT_NEAR(l.texCoords[2][1], s, 1e-5);
        EXPECT_NEAR(l.texCoords[3][0], 1 - s, 1e-5);  EXPECT_NEAR(l.texCoords[3][1], 1 - s, 1e-5);
        EXPECT_EQ(l.vertices[0][0], -64.0);  EXPECT_EQ(l.vertices[0][1], -48.0);
        EXPECT_EQ(l.vertices[1][0], -64.0);  EXPECT_EQ(l.vertices[1][1], 48.0);
        EXPECT_EQ(l.vertices[2][0], 64.0);   EXPECT_EQ(l.vertices[2][1], 48.0);
        EXPECT_EQ(l.vertices[3][0], 64.0);   EXPECT_EQ(l.vertices[3][1], -48.0);
    }
    EXPECT_NEAR(layers.back().texCoords[1][0], 0.38f, 1e-5);
    EXPECT_NEAR(layers.back().texCoords[2][0], 0.62f, 1e-5);
    EXPECT_NEAR(layers.back().alpha, 0.05f, 1e-5);
}

TEST(BlurLayers, LandsTenLayersFadeFrom02To002OverTheSquare018To082) {
    std::vector<SBlurLayer> layers;
    ForEachBlurLayer(10.0f, 0.02f, 0.2f, 1.0, 1.0, [&](const SBlurLayer& l) { layers.push_back(l); });
    ASSERT_EQ(layers.size(), 10u);
    EXPECT_NEAR(layers.front().alpha, 0.2f, 1e-6);
    EXPECT_NEAR(layers[1].alpha, 0.18f, 1e-6);
    EXPECT_NEAR(layers.back().alpha, 0.02f, 1e-6);
    EXPECT_NEAR(layers.back().texCoords[1][0], 0.18f, 1e-6);
    EXPECT_NEAR(layers.back().texCoords[3][0], 0.82f, 1e-6);
}

class BlurPipeline : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }
};

TEST_F(BlurPipeline, BlurTextureIsA128SquareOfZerosWithLinearFiltering) {
    const unsigned name = MakeBlurTexture();
    ASSERT_NE(name, 0u);
    GLint bound = 0, w = 0, h = 0, minFilter = 0, magFilter = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(unsigned(bound), name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 128);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    std::vector<unsigned char> rgba(128 * 128 * 4, 0xAB);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    EXPECT_TRUE(std::all_of(rgba.begin(), rgba.end(), [](unsigned char c) { return c == 0; }));
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

// The capture must copy exactly what the small drawing left in the lower-left 128x128 pixels.
template <class Effect>
void checkCapture(const GlFixture& gl, float clearAlpha) {
    Effect effect;
    effect.Setup(kWidth, kHeight);
    effect.blurTexture = MakeBlurTexture();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, double(kWidth) / kHeight, effect.values.nearPlane, effect.values.farPlane);
    glMatrixMode(GL_MODELVIEW);

    // What the capture should see: the pattern with the surface drawn over it at angle 11.
    paintPattern(kWidth, kHeight);
    const std::vector<unsigned char> pattern = redChannel(0, 0, 128, 128);
    effect.angle = 10;
    glViewport(0, 0, 128, 128);
    effect.DrawSurface(0);
    const std::vector<unsigned char> expected = redChannel(0, 0, 128, 128);
    ASSERT_NE(expected, pattern) << "the surface must show in the corner for this test to mean anything";

    paintPattern(kWidth, kHeight);
    glClear(GL_DEPTH_BUFFER_BIT);
    effect.angle = 10;
    effect.CaptureToTexture();
    EXPECT_EQ(effect.angle, 11);
    const std::array<GLint, 4> after = viewport();
    EXPECT_EQ(textureLuminance(effect.blurTexture), expected);

    // Then the whole frame is cleared, colour and depth, with the effect's clear alpha.
    const unsigned char alpha = (unsigned char)std::lround(clearAlpha * 255.0f);
    for (int y : {0, 64, kHeight - 1})
        for (int x : {0, 127, 128, kWidth - 1}) {
            const auto p = gl.pixel(x, y);
            EXPECT_EQ(p[0], 0);
            EXPECT_EQ(p[1], 0);
            EXPECT_EQ(p[2], 0);
            EXPECT_NEAR(p[3], alpha, 1) << "at " << x << "," << y;
        }
    float depth = 0.0f;
    glReadPixels(40, 40, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
    glViewport(0, 0, 1, 1);
    effect.ApplyViewport();
    EXPECT_EQ(after, viewport()) << "the capture ends at the effect's viewport";
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(BlurPipeline, CaptureCopiesTheLowerLeftCornerAndClearsWithHalfAlphaForTheCoil) {
    checkCapture<CBlur>(gl, 0.5f);
}

TEST_F(BlurPipeline, CaptureCopiesTheLowerLeftCornerAndClearsWithZeroAlphaForTheSecondSurface) {
    checkCapture<CBlur2V>(gl, 0.0f);
}

TEST_F(BlurPipeline, CaptureOfTheLandClearsWithZeroAlpha) {
    checkCapture<CLand>(gl, 0.0f);
}

TEST_F(BlurPipeline, FrameLeavesLightsMaterialAndViewButRestoresEnablesAndFunctions) {
    // A previous layer's state: a moved model-view, odd functions, flat shading.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glDepthFunc(GL_GREATER);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    glShadeModel(GL_FLAT);
    GLint modelviewDepth = 0, projectionDepth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);

    CBlur effect;
    effect.Setup(kWidth, kHeight);
    effect.DrawFrame(0);
    ASSERT_EQ(gl.glError(), unsigned(GL_NO_ERROR));

    // Light 7 was placed under the model-view in force at entry: (0, 5, 10, 0.2) moved by (1, 2, 3) w.
    float v[4];
    glGetLightfv(GL_LIGHT7, GL_POSITION, v);
    EXPECT_NEAR(v[0], 0.2f, 1e-5);
    EXPECT_NEAR(v[1], 5.4f, 1e-5);
    EXPECT_NEAR(v[2], 10.6f, 1e-5);
    EXPECT_NEAR(v[3], 0.2f, 1e-6);
    glGetLightfv(GL_LIGHT7, GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], 0.2f);
    EXPECT_FLOAT_EQ(v[3], 0.2f);
    glGetLightfv(GL_LIGHT7, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[0], 0.3f);
    EXPECT_FLOAT_EQ(v[3], 0.2f);
    glGetLightfv(GL_LIGHT7, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[0], 0.8f);
    EXPECT_FLOAT_EQ(v[3], 0.2f);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], 0.2f);
    EXPECT_FLOAT_EQ(v[3], 0.2f);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[0], 1.0f) << "light 0 is not touched";
    glGetMaterialfv(GL_BACK, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[0], 0.7f);
    EXPECT_FLOAT_EQ(v[3], 0.2f);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[1], 0.7f);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[0], 1.0f);
    EXPECT_FLOAT_EQ(v[3], 0.3f);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, v);
    EXPECT_EQ(v[0], 0.0f);
    GLint value = 0;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);

    // Enables, functions and clear colour come back; no texture stays bound.
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT7));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_DST_COLOR);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ZERO);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_GREATER);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, v);
    EXPECT_FLOAT_EQ(v[0], 0.1f);
    EXPECT_FLOAT_EQ(v[3], 0.4f);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, 0);

    // Viewport, projection and the view of the last surface drawing stay.
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, kWidth, kHeight}));
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, modelviewDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, projectionDepth);
    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) {
        const float expected = i == 14 ? -50.0f : (i % 5 == 0 ? 1.0f : 0.0f);
        EXPECT_NEAR(modelview[i], expected, 1e-5) << "model-view element " << i;
    }
    float projection[16], expected[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, double(kWidth) / kHeight, 5.0, 2000.0);
    glGetFloatv(GL_PROJECTION_MATRIX, expected);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projection[i], expected[i]) << "projection element " << i;
}

TEST_F(BlurPipeline, SecondSurfaceFramesUseTheirOwnMaterialAndClipPlanes) {
    CBlur2 effect;
    effect.Setup(kWidth, kHeight);
    effect.DrawFrame(0);
    ASSERT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
    float v[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[0], 1.0f);
    EXPECT_FLOAT_EQ(v[3], 0.2f);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[0], 0.4f);
    EXPECT_FLOAT_EQ(v[3], 0.3f);
    float projection[16], expected[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, double(kWidth) / kHeight, 0.1, 200.0);
    glGetFloatv(GL_PROJECTION_MATRIX, expected);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projection[i], expected[i]) << "projection element " << i;

    CLand land;
    land.Setup(kWidth, kHeight);
    land.DrawFrame(1000);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[0], 0.3f);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    EXPECT_FLOAT_EQ(v[3], 0.4f);
}

TEST_F(BlurPipeline, AngleAdvancesThreeTimesPerCoilFrameAndTwicePerOtherFrameAndWraps) {
    CBlur coil;
    CBlurV coilQuarter;
    CBlur2 second;
    CBlur2V secondQuarter;
    CLand land;
    CRadialBlur* effects[] = {&coil, &coilQuarter, &second, &secondQuarter, &land};
    const int perFrame[] = {3, 3, 2, 2, 2};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(::testing::Message() << "effect " << i);
        effects[i]->angle = 77;
        effects[i]->Setup(kWidth, kHeight);
        EXPECT_EQ(effects[i]->angle, 0);
        effects[i]->DrawFrame(0);
        EXPECT_EQ(effects[i]->angle, perFrame[i]);
        effects[i]->DrawFrame(5000);
        EXPECT_EQ(effects[i]->angle, 2 * perFrame[i]);
        effects[i]->angle = 358;
        effects[i]->DrawFrame(0);
        EXPECT_EQ(effects[i]->angle, perFrame[i] - 2) << "359 is followed by 0";
    }
    EXPECT_EQ(land.timeOffset, 1000);
}

// A size the host never passes: the projection falls back to a square aspect, not 0 or NaN.
TEST_F(BlurPipeline, AZeroHeightGivesASquareFiniteProjection) {
    for (int width : {kWidth, 0}) {
        CLand land;
        land.Setup(width, 0);
        land.DrawFrame(0);
        float projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(projection[i])) << "element " << i;
        EXPECT_FLOAT_EQ(projection[0], projection[5]);
    }
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(BlurPipeline, BlurTextureIsMadeOnceAndReused) {
    CBlur2 effect;
    effect.Setup(kWidth, kHeight);
    EXPECT_EQ(effect.blurTexture, 0u);
    effect.DrawFrame(0);
    const unsigned first = effect.blurTexture;
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(glIsTexture(first));
    effect.DrawFrame(20);
    effect.DrawFrame(40);
    EXPECT_EQ(effect.blurTexture, first);
    // Each capture redefines it as a 128x128 luminance image.
    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, first);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(format, GL_LUMINANCE);
    GLuint next = 0;
    glGenTextures(1, &next);
    EXPECT_EQ(next, first + 1) << "no texture names were used up by later frames";
}

TEST_F(BlurPipeline, LayersSpanTheWholeWindowSizeInTheQuarterVariants) {
    GlFixture odd(641, 481);
    ASSERT_TRUE(odd.ok()) << odd.error();
    CBlurV coil;
    CBlur2V second;
    coil.Setup(641, 481);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{320, 240, 320, 240}));
    second.Setup(641, 481);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 320, 240}));
    coil.DrawFrame(0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{320, 240, 320, 240}));
    second.DrawFrame(0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 320, 240}));

    // Read the layers back as GL receives them: an orthographic 400x400 view, unlit, so window
    // coordinates are world coordinates + 200 and the colour is the layer's own.
    for (CRadialBlur* effect : {static_cast<CRadialBlur*>(&coil), static_cast<CRadialBlur*>(&second)}) {
        const double d = effect->values.blurDivisor;
        const float halfWidth = float(641 / d), halfHeight = float(481 / d);
        effect->blurTexture = MakeBlurTexture();
        glViewport(0, 0, 400, 400);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-200, 200, -200, 200, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        const std::vector<FeedbackVertex> vertices = feedback([&] { effect->CompositeBlur(20.0f, 0.02f); });
        ASSERT_GE(vertices.size(), 20u * 4u);
        std::map<int, int> layerVertices;
        for (const FeedbackVertex& v : vertices) {
            const float x = v.x - 200.0f, y = v.y - 200.0f;
            ASSERT_NEAR(std::fabs(x), halfWidth, 1e-3) << "layer half-width for divisor " << d;
            ASSERT_NEAR(std::fabs(y), halfHeight, 1e-3) << "layer half-height for divisor " << d;
            const int k = int(std::lround((1.0f - v.a) / 0.05f));
            ASSERT_NEAR(v.a, 1.0f - 0.05f * k, 1e-3);
            ++layerVertices[k];
            // Upside down: left edge at s = 0.02k, top edge at t = 0.02k.
            const float s = 0.02f * k;
            EXPECT_NEAR(v.s, x < 0 ? s : 1 - s, 1e-4);
            EXPECT_NEAR(v.t, y > 0 ? s : 1 - s, 1e-4);
        }
        EXPECT_EQ(layerVertices.size(), 20u);
        EXPECT_EQ(layerVertices.begin()->first, 0);
        EXPECT_EQ(layerVertices.rbegin()->first, 19);
    }
    EXPECT_EQ(odd.glError(), unsigned(GL_NO_ERROR));
}

// Same angle, different elapsed time: the same picture (only CLAND's sharp surface moves).
TEST_F(BlurPipeline, FramesDependOnTheAngleNotOnTheElapsedTime) {
    auto frame = [&](CRadialBlur& effect, int angle, LONG elapsed) {
        clearToBlack();
        effect.angle = angle;
        effect.DrawFrame(elapsed);
        return gl.picture();
    };
    CBlur coil;
    CBlur2V second;
    for (CRadialBlur* effect : {static_cast<CRadialBlur*>(&coil), static_cast<CRadialBlur*>(&second)}) {
        effect->Setup(kWidth, kHeight);
        const std::vector<unsigned char> early = frame(*effect, 40, 0);
        ASSERT_TRUE(anyLit(early));
        EXPECT_EQ(frame(*effect, 40, 987654), early);
        EXPECT_EQ(frame(*effect, 40, -5), early);
        EXPECT_NE(frame(*effect, 70, 0), early) << "another angle must show";
    }

    CLand land;
    land.Setup(kWidth, kHeight);
    const std::vector<unsigned char> atOne = frame(land, 40, 1000);
    const std::vector<unsigned char> glowAtOne = textureLuminance(land.blurTexture);
    ASSERT_TRUE(anyLit(atOne));
    EXPECT_EQ(frame(land, 40, 1000), atOne);
    const std::vector<unsigned char> later = frame(land, 40, 4321);
    EXPECT_NE(later, atOne) << "the sharp surface follows the elapsed time";
    EXPECT_EQ(textureLuminance(land.blurTexture), glowAtOne) << "the glow does not";
    frame(land, 90, 1000);
    EXPECT_NE(textureLuminance(land.blurTexture), glowAtOne) << "the glow spins with the angle";
}

namespace {

// Column-major 4x4 matrices, as GL keeps them.
struct Matrix {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    Matrix operator*(const Matrix& b) const {
        Matrix r;
        for (int col = 0; col < 4; ++col)
            for (int row = 0; row < 4; ++row) {
                double sum = 0;
                for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * b.m[col * 4 + k];
                r.m[col * 4 + row] = sum;
            }
        return r;
    }
    void apply(const float* p, double* out) const {
        for (int row = 0; row < 3; ++row)
            out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
    }
};

Matrix translation(double x, double y, double z) {
    Matrix t;
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return t;
}

Matrix rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length, y /= length, z /= length;
    const double c = std::cos(degrees * std::acos(-1.0) / 180.0), s = std::sin(degrees * std::acos(-1.0) / 180.0);
    Matrix r;
    const double rows[3][3] = {{x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s},
                               {y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s},
                               {z * x * (1 - c) - y * s, z * y * (1 - c) + x * s, z * z * (1 - c) + c}};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) r.m[col * 4 + row] = rows[row][col];
    return r;
}

// Draws the surface in feedback mode under a 600x600 orthographic view (window = eye + 300) and
// checks that every vertex GL received is a generated corner placed by `placement` under the
// eye at distance 50, and that every generated corner arrived.
void checkSurfaceReachesGl(CRadialBlur& effect, int startAngle, LONG elapsed, const Matrix& placement,
                           const std::function<void(float (&)[4][3], const PatchFn&)>& generate) {
    effect.Setup(600, 600);
    effect.angle = startAngle;
    glViewport(0, 0, 600, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-300, 300, -300, 300, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHTING);

    const Matrix view = translation(0, 0, -50) * placement;
    std::vector<std::array<double, 2>> expected;
    float corners[4][3];
    generate(corners, [&](const float (&c)[4][3], const float (&)[3]) {
        for (int i = 0; i < 4; ++i) {
            double eye[3];
            view.apply(c[i], eye);
            expected.push_back({eye[0] + 300.0, eye[1] + 300.0});
        }
    });
    const std::vector<FeedbackVertex> received = feedback([&] { effect.DrawSurface(elapsed); });
    ASSERT_GE(received.size(), expected.size());
    std::vector<bool> arrived(expected.size(), false);
    for (const FeedbackVertex& v : received) {
        bool found = false;
        for (size_t i = 0; i < expected.size(); ++i) {
            if (std::fabs(v.x - expected[i][0]) < 2e-3 && std::fabs(v.y - expected[i][1]) < 2e-3) {
                arrived[i] = found = true;
            }
        }
        ASSERT_TRUE(found) << "vertex at " << v.x << ", " << v.y << " is no placed corner";
    }
    EXPECT_EQ(std::count(arrived.begin(), arrived.end(), false), 0) << "corners that never reached GL";
    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_NEAR(modelview[14], -50.0f, 1e-5) << "the surface drawing leaves the eye's view";
    EXPECT_NEAR(modelview[12], 0.0f, 1e-5);
}

}  // namespace

TEST_F(BlurPipeline, DrawSurfaceSendsEveryGeneratedQuadPlacedAndSpunByTheAngle) {
    {
        SCOPED_TRACE("coil");
        CBlurV coil;
        // The drawing advances the angle from 29 to 30 before it turns the coil.
        const Matrix placement = translation(25, 0, 0) * rotation(-45, 0, 1, 0) * rotation(30, 0, 0, 1);
        checkSurfaceReachesGl(coil, 29, 0, placement, [](float (&c)[4][3], const PatchFn& emit) {
            EmitParametricPatches(kCoilSurface, c, emit);
        });
        EXPECT_EQ(coil.angle, 30);
    }
    {
        SCOPED_TRACE("second surface");
        CBlur2 second;
        const Matrix placement = rotation(-45, 0, 1, 0) * rotation(60, 0, 1, 1);
        checkSurfaceReachesGl(second, 59, 0, placement, [](float (&c)[4][3], const PatchFn& emit) {
            EmitParametricPatches(kSecondSurface, c, emit);
        });
    }
    {
        SCOPED_TRACE("land");
        CLand land;
        const Matrix placement = translation(0, 0, 15) * rotation(90, 1, 0, 0) * rotation(101, 0, 0, 1);
        checkSurfaceReachesGl(land, 100, 3500, placement, [](float (&c)[4][3], const PatchFn& emit) {
            EmitLandPatches(0.25f, c, emit);  // (3500 - 1000) / 10000
        });
    }
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

// The glow is taken first in the frame, from the picture the frame began with, one degree on.
TEST_F(BlurPipeline, TheCaptureIsTheFramesFirstDrawingOneDegreeOn) {
    CBlur2 framed;
    framed.Setup(kWidth, kHeight);
    clearToBlack();
    framed.angle = 40;
    framed.DrawFrame(0);
    const std::vector<unsigned char> glow = textureLuminance(framed.blurTexture);

    // The same lights, projection and enables by hand; then capture alone at angle 41.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT7);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    CBlur2 alone;
    alone.Setup(kWidth, kHeight);
    alone.blurTexture = MakeBlurTexture();
    alone.angle = 40;
    alone.CaptureToTexture();
    const std::vector<unsigned char> expected = textureLuminance(alone.blurTexture);
    ASSERT_TRUE(std::any_of(expected.begin(), expected.end(), [](unsigned char c) { return c > 8; }));
    EXPECT_EQ(glow, expected);
}
