// The guard puts back every part it names, whatever the work inside it changed, and the work
// changes what the test says it does (without the guard the state differs afterwards).
#include "runtime/gl/gl_state_guard.h"

#include "runtime/display/render_target.h"
#include "tests/support/gl_state_snapshot.h"
#include "tests/support/test_host.h"

#include <gtest/gtest.h>

#include <functional>

using namespace glimmerq;
using glimmerq::testing::glSnapshot;
using glimmerq::testing::glSnapshotDifferences;

namespace {

constexpr int kWidth = 64, kHeight = 48;

// GL objects the work binds in place of what it found.
struct Others {
    RenderTarget framebuffer;
    GLuint texture = 0, pixelBuffer = 0;
    GLuint inheritedTexture = 0;
};

// State nobody leaves by default, so a guard that resets instead of restoring is caught.
void inheritUnusualState(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 2);
    glClearColor(0.25f, 0.5f, 0.75f, 0.125f);
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
    glScissor(1, 2, 30, 20);
    glClearDepth(0.5);
    glDepthMask(GL_FALSE);
    glEnable(GL_RASTERIZER_DISCARD);  // a seek's frame being played
    glColor4f(0.5f, 0.25f, 1.0f, 0.5f);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 3, -2, 5, -1, 1);
    glMatrixMode(GL_TEXTURE);
    glScalef(2.0f, 3.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
}

void changeFramebuffers(Others& others) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, others.framebuffer.framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
}

void changePixelStore(Others& others) {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, others.pixelBuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glPixelStorei(GL_PACK_SKIP_ROWS, 3);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void changeTextureBinding(Others& others) { glBindTexture(GL_TEXTURE_2D, others.texture); }

void changeClearAndMasks(Others&) {
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glDisable(GL_RASTERIZER_DISCARD);
}

void changeDrawingState(Others& others) {
    glActiveTexture(GL_TEXTURE1);
    glClientActiveTexture(GL_TEXTURE1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    glBindBuffer(GL_ARRAY_BUFFER, others.pixelBuffer);
    glDisableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_LIGHTING);
    glViewport(5, 6, 7, 8);
    glColor4f(1, 1, 1, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glShadeModel(GL_FLAT);
}

struct Case {
    const char* name;
    unsigned parts;
    std::function<void(Others&)> work;
};

const Case kCases[] = {
    {"framebuffers", GlStateGuard::kFramebuffers, changeFramebuffers},
    {"pixel store", GlStateGuard::kPixelStore, changePixelStore},
    {"texture binding", GlStateGuard::kTextureBinding, changeTextureBinding},
    {"clear and masks", GlStateGuard::kClearAndMasks, changeClearAndMasks},
    {"two parts", GlStateGuard::kFramebuffers | GlStateGuard::kPixelStore,
     [](Others& o) { changeFramebuffers(o); changePixelStore(o); }},
    // Everything, with the drawing state holding the parts that no longer save themselves.
    {"everything", GlStateGuard::kEverything,
     [](Others& o) {
         changeTextureBinding(o);
         changePixelStore(o);
         changeClearAndMasks(o);
         changeDrawingState(o);
         changeFramebuffers(o);
     }},
};

// The differences the work leaves, with or without the guard around it.
std::string differencesAfter(const Case& c, bool guarded, unsigned* glError) {
    glimmerq::testing::GlFixture gl(kWidth, kHeight);
    EXPECT_TRUE(gl.ok()) << gl.error();
    GLint fixtureFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &fixtureFramebuffer);
    Others others;
    std::string error;
    EXPECT_TRUE(others.framebuffer.create(kWidth, kHeight, &error)) << error;
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(fixtureFramebuffer));
    glGenTextures(1, &others.texture);
    glGenTextures(1, &others.inheritedTexture);
    glGenBuffers(1, &others.pixelBuffer);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, others.pixelBuffer);
    glBufferData(GL_PIXEL_PACK_BUFFER, 64, nullptr, GL_STREAM_READ);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    inheritUnusualState(others.inheritedTexture);

    const auto before = glSnapshot();
    if (guarded) {
        GlStateGuard guard(c.parts);
        c.work(others);
    } else {
        c.work(others);
    }
    const std::string differences = glSnapshotDifferences(before, glSnapshot());
    *glError = gl.glError();
    return differences;
}

}  // namespace

TEST(GlStateGuard, PutsBackEveryPartItNamesAfterWorkThatChangesIt) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        unsigned glError = 0;
        EXPECT_NE(differencesAfter(c, false, &glError), "") << "the work changes nothing the test sees";
        EXPECT_EQ(differencesAfter(c, true, &glError), "");
        EXPECT_EQ(glError, unsigned(GL_NO_ERROR));
    }
}

// While it lives, plain pointers reach client memory: no pack, unpack, array or element buffer
// or program catches them, and unit 0 takes the texture and array calls.
TEST(GlStateGuard, LeavesAPlainStateToWorkWith) {
    glimmerq::testing::GlFixture gl(kWidth, kHeight);
    ASSERT_TRUE(gl.ok()) << gl.error();
    GLuint buffers[2] = {};
    glGenBuffers(2, buffers);
    for (GLenum target : {GL_PIXEL_PACK_BUFFER, GL_PIXEL_UNPACK_BUFFER, GL_ARRAY_BUFFER}) {
        glBindBuffer(target, buffers[0]);
        glBufferData(target, 16, nullptr, GL_STATIC_DRAW);
    }
    glActiveTexture(GL_TEXTURE1);
    const auto bound = [](GLenum what) {
        GLint value = -1;
        glGetIntegerv(what, &value);
        return value;
    };
    {
        GlStateGuard guard(GlStateGuard::kPixelStore);
        EXPECT_EQ(bound(GL_PIXEL_PACK_BUFFER_BINDING), 0);
        EXPECT_EQ(bound(GL_PIXEL_UNPACK_BUFFER_BINDING), 0);
        EXPECT_EQ(bound(GL_ARRAY_BUFFER_BINDING), GLint(buffers[0])) << "only the pixel buffers are its part";
    }
    {
        GlStateGuard guard;
        EXPECT_EQ(bound(GL_ARRAY_BUFFER_BINDING), 0);
        EXPECT_EQ(bound(GL_PIXEL_UNPACK_BUFFER_BINDING), 0);
        EXPECT_EQ(bound(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
        EXPECT_EQ(bound(GL_CURRENT_PROGRAM), 0);
    }
    EXPECT_EQ(bound(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(bound(GL_PIXEL_UNPACK_BUFFER_BINDING), GLint(buffers[0]));
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
    glDeleteBuffers(2, buffers);
}
