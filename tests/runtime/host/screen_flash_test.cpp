// FLASH, the runtime's own effect, read back from pixels and GL state on a headless context.
#include "runtime/host/screen_flash.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using glimmerq::ScreenFlash;
using glimmerq::testing::GlFixture;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

void sendInt(ScreenFlash& flash, const char* name, int value) {
    char buffer[32];
    std::strncpy(buffer, name, sizeof buffer);
    flash.ReceiveInt(buffer, value, 0);
}

void sendFloat(ScreenFlash& flash, const char* name, float value) {
    char buffer[32];
    std::strncpy(buffer, name, sizeof buffer);
    flash.ReceiveFloat(buffer, value, 0);
}

void fillWith(float grey) {
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Saves into bytes, or restores from them, in the order the fields come.
class BytesArchive : public CStateArchive {
public:
    explicit BytesArchive(std::vector<unsigned char>* bytes, bool restoring) : bytes_(bytes), restoring_(restoring) {}
    void Bytes(void* data, size_t size) override {
        auto* p = static_cast<unsigned char*>(data);
        if (restoring_) {
            std::memcpy(p, bytes_->data() + at_, size);
            at_ += size;
        } else {
            bytes_->insert(bytes_->end(), p, p + size);
        }
    }

private:
    std::vector<unsigned char>* bytes_;
    bool restoring_;
    size_t at_ = 0;
};

class ScreenFlashTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    ScreenFlash flash;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        flash.Setup(kWidth, kHeight);
    }
};

}  // namespace

TEST_F(ScreenFlashTest, EachFlashFadesOutInEqualStepsOverItsFrames) {
    struct Case {
        const char* what;
        int frames;
        float red, green, blue, alpha;
        float under;                   // the grey the layers below leave every frame
        std::vector<int> expectRed;    // frame by frame, then one frame more
        std::vector<int> expectGreen;
    };
    const std::vector<Case> cases = {
        {"white over black", 4, 1, 1, 1, 1, 0.0f, {255, 191, 128, 64, 0}, {255, 191, 128, 64, 0}},
        {"half-opaque red over grey", 2, 1, 0, 0, 0.5f, 0.5f, {192, 160, 128}, {64, 96, 128}},
        {"one frame of blue", 1, 0, 0, 1, 1, 0.25f, {0, 64}, {0, 64}},
        {"no frames draws nothing", 0, 1, 1, 1, 1, 0.25f, {64, 64}, {64, 64}},
        {"values beyond 0..1 are held to it", 1, 2, -1, 0, 3, 0.0f, {255, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        ScreenFlash one;
        one.Setup(kWidth, kHeight);
        sendFloat(one, "RED", c.red);
        sendFloat(one, "GREEN", c.green);
        sendFloat(one, "BLUE", c.blue);
        sendFloat(one, "ALPHA", c.alpha);
        sendInt(one, "FRAMES", c.frames);
        for (size_t frame = 0; frame < c.expectRed.size(); ++frame) {
            fillWith(c.under);
            one.DrawFrame(LONG(frame * 16));
            for (const auto& [x, y] : {std::pair{0, 0}, std::pair{kWidth - 1, kHeight - 1}}) {
                EXPECT_NEAR(gl.pixel(x, y)[0], c.expectRed[frame], 1) << c.what << ", frame " << frame;
                EXPECT_NEAR(gl.pixel(x, y)[1], c.expectGreen[frame], 1) << c.what << ", frame " << frame;
            }
        }
        EXPECT_EQ(one.framesLeft(), 0) << c.what;
    }
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(ScreenFlashTest, ANewFlashStartsOverAndOtherNamesAreIgnored) {
    sendInt(flash, "FRAMES", 4);
    flash.DrawFrame(0);
    flash.DrawFrame(16);
    EXPECT_EQ(flash.framesLeft(), 2);
    sendInt(flash, "frames", 9);   // names are case-sensitive
    sendInt(flash, "METHOD", 9);
    sendFloat(flash, "FRAMES", 9);
    EXPECT_EQ(flash.framesLeft(), 2);
    sendInt(flash, "FRAMES", 4);
    EXPECT_EQ(flash.framesLeft(), 4);
    fillWith(0);
    flash.DrawFrame(32);
    EXPECT_EQ(gl.pixel(1, 1)[0], 255) << "a restarted flash begins at full opacity";
    sendInt(flash, "FRAMES", 0);
    fillWith(0);
    flash.DrawFrame(48);
    EXPECT_EQ(gl.pixel(1, 1)[0], 0) << "FRAMES 0 ends it at once";
}

// Above a split screen: a quarter viewport, a letterbox scissor, a depth test that fails
// everywhere, lines, lighting and a texture left on by the layers below.
TEST_F(ScreenFlashTest, CoversTheWholePictureWhateverTheLayersBelowLeftAndPutsItAllBack) {
    fillWith(0);
    glClearDepth(0.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glViewport(kWidth / 2, kHeight / 2, kWidth / 2, kHeight / 2);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 2, 2);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(5, 6, 5, 6, -1, 1);
    glMatrixMode(GL_TEXTURE);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);

    sendInt(flash, "FRAMES", 3);
    flash.DrawFrame(0);

    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{kWidth - 1, 0}, std::pair{kWidth / 2, kHeight - 1}})
        EXPECT_EQ(gl.pixel(x, y)[0], 255) << "(" << x << ", " << y << ")";
    GLint viewport[4], scissor[4], mode = 0, polygon[2];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_POLYGON_MODE, polygon);
    EXPECT_EQ(viewport[0], kWidth / 2);
    EXPECT_EQ(viewport[3], kHeight / 2);
    EXPECT_EQ(scissor[2], 2);
    EXPECT_EQ(mode, GL_TEXTURE);
    EXPECT_EQ(polygon[0], GL_LINE);
    for (GLenum cap : {GL_SCISSOR_TEST, GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D, GL_CULL_FACE})
        EXPECT_TRUE(glIsEnabled(cap)) << "enable 0x" << std::hex << cap;
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat color[4], projection[16];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[2], 0.3f);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 2.0f);
    EXPECT_FLOAT_EQ(projection[12], -11.0f);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

// A seek puts the kept state back: the flash goes on from where it was kept.
TEST_F(ScreenFlashTest, KeptStateResumesTheFlashWhereItWasKept) {
    sendFloat(flash, "GREEN", 0);
    sendInt(flash, "FRAMES", 10);
    for (int frame = 0; frame < 3; ++frame) flash.DrawFrame(frame * 16);
    std::vector<unsigned char> kept;
    BytesArchive saving(&kept, false);
    flash.KeepState(saving);

    fillWith(0);
    flash.DrawFrame(48);
    const auto fourth = gl.pixel(3, 3);
    for (int frame = 4; frame < 12; ++frame) flash.DrawFrame(frame * 16);
    sendFloat(flash, "GREEN", 1);
    EXPECT_EQ(flash.framesLeft(), 0);

    BytesArchive restoring(&kept, true);
    flash.KeepState(restoring);
    EXPECT_EQ(flash.framesLeft(), 7);
    fillWith(0);
    flash.DrawFrame(48);
    EXPECT_EQ(gl.pixel(3, 3), fourth);
    EXPECT_EQ(fourth[1], 0) << "the colour is kept with the frames";
    EXPECT_GT(fourth[0], 0);
}
