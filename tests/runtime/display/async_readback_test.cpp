// Reading frames back through two pixel buffers: one call late, in order, bottom row first,
// taken at start() and not later, and with every piece of pack state put back.
#include "runtime/display/async_readback.h"
#include "runtime/display/gl_context.h"
#include "runtime/display/render_target.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

using glimmerq::AsyncReadback;
using glimmerq::HeadlessGlContext;
using glimmerq::RenderTarget;

namespace {

constexpr int kWidth = 37;  // odd: rows are not multiples of 8 bytes, alignment matters
constexpr int kHeight = 20;
using Rgba = std::array<unsigned char, 4>;

class AsyncReadbackTest : public ::testing::Test {
protected:
    std::unique_ptr<HeadlessGlContext> context;
    RenderTarget target;
    std::vector<std::vector<unsigned char>> frames;  // what the sink got, in order

    void SetUp() override {
        std::string error;
        context = HeadlessGlContext::create(&error);
        ASSERT_TRUE(context) << error;
        ASSERT_TRUE(target.create(kWidth, kHeight, &error)) << error;
    }

    AsyncReadback::Sink recorder() {
        return [this](const unsigned char* rgba, std::string*) {
            frames.emplace_back(rgba, rgba + size_t(kWidth) * kHeight * 4);
            return true;
        };
    }

    // The whole picture in `body`, its bottom row in `bottom`.
    static void paint(Rgba body, Rgba bottom) {
        glClearColor(body[0] / 255.0f, body[1] / 255.0f, body[2] / 255.0f, body[3] / 255.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, kWidth, 1);
        glClearColor(bottom[0] / 255.0f, bottom[1] / 255.0f, bottom[2] / 255.0f, bottom[3] / 255.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }

    static Rgba bodyOf(int frame) { return {Rgba::value_type(10 + frame * 40), 200, Rgba::value_type(250 - frame * 30), 255}; }
    static Rgba bottomOf(int frame) { return {255, Rgba::value_type(frame * 50), 0, 255}; }

    // Counts pixels that differ from the expected picture: bottom row first in memory.
    static int wrongPixels(const std::vector<unsigned char>& frame, Rgba body, Rgba bottom) {
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgba& want = y == 0 ? bottom : body;
                const unsigned char* p = &frame[(size_t(y) * kWidth + x) * 4];
                wrong += p[0] != want[0] || p[1] != want[1] || p[2] != want[2] || p[3] != want[3];
            }
        return wrong;
    }
};

}  // namespace

TEST_F(AsyncReadbackTest, FramesComeOutOneCallLateInOrderBottomRowFirstAndTheLastOnFlush) {
    constexpr int kFrames = 5;
    AsyncReadback readback(kWidth, kHeight, recorder());
    std::string error;
    for (int i = 0; i < kFrames; ++i) {
        paint(bodyOf(i), bottomOf(i));
        ASSERT_TRUE(readback.start(target, &error)) << error;
        EXPECT_EQ(frames.size(), size_t(i)) << "after start() of frame " << i;
    }
    ASSERT_TRUE(readback.flush(&error)) << error;
    ASSERT_TRUE(readback.flush(&error)) << error;  // nothing more in flight
    ASSERT_EQ(frames.size(), size_t(kFrames));
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_EQ(frames[i].size(), size_t(kWidth) * kHeight * 4);
        EXPECT_EQ(wrongPixels(frames[i], bodyOf(i), bottomOf(i)), 0)
            << "frame " << i << " starts with " << int(frames[i][0]) << "," << int(frames[i][1]) << ","
            << int(frames[i][2]) << " and has " << int(frames[i][size_t(kWidth) * 4 + 2]) << " blue above";
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(AsyncReadbackTest, PictureIsTakenAtStartNotWhenItIsHandedOut) {
    AsyncReadback readback(kWidth, kHeight, recorder());
    std::string error;
    paint(bodyOf(1), bottomOf(1));
    ASSERT_TRUE(readback.start(target, &error)) << error;
    paint(bodyOf(2), bottomOf(2));  // drawn over before the first frame is mapped
    ASSERT_TRUE(readback.flush(&error)) << error;
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(wrongPixels(frames[0], bodyOf(1), bottomOf(1)), 0);
    EXPECT_TRUE(readback.flush(&error));
    EXPECT_EQ(frames.size(), 1u) << "a frame handed out twice";
}

TEST_F(AsyncReadbackTest, PackStateAndBindingsAreAsFound) {
    GLuint foreign = 0;
    glGenBuffers(1, &foreign);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, foreign);
    glBufferData(GL_PIXEL_PACK_BUFFER, 64, nullptr, GL_STREAM_READ);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glPixelStorei(GL_PACK_ROW_LENGTH, 50);
    glPixelStorei(GL_PACK_SKIP_ROWS, 2);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);  // drawing still goes to the target
    auto state = [] {
        std::array<GLint, 7> s{};
        glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &s[0]);
        glGetIntegerv(GL_PACK_ALIGNMENT, &s[1]);
        glGetIntegerv(GL_PACK_ROW_LENGTH, &s[2]);
        glGetIntegerv(GL_PACK_SKIP_ROWS, &s[3]);
        glGetIntegerv(GL_PACK_SKIP_PIXELS, &s[4]);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &s[5]);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &s[6]);
        return s;
    };
    const auto before = state();
    ASSERT_EQ(before[0], GLint(foreign));

    AsyncReadback readback(kWidth, kHeight, recorder());
    EXPECT_EQ(state(), before) << "after construction";
    std::string error;
    for (int i = 0; i < 3; ++i) {
        paint(bodyOf(i), bottomOf(i));
        ASSERT_TRUE(readback.start(target, &error)) << error;
        EXPECT_EQ(state(), before) << "after start() " << i;
    }
    ASSERT_TRUE(readback.flush(&error)) << error;
    EXPECT_EQ(state(), before) << "after flush()";
    ASSERT_EQ(frames.size(), 3u);
    // The odd foreign pack settings did not leak into the reads.
    EXPECT_EQ(wrongPixels(frames[2], bodyOf(2), bottomOf(2)), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glDeleteBuffers(1, &foreign);
}

TEST_F(AsyncReadbackTest, SinkFailureStopsTheRunWithItsReason) {
    int calls = 0;
    AsyncReadback readback(kWidth, kHeight, [&](const unsigned char*, std::string* error) {
        if (++calls < 2) return true;
        *error = "glimmerq: show.mp4: ffmpeg stopped";
        return false;
    });
    std::string error;
    paint(bodyOf(0), bottomOf(0));
    EXPECT_TRUE(readback.start(target, &error));
    EXPECT_TRUE(readback.start(target, &error)) << error;
    EXPECT_FALSE(readback.start(target, &error));
    EXPECT_EQ(error, "glimmerq: show.mp4: ffmpeg stopped");
    EXPECT_EQ(calls, 2);
}
