// --timeline FILE.png end to end: the chart of a script written without a window.
#include "tests/app/program_fixture.h"

using namespace program_test;

namespace {

const char kTwoLayers[] =
    "0 tempo 120 4\n# --- Intro, bars 1-2\n0 music soundtrack.ogg\n0 start CLEAR layer 0\n"
    "@1.3 start SPLASH layer 1\n@2 int CLEAR METHOD 3\n@3 stop SPLASH\n@5 end\n";
const char kFourLayers[] =
    "0 tempo 120 4\n0 start CLEAR layer 0\n@1.3 start SPLASH layer 1\n@2 start STRAHLEN layer 2\n"
    "@2 start CKREUZ layer 3\n@2 int CLEAR METHOD 3\n@5 end\n";

}  // namespace

TEST_F(ProgramTest, TimelineDrawsTheChartAsAPictureAsHighAsItsRows) {
    const fs::path two = dataWithScript(kTwoLayers, "two"), four = dataWithScript(kFourLayers, "four");
    const Result r = run("--data '" + two.string() + "' --timeline '" + (work / "two.png").string() + "'");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(run("--data '" + four.string() + "' --timeline '" + (work / "four.png").string() + "'").code, 0);

    const Png small = readPng(work / "two.png"), tall = readPng(work / "four.png");
    EXPECT_EQ(small.width, 1600);
    EXPECT_EQ(tall.width, 1600);
    EXPECT_GT(small.height, 150);
    EXPECT_GT(tall.height, small.height + 2 * 20) << "two more layers, two more rows";
    // Dark background, lighter boxes and labels on it.
    int dark = 0, light = 0;
    for (size_t i = 0; i < small.rgb.size(); i += 3) {
        const int sum = small.rgb[i] + small.rgb[i + 1] + small.rgb[i + 2];
        dark += sum < 150;
        light += sum > 450;
    }
    EXPECT_GT(dark, int(small.rgb.size() / 3 / 2));
    EXPECT_GT(light, 1000);
    EXPECT_FALSE(fs::exists(work / "two.png.part"));
}

TEST_F(ProgramTest, TimelineRefusesAnUnwritableFileAndABadScriptLeavesNoFile) {
    const fs::path missing = work / "no-such-folder" / "chart.png";
    Result r = run("--timeline '" + missing.string() + "'");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("glimmerq: --timeline " + missing.string() + " cannot be written"), std::string::npos)
        << r.err;

    const fs::path data = dataWithScript("0 start CLEAR layer 0\n@2 end\n");
    r = run("--data '" + data.string() + "' --timeline '" + (work / "chart.png").string() + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("demoflow:2:1: bar time '@2' before the first tempo line"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(work / "chart.png"));
    expectOwnLines(r.err);

    // A missing track costs the waveform only.
    const fs::path silent = dataWithScript("0 music nothing.ogg\n0 start CLEAR layer 0\n4 end\n", "silent");
    r = run("--data '" + silent.string() + "' --timeline '" + (work / "silent.png").string() + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("no member \"nothing.ogg\"; the chart has no waveform for it"), std::string::npos) << r.err;
    EXPECT_EQ(readPng(work / "silent.png").width, 1600);
    expectOwnLines(r.err);
}
