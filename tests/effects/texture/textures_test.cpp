// The four generated textures, as staged for the data file: sizes, and the properties each
// effect's way of showing them relies on.
#include "runtime/data/jpeg_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using glimmerq::Image;

Image load(const std::string& name) {
    const std::string path = std::string(GLIMMERQ_DATA_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Image image;
    std::string error;
    EXPECT_TRUE(decodeJpeg(bytes.data(), bytes.size(), &image, &error)) << path << ": " << error;
    return image;
}

bool powerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

int channel(const Image& image, int x, int y, int c) { return image.rgb[size_t(y * image.width + x) * 3 + c]; }

int brightest(const Image& image, int x, int y) {
    return std::max({channel(image, x, y, 0), channel(image, x, y, 1), channel(image, x, y, 2)});
}

double meanGrey(const Image& image) {
    double sum = 0;
    for (unsigned char v : image.rgb) sum += v;
    return sum / double(image.rgb.size()) / 255.0;
}

}  // namespace

TEST(TextureAssetsTest, AllFourArePowerOfTwoJpegs) {
    for (const char* name : {"voxe.jpg", "jelly.jpg", "rock_sw.jpg", "qv01.jpg"}) {
        const Image image = load(name);
        EXPECT_TRUE(powerOfTwo(image.width)) << name << " is " << image.width << " wide";
        EXPECT_TRUE(powerOfTwo(image.height)) << name << " is " << image.height << " high";
        EXPECT_GE(image.width, 128) << name;
    }
}

TEST(TextureAssetsTest, LogoSparkFadesToBlackBeforeItsBorder) {
    // Added onto black with GL_REPEAT: any light at the border would show the square's edge.
    const Image logo = load("qv01.jpg");
    ASSERT_GT(logo.width, 0);
    int worst = 0;
    for (int i = 0; i < logo.width; ++i) {
        worst = std::max({worst, brightest(logo, i, 0), brightest(logo, i, logo.height - 1),
                          brightest(logo, 0, i), brightest(logo, logo.width - 1, i)});
    }
    EXPECT_LE(worst, 4) << "below one step of a 5-bit channel";
    EXPECT_GT(brightest(logo, logo.width / 2, logo.height / 2), 200) << "a bright centre";
}

TEST(TextureAssetsTest, JellyTilesWithoutASeam) {
    // CWOBBEL shows it a little more than once across: the wrap must not show.
    const Image jelly = load("jelly.jpg");
    ASSERT_GT(jelly.width, 0);
    double seam = 0, inside = 0;
    for (int y = 0; y < jelly.height; ++y)
        for (int c = 0; c < 3; ++c) {
            seam += std::abs(channel(jelly, jelly.width - 1, y, c) - channel(jelly, 0, y, c));
            inside += std::abs(channel(jelly, jelly.width / 2, y, c) - channel(jelly, jelly.width / 2 + 1, y, c));
        }
    EXPECT_LT(seam, 2.5 * inside + 3.0 * jelly.height) << "the wrap differs far more than neighbours do";
    EXPECT_GT(meanGrey(jelly), 0.35) << "seen at 0.3, it must be bright";
}

TEST(TextureAssetsTest, RockIsMostlyDarkBecauseItIsAdded) {
    const Image rock = load("rock_sw.jpg");
    ASSERT_GT(rock.width, 0);
    const double mean = meanGrey(rock);
    EXPECT_GT(mean, 0.12);
    EXPECT_LT(mean, 0.4);
}
