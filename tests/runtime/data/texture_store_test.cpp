// The texture store on a headless context: handles are GL names, loads are cached, and bad
// images give 0 while the process goes on.
#include "runtime/data/texture_store.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <tuple>
#include <utility>

using glimmerq::testing::GlFixture;
using glimmerq::testing::TestHost;

namespace {

std::vector<unsigned char> jpegOf(int width, int height, unsigned char red, int flags = 0) {
    std::vector<unsigned char> rgb(size_t(width) * height * 3, 0);
    for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = red;
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_444, 95, flags);
    std::vector<unsigned char> bytes(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(handle);
    return bytes;
}

class TextureStoreTest : public ::testing::Test {
protected:
    GlFixture gl{16, 16};
    TestHost host;
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }
};

}  // namespace

TEST_F(TextureStoreTest, HandlesAreGlNamesAndRepeatedLoadsReturnTheSameHandle) {
    host.data.put("red.jpg", jpegOf(64, 32, 250));
    const unsigned a = DEMOGL_TextureLoad("red.jpg", 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false, false, 0,
                                          0x8057, 2);
    ASSERT_NE(a, 0u);
    EXPECT_EQ(DEMOGL_TextureLoad("red.jpg", 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false, false, 0, 0x8057, 2),
              a);
    // Other parameters are another texture.
    const unsigned clamped =
        DEMOGL_TextureLoad("red.jpg", 1, 0, GL_CLAMP, GL_CLAMP, GL_LINEAR, GL_LINEAR, false, false, 0, 0x8057, 2);
    EXPECT_NE(clamped, 0u);
    EXPECT_NE(clamped, a);

    EXPECT_EQ(DEMOGL_TextureUpload(a), 0);
    EXPECT_TRUE(glIsTexture(a));
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_2D, a);
    GLint width = 0, height = 0, wrap = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 32);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(TextureStoreTest, UnUploadFreesStorageButTheHandleUploadsAgain) {
    host.data.put("red.jpg", jpegOf(30, 20, 200));  // not a power of two
    const unsigned h = DEMOGL_TextureLoad("red.jpg", 1, 0, GL_CLAMP, GL_CLAMP, GL_LINEAR, GL_LINEAR, false, false, 0,
                                          0x8057, 2);
    ASSERT_NE(h, 0u);
    UploadTexture(h);
    EXPECT_TRUE(host.textures().isResident(h));
    UnUploadTexture(h);
    EXPECT_FALSE(host.textures().isResident(h));
    GLint width = -1;
    glBindTexture(GL_TEXTURE_2D, h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);
    DEMOGL_TextureUpload(h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 30);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

// Two effects sharing one texture (CTUNNEL and CTUNNELV get the same handle) each upload it
// for their run: the first to stop must not take the other's pixels away.
TEST_F(TextureStoreTest, StorageIsFreedOnlyWhenTheLastUploadIsUnUploaded) {
    host.data.put("red.jpg", jpegOf(16, 8, 240));
    const unsigned h = DEMOGL_TextureLoad("red.jpg", 1, 0, GL_CLAMP, GL_CLAMP, GL_LINEAR, GL_LINEAR, false, false, 0,
                                          0x8057, 2);
    ASSERT_NE(h, 0u);
    const auto residentWidthAndRed = [&] {
        glBindTexture(GL_TEXTURE_2D, h);
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        std::vector<unsigned char> rgb(size_t(16) * 8 * 3, 0);
        if (width == 16) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return std::make_pair(int(width), int(rgb[0]));
    };

    EXPECT_EQ(DEMOGL_TextureUpload(h), 0);
    EXPECT_EQ(DEMOGL_TextureUpload(h), 0);  // the twin's run
    DEMOGL_TextureUnUpload(h);               // one run ends
    EXPECT_TRUE(host.textures().isResident(h)) << "one upload is still running";
    auto [width, red] = residentWidthAndRed();
    EXPECT_EQ(width, 16) << "the storage was freed under the second run";
    EXPECT_NEAR(red, 240, 8) << "the texture lost its pixels";

    DEMOGL_TextureUnUpload(h);  // the last run ends
    EXPECT_FALSE(host.textures().isResident(h));
    std::tie(width, red) = residentWidthAndRed();
    EXPECT_EQ(width, 0) << "the last un-upload must free the storage";

    // Un-uploading more often than uploaded does not go below zero: one upload is resident again.
    DEMOGL_TextureUnUpload(h);
    DEMOGL_TextureUpload(h);
    EXPECT_TRUE(host.textures().isResident(h));
    std::tie(width, red) = residentWidthAndRed();
    EXPECT_EQ(width, 16);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(TextureStoreTest, UploadLeavesTheCurrentBindingAndUnpackAlignmentAlone) {
    host.data.put("red.jpg", jpegOf(8, 8, 100));
    GLuint mine = 0;
    glGenTextures(1, &mine);
    glBindTexture(GL_TEXTURE_2D, mine);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    const unsigned h = DEMOGL_TextureLoad("red.jpg", 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false, false, 0,
                                          0x8057, 2);
    DEMOGL_TextureUpload(h);
    DEMOGL_TextureUnUpload(h);
    GLint binding = 0, alignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(GLuint(binding), mine);
    EXPECT_EQ(alignment, 8);
    glDeleteTextures(1, &mine);
}

TEST_F(TextureStoreTest, MissingCorruptTruncatedAndEmptyImagesGiveZeroAndAreReportedOnce) {
    const auto good = jpegOf(64, 64, 180);
    host.data.put("truncated.jpg", std::vector<unsigned char>(good.begin(), good.begin() + long(good.size() / 2)));
    std::vector<unsigned char> corrupt = good;
    for (size_t i = 200; i < corrupt.size() - 2; i += 7) corrupt[i] ^= 0x5A;
    host.data.put("corrupt.jpg", corrupt);
    host.data.put("empty.jpg", std::vector<unsigned char>());
    host.data.put("text.jpg", std::string("not an image at all"));
    for (const char* name : {"missing.jpg", "truncated.jpg", "corrupt.jpg", "empty.jpg", "text.jpg"}) {
        EXPECT_EQ(DEMOGL_TextureLoad(name, 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false, false, 0, 0x8057, 2),
                  0u)
            << name;
        EXPECT_EQ(DEMOGL_TextureLoad(name, 1, 0, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, false, false, 0, 0x8057, 2),
                  0u)
            << name;
    }
    EXPECT_EQ(host.errors.size(), 5u);
    EXPECT_EQ(host.errors[0], "missing.jpg: not found");
    // Handle 0 uploads nothing and binds nothing.
    EXPECT_NE(DEMOGL_TextureUpload(0), 0);
    DEMOGL_TextureUnUpload(0);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST(JpegDecode, RefusesAbsurdSizesBeforeDecoding) {
    // A baseline JPEG header claiming 65000 x 65000 pixels: refused from the header alone.
    auto bytes = jpegOf(16, 16, 10);
    for (size_t i = 2; i + 8 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = 0xFD, bytes[i + 6] = 0xE8;  // height 65000
            bytes[i + 7] = 0xFD, bytes[i + 8] = 0xE8;  // width 65000
            break;
        }
    glimmerq::Image image;
    std::string error;
    EXPECT_FALSE(glimmerq::decodeJpeg(bytes.data(), bytes.size(), &image, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_TRUE(image.rgb.empty());
}

TEST(JpegDecode, ProgressiveImagesDecodeToTheirColours) {
    const auto bytes = jpegOf(40, 24, 220, TJFLAG_PROGRESSIVE);
    glimmerq::Image image;
    std::string error;
    ASSERT_TRUE(glimmerq::decodeJpeg(bytes.data(), bytes.size(), &image, &error)) << error;
    EXPECT_EQ(image.width, 40);
    EXPECT_EQ(image.height, 24);
    EXPECT_NEAR(image.rgb[0], 220, 3);
    EXPECT_NEAR(image.rgb[1], 0, 3);
}

TEST(TextureStoreReload, AChangedFileIsDecodedAgainUnderItsHandleAndAFailureIsRetried) {
    GlFixture gl{16, 16};
    ASSERT_TRUE(gl.ok()) << gl.error();
    glimmerq::MemoryDataSource data;
    std::vector<std::string> errors;
    glimmerq::TextureStore store(data, [&](const std::string& m) { errors.push_back(m); });
    glimmerq::TextureParams params;
    params.wrapS = params.wrapT = GL_REPEAT;
    params.minFilter = params.magFilter = GL_LINEAR;
    params.internalFormat = GL_RGB8;
    const auto uploadedWidth = [&](unsigned handle) {
        store.upload(handle);
        glBindTexture(GL_TEXTURE_2D, handle);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glBindTexture(GL_TEXTURE_2D, 0);
        store.unUpload(handle);
        return width;
    };

    data.put("rock.jpg", jpegOf(32, 16, 90));
    const unsigned rock = store.load("rock.jpg", params);
    ASSERT_NE(rock, 0u);
    EXPECT_EQ(uploadedWidth(rock), 32);
    data.put("rock.jpg", jpegOf(64, 16, 90));
    EXPECT_EQ(uploadedWidth(rock), 32);  // nothing changes until the store is told
    store.reload("rock.jpg");
    EXPECT_EQ(store.load("rock.jpg", params), rock);
    EXPECT_EQ(uploadedWidth(rock), 64);

    // A broken new version is reported; the last good pixels stay.
    data.put("rock.jpg", std::string("half a file"));
    store.reload("rock.jpg");
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(uploadedWidth(rock), 64);

    // A file that was missing is tried again once it changed.
    EXPECT_EQ(store.load("jelly.jpg", params), 0u);
    data.put("jelly.jpg", jpegOf(8, 8, 20));
    EXPECT_EQ(store.load("jelly.jpg", params), 0u);
    store.reload("jelly.jpg");
    EXPECT_NE(store.load("jelly.jpg", params), 0u);
}
