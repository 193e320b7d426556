// The show's motion figures: the per-second analysis on frames of known difference, and
// the show_motion program on a small synthetic render folder.
#include "tools/show_motion.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(ShowMotionTest, LumaWeighsTheColoursLikeTheEye) {
    const uint8_t rgb[] = {255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128};
    const std::vector<uint8_t> y = motion::luma(rgb, 6);
    EXPECT_EQ(y, (std::vector<uint8_t>{255, 0, 54, 182, 19, 128}));
    EXPECT_DOUBLE_EQ(motion::meanAbsDiff({10, 20, 30, 40}, {12, 20, 27, 40}), 5.0 / 4);
    EXPECT_EQ(motion::meanAbsDiff({1, 2}, {1, 2, 3}), 0) << "pictures of different sizes";
}

TEST(ShowMotionTest, NearBlackShareAndQuartersOfAPicture) {
    // 4x2 pictures, top row first: the quarters are 2x1 each.
    struct Case {
        const char* what;
        std::vector<uint8_t> y;
        double dark;
        double quarters[4];  // upper left, upper right, lower left, lower right
    } cases[] = {
        {"black", {0, 0, 0, 0, 0, 0, 0, 0}, 1.0, {0, 0, 0, 0}},
        {"one bright quarter", {0, 15, 200, 100, 0, 0, 0, 0}, 0.75, {7.5, 150, 0, 0}},
        {"16 is no longer near black", {16, 16, 15, 15, 16, 16, 15, 15}, 0.5, {16, 15, 16, 15}},
        {"lower half lit", {0, 0, 0, 0, 40, 60, 80, 100}, 0.5, {0, 0, 50, 90}},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(motion::shareBelow(c.y, 16), c.dark) << c.what;
        const motion::Quarters q = motion::quarterMeans(c.y, 4, 2);
        for (int k = 0; k < 4; ++k) EXPECT_DOUBLE_EQ(q.mean[k], c.quarters[k]) << c.what << ", quarter " << k;
    }
    EXPECT_EQ(motion::shareBelow({}, 16), 0);
    EXPECT_EQ(motion::quarterMeans({1, 2, 3}, 4, 2).mean[0], 0) << "a picture of the wrong size";
}

TEST(ShowMotionTest, StillStretchesAndHeldWhitesAreFoundPerSecond) {
    // Motion per second at 4 frames a second: a 3 s still run, a 2 s one, and a 4 s one that
    // reaches into the closing fade (from 10 s) and so counts only up to it.
    const double perSecond[] = {2, 1, 1, 1, 2, 1, 1, 2, 1.49, 1, 1, 1};
    std::vector<motion::Frame> frames;
    for (double m : perSecond)
        for (int f = 0; f < 4; ++f) frames.push_back({m, 40});
    const std::vector<motion::Second> seconds = motion::perSecond(frames, 4);
    ASSERT_EQ(seconds.size(), 12u);
    EXPECT_DOUBLE_EQ(seconds[8].motion, 1.49);
    std::vector<motion::Stretch> still = motion::stillStretches(seconds, 1.5, 3, 10);
    ASSERT_EQ(still.size(), 1u);
    EXPECT_DOUBLE_EQ(still[0].from, 1);
    EXPECT_DOUBLE_EQ(still[0].to, 4);
    still = motion::stillStretches(seconds, 1.5, 3, 12);
    ASSERT_EQ(still.size(), 2u);
    EXPECT_DOUBLE_EQ(still[1].seconds(), 4);

    // A partial last second is averaged over the frames it has.
    frames.push_back({9, 100});
    EXPECT_DOUBLE_EQ(motion::perSecond(frames, 4).back().motion, 9);

    // White held for 20 frames (1/3 s at 60 fps) is a flash; 40 frames (2/3 s) is too long.
    std::vector<motion::Frame> flashes(20, {0, 252});
    flashes.resize(30, {0, 100});
    flashes.resize(70, {0, 255});
    flashes.resize(80, {0, 249});
    const std::vector<motion::Stretch> white = motion::whiteRuns(flashes, 60, 250, 0.5);
    ASSERT_EQ(white.size(), 1u);
    EXPECT_DOUBLE_EQ(white[0].from, 0.5);
    EXPECT_NEAR(white[0].to, 70.0 / 60, 1e-9);
}

TEST(ShowMotionTest, ProgramReportsARenderFolderPerSecond) {
    // 16 s at 2 frames a second of 8x8 grey frames: moving by 10 levels a frame, standing
    // still from 3.5 s to 7.5 s, moving again to the end.
    const fs::path dir = fs::path(testing::TempDir()) / "glimmerq-show-motion";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (int n = 0; n < 32; ++n) {
        const bool still = n >= 6 && n < 14;
        const uint8_t grey = uint8_t(still ? 50 : 50 + 10 * (n % 2));
        std::vector<uint8_t> rgb(8 * 8 * 3, grey);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = image.height = 8;
        image.format = PNG_FORMAT_RGB;
        char name[32];
        std::snprintf(name, sizeof name, "%06d.png", n);
        ASSERT_TRUE(png_image_write_to_file(&image, (dir / name).c_str(), 0, rgb.data(), 0, nullptr));
    }
    const fs::path perFrame = dir / "frames.txt";
    const std::string command =
        std::string(GLIMMERQ_SHOW_MOTION) + " " + dir.string() + " --fps 2 --start 30 --frames-out " + perFrame.string();
    FILE* out = popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, out)) text += buffer;
    ASSERT_EQ(pclose(out), 0) << text;
    std::vector<std::string> lines;
    if (FILE* in = std::fopen(perFrame.c_str(), "r")) {
        while (fgets(buffer, sizeof buffer, in)) lines.push_back(buffer);
        std::fclose(in);
    }
    fs::remove_all(dir);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[1], "30.5000 10.000 60.00 0.0000 60.00 60.00 60.00 60.00\n");
    EXPECT_EQ(lines[7], "33.5000 0.000 50.00 0.0000 50.00 50.00 50.00 50.00\n");

    // Second 30 has the first frame (no motion) and one step of 10; second 33 has the step
    // into stillness and one frame of none; 34 to 36 stand still.
    EXPECT_NE(text.find("    30   5.00   55.0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    31  10.00   55.0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    34   0.00   50.0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    33   5.00   50.0\n"), std::string::npos) << text;
    EXPECT_NE(text.find(": 34.00-37.00 s (3.00 s)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("white (mean luma 250 or more for over 0.5 s): none\n"), std::string::npos) << text;
}
