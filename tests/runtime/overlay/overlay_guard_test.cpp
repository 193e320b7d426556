// The overlay never changes what the effects see: real effects drawn with the overlay
// drawn between their frames (into a second framebuffer, standing for the window) give
// the same bytes as without it, and the GL state they inherit reads back the same.
#include "runtime/overlay/overlay_panel.h"
#include "runtime/overlay/overlay_renderer.h"
#include "runtime/script/timeline.h"
#include "tests/runtime/overlay/layered_show.h"
#include "tests/support/gl_state_snapshot.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace glimmerq;
using glimmerq::testing::glSnapshot;
using glimmerq::testing::glSnapshotDifferences;

namespace {

constexpr int kWidth = 320, kHeight = 180;
constexpr int kFrames = 8;
constexpr int64_t kFrameStepMs = 250;


// The frames of the layered show in a fresh context of their own, with or without the overlay drawn
// after each one; *stateChanges lists the inherited state the overlay changed.
std::vector<std::vector<unsigned char>> play(bool withOverlay, std::string* stateChanges) {
        glimmerq::testing::GlFixture gl(kWidth, kHeight);
        EXPECT_TRUE(gl.ok()) << gl.error();
        glimmerq::testing::TestHost host;
        host.useDirectory(GLIMMERQ_DATA_DIR);
        std::string error;
        std::unique_ptr<OverlayRenderer> overlay;
        if (withOverlay) {
            overlay = OverlayRenderer::create(&error);
            EXPECT_TRUE(overlay) << error;
            if (!overlay) return {};
        }
        glimmerq::testing::LayeredEffects layered;
        glimmerq::testing::createLayeredEffects(kWidth, kHeight, &layered);
        const std::vector<std::string>& names = layered.names;
        const char* scriptText = glimmerq::testing::kLayeredScript;
        auto script = parseScript(scriptText, names, &error);
        EXPECT_TRUE(script) << error;
        const TimelineChart chart = buildTimelineChart(*script, names, "demoflow");

        GLint target = 0;  // the fixture's render target
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &target);
        RenderTarget window;  // stands for the window's framebuffer; binds itself
        EXPECT_TRUE(window.create(kWidth * 2, kHeight * 2, &error)) << error;

        Timeline timeline(layered.effects, std::move(*script));
        std::vector<std::vector<unsigned char>> frames;
        TimelineWindowState state;
        for (int frame = 0; frame < kFrames; ++frame) {
            const int64_t nowMs = frame * kFrameStepMs;
            glBindFramebuffer(GL_FRAMEBUFFER, GLuint(target));
            timeline.advance(nowMs);
            timeline.draw(nowMs);
            frames.push_back(gl.picture());
            if (!overlay) continue;
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, window.framebuffer());
            const auto before = glSnapshot();
            overlay->beginFrame(window.width(), window.height());
            drawTimelineWindow(chart, nullptr, {nowMs, TimeRange{1000, 2000}}, &state);
            drawOverlayPanel(chart, {nowMs, 60.0, 4.2, false}, state.scale);
            overlay->endFrame();
            *stateChanges += glSnapshotDifferences(before, glSnapshot());
        }
        timeline.stopAll();
        EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
        overlay.reset();
        return frames;
}

}  // namespace

TEST(OverlayGuard, FramesAreByteIdenticalWithTheOverlayDrawnBetweenThem) {
    std::string unused;
    const auto plain = play(false, &unused);
    std::string stateChanges;
    const auto overlaid = play(true, &stateChanges);
    EXPECT_EQ(stateChanges, "");

    ASSERT_EQ(plain.size(), overlaid.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        size_t differing = 0;
        for (size_t b = 0; b < plain[i].size(); ++b) differing += plain[i][b] != overlaid[i][b];
        EXPECT_EQ(differing, 0u) << "frame " << i << ": bytes differ";
    }
    // The frames are not all alike: the effects really drew and moved.
    EXPECT_NE(plain.front(), plain.back());
}

TEST(OverlayGuard, TheOverlayReallyDrawsIntoTheBoundFramebuffer) {
    glimmerq::testing::GlFixture gl(kWidth, kHeight);
    ASSERT_TRUE(gl.ok()) << gl.error();
    std::string error;
    auto overlay = OverlayRenderer::create(&error);
    ASSERT_TRUE(overlay) << error;
    RenderTarget window;
    ASSERT_TRUE(window.create(kWidth, kHeight, &error)) << error;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const std::string script = "0 start CLEAR layer 0\n5 end\n";
    const auto parsed = parseScript(script, {"CLEAR"}, &error);
    const TimelineChart chart = buildTimelineChart(*parsed, {"CLEAR"}, "demoflow");
    TimelineWindowState state;
    overlay->beginFrame(kWidth, kHeight);
    drawTimelineWindow(chart, nullptr, {}, &state);
    overlay->endFrame();
    std::vector<unsigned char> rgba;
    window.readPixels(&rgba);
    size_t lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) lit += rgba[i] + rgba[i + 1] + rgba[i + 2] > 0;
    EXPECT_GT(lit, rgba.size() / 4 / 10) << "the timeline window covers the bottom of the picture";
}

// State no effect of today leaves, but the next layer would inherit: the overlay neither
// reads it (its arrays are plain pointers, so a bound buffer must not catch them) nor
// changes it.
TEST(OverlayGuard, PutsBackUnusualInheritedState) {
    glimmerq::testing::GlFixture gl(kWidth, kHeight);
    ASSERT_TRUE(gl.ok()) << gl.error();
    std::string error;
    auto overlay = OverlayRenderer::create(&error);
    ASSERT_TRUE(overlay) << error;
    const std::string script = "0 start CLEAR layer 0\n0 int CLEAR METHOD 2\n5 end\n";
    const auto parsed = parseScript(script, {"CLEAR"}, &error);
    const TimelineChart chart = buildTimelineChart(*parsed, {"CLEAR"}, "demoflow");

    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, 64, nullptr, GL_STATIC_DRAW);
    glColor4f(0.25f, 0.5f, 0.75f, 0.125f);
    glTexCoord2f(0.5f, 0.25f);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glMatrixMode(GL_TEXTURE);
    glScalef(2.0f, 3.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 3, -2, 5, -1, 1);
    glEnable(GL_COLOR_MATERIAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    glViewport(3, 4, 50, 60);

    TimelineWindowState state;
    const auto before = glSnapshot();
    overlay->beginFrame(kWidth, kHeight);
    drawTimelineWindow(chart, nullptr, {2500, std::nullopt}, &state);
    drawOverlayPanel(chart, {2500, 60.0, 4.2, true}, state.scale);
    overlay->endFrame();
    EXPECT_EQ(glSnapshotDifferences(before, glSnapshot()), "");
    GLint bound = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(GLuint(bound), buffer);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &buffer);
}
