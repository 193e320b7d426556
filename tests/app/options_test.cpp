// parseOptions: what each option sets and implies, the one-sentence errors, and the help text.
#include "app/options.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

using glimmerq::Options;
using glimmerq::parseOptions;

namespace fs = std::filesystem;

namespace {

constexpr size_t kHelpColumns = 80;

struct Parsed {
    bool proceed = false;
    int exitCode = -1;
    Options options;
    std::string out, err;
};

// Runs parseOptions on "glimmerq ARGS..." and captures both streams.
Parsed parse(std::vector<std::string> args) {
    args.insert(args.begin(), "glimmerq");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    Parsed p;
    char *outText = nullptr, *errText = nullptr;
    size_t outSize = 0, errSize = 0;
    FILE* out = open_memstream(&outText, &outSize);
    FILE* err = open_memstream(&errText, &errSize);
    p.proceed = parseOptions(int(args.size()), argv.data(), &p.options, &p.exitCode, out, err);
    std::fclose(out);
    std::fclose(err);
    p.out.assign(outText, outSize);
    p.err.assign(errText, errSize);
    std::free(outText);
    std::free(errText);
    return p;
}

// A refused command line: exit 2 and exactly one line that starts with "glimmerq: ".
void expectRefused(const std::vector<std::string>& args, const std::string& part) {
    std::string shown;
    for (const auto& a : args) shown += "'" + a + "' ";
    const Parsed p = parse(args);
    EXPECT_FALSE(p.proceed) << shown;
    EXPECT_EQ(p.exitCode, 2) << shown;
    EXPECT_EQ(p.err.rfind("glimmerq: ", 0), 0u) << shown << "gave: " << p.err;
    EXPECT_EQ(p.err.find('\n'), p.err.size() - 1) << shown << "gave more than one line: " << p.err;
    EXPECT_NE(p.err.find(part), std::string::npos) << shown << "gave: " << p.err << "without: " << part;
    EXPECT_TRUE(p.out.empty()) << shown << "printed: " << p.out;
}

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() /
                         ("glimmerq-options-" + std::to_string(getpid()) + "-" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    return dir / name;
}

}  // namespace

TEST(OptionsTest, WithoutArgumentsPlaysInAWindowInRealTimeAtTheDefaults) {
    const Parsed p = parse({});
    ASSERT_TRUE(p.proceed) << p.err;
    EXPECT_TRUE(p.err.empty()) << p.err;
    EXPECT_FALSE(p.options.headless);
    EXPECT_TRUE(p.options.vsync);
    EXPECT_FALSE(p.options.fixedStep());
    EXPECT_EQ(p.options.maxFps, 60);
    EXPECT_FALSE(p.options.mute);
    EXPECT_FALSE(p.options.watch);
    EXPECT_EQ(p.options.width, 0);
    EXPECT_TRUE(p.options.videoPath.empty());
}

TEST(OptionsTest, EachOptionSetsItsField) {
    const Parsed p = parse({"--data", "mydata", "--size", "640x480", "--fullscreen", "--no-vsync", "--start",
                            "1:10.5", "--loop", "--fps", "30", "--frames", "90", "--mute", "--max-fps", "0",
                            "--watch", "--check-gl", "--list-effects"});
    ASSERT_TRUE(p.proceed) << p.err;
    EXPECT_EQ(p.options.dataPath, "mydata");
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 480);
    EXPECT_TRUE(p.options.fullscreen);
    EXPECT_FALSE(p.options.vsync);
    EXPECT_EQ(p.options.startMs, 70500);
    EXPECT_TRUE(p.options.loop);
    EXPECT_EQ(p.options.fps, 30);
    EXPECT_EQ(p.options.maxFrames, 90);
    EXPECT_TRUE(p.options.mute);
    EXPECT_EQ(p.options.maxFps, 0);
    EXPECT_TRUE(p.options.watch);
    EXPECT_TRUE(p.options.checkGl);
    EXPECT_TRUE(p.options.listEffects);
    EXPECT_FALSE(p.options.headless) << "nothing here implies headless";

    const Parsed equals = parse({"--max-fps=1000", "--size=8x8"});
    ASSERT_TRUE(equals.proceed) << equals.err;
    EXPECT_EQ(equals.options.maxFps, 1000);
    EXPECT_EQ(equals.options.width, 8);
}

TEST(OptionsTest, VideoRenderAndBenchmarkImplyHeadlessAtSixtyFramesUnlessFpsIsGiven) {
    const std::string video = scratch("show.mp4").string();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--video", video}, {"--render", "frames"}, {"--benchmark"}}) {
        const Parsed p = parse(args);
        ASSERT_TRUE(p.proceed) << args[0] << ": " << p.err;
        EXPECT_TRUE(p.options.headless) << args[0];
        EXPECT_EQ(p.options.fps, 60) << args[0];
        auto withFps = args;
        withFps.insert(withFps.end(), {"--fps", "25"});
        EXPECT_EQ(parse(withFps).options.fps, 25) << args[0];
    }
    EXPECT_EQ(parse({"--video", video}).options.videoPath, video);
    EXPECT_TRUE(parse({"--video", video}).options.vsync) << "only --benchmark turns vsync off";
    EXPECT_FALSE(parse({"--benchmark"}).options.vsync);
    EXPECT_FALSE(fs::exists(video)) << "checking the video file left it behind";
    fs::remove_all(fs::path(video).parent_path());
}

TEST(OptionsTest, BenchmarkJsonImpliesBenchmarkAndIsCheckedBeforePlaying) {
    const fs::path fresh = scratch("times.json");
    const Parsed p = parse({"--benchmark-json", fresh.string()});
    ASSERT_TRUE(p.proceed) << p.err;
    EXPECT_TRUE(p.options.benchmark);
    EXPECT_FALSE(p.options.vsync);
    EXPECT_TRUE(p.options.headless);
    EXPECT_EQ(p.options.benchmarkJson, fresh.string());
    EXPECT_FALSE(fs::exists(fresh)) << "the check must not leave a file behind";

    // An existing file is accepted and kept as it is.
    { std::FILE* f = std::fopen(fresh.c_str(), "w"); std::fputs("old", f); std::fclose(f); }
    ASSERT_TRUE(parse({"--benchmark-json", fresh.string()}).proceed);
    EXPECT_EQ(fs::file_size(fresh), 3u) << "the check truncated an existing file";

    const fs::path missingDir = fresh.parent_path() / "no-such-dir" / "times.json";
    expectRefused({"--benchmark-json", missingDir.string()}, missingDir.string());
    expectRefused({"--benchmark-json", fresh.parent_path().string()}, "folder");
    if (geteuid() != 0) {  // root writes anywhere
        chmod(fresh.c_str(), 0444);
        expectRefused({"--benchmark-json", fresh.string()}, fresh.string());
    }
    fs::remove_all(fresh.parent_path());
}

TEST(OptionsTest, TimelineFileIsCheckedLikeTheBenchmarkFile) {
    const fs::path fresh = scratch("chart.png");
    const Parsed p = parse({"--timeline", fresh.string()});
    ASSERT_TRUE(p.proceed) << p.err;
    EXPECT_EQ(p.options.timelinePath, fresh.string());
    EXPECT_FALSE(fs::exists(fresh)) << "the check must not leave a file behind";
    const fs::path missingDir = fresh.parent_path() / "no-such-dir" / "chart.png";
    expectRefused({"--timeline", missingDir.string()}, "--timeline " + missingDir.string() + " cannot be written");
    const fs::path folder = fresh.parent_path() / "folder.png";
    fs::create_directories(folder);
    expectRefused({"--timeline", folder.string()}, "folder");
    expectRefused({"--timeline"}, "--timeline needs a value (FILE)");
    // Only a PNG name: the chart never lands in a text file or over a script.
    for (const fs::path& notPng : {fresh.parent_path() / "x.txt", fresh.parent_path() / "demoflow",
                                   fresh.parent_path() / ".png", fresh.parent_path() / "chart.png.bak"})
        expectRefused({"--timeline", notPng.string()}, "its FILE must end in .png, not " + notPng.string());
    EXPECT_TRUE(parse({"--timeline", (fresh.parent_path() / "CHART.PNG").string()}).proceed);
    fs::remove_all(fresh.parent_path());
}

TEST(OptionsTest, NumbersMustBeWholeAndInRange) {
    expectRefused({"--fps", "29.97"}, "--fps must be a whole number from 1 to 1000, not 29.97");
    expectRefused({"--fps", "0"}, "--fps must be a whole number from 1 to 1000, not 0");
    expectRefused({"--fps", "1001"}, "not 1001");
    expectRefused({"--fps", "sixty"}, "not sixty");
    expectRefused({"--max-fps", "-1"}, "--max-fps must be a whole number from 0 to 1000");
    expectRefused({"--max-fps", "2.5"}, "not 2.5");
    expectRefused({"--frames", "0"}, "--frames must be a whole number of at least 1, not 0");
    expectRefused({"--frames", "99999999999999999999"}, "--frames must be a whole number");
    expectRefused({"--size", "640"}, "--size must be WxH");
    expectRefused({"--size", "0x10"}, "not 0x10");
    expectRefused({"--start", "soon"}, "--start must be a show time, not soon (");
    // The reason gives the examples; the sentence around it does not repeat them.
    const Parsed negative = parse({"--start", "-1"});
    EXPECT_EQ(negative.exitCode, 2);
    EXPECT_EQ(negative.err.find(" like "), negative.err.rfind(" like ")) << negative.err;
    EXPECT_NE(negative.err.find("--start must be a show time, not -1"), std::string::npos) << negative.err;
    EXPECT_EQ(parse({"--fps", "1000"}).options.fps, 1000);
    EXPECT_EQ(parse({"--frames", "1"}).options.maxFrames, 1);
}

TEST(OptionsTest, RepeatedEmptyAndMissingValuesAreRefusedInPlainSentences) {
    expectRefused({"--size", "640x480", "--size", "800x600"}, "glimmerq: --size is given twice");
    expectRefused({"--loop", "--loop", "--loop"}, "--loop is given 3 times");
    for (const char* option : {"--data", "--render", "--video", "--benchmark-json"})
        expectRefused({option, ""}, std::string(option) + " needs a value");
    expectRefused({"--fps"}, "--fps needs a value (N)");
    expectRefused({"--fullscreen", "--windowed"}, "exclude each other");
}

TEST(OptionsTest, WatchIsRefusedWhereNothingCouldBeReloaded) {
    const fs::path video = scratch("show.mp4"), json = scratch("times.json");
    for (const std::vector<std::string>& windowless : std::vector<std::vector<std::string>>{
             {"--headless"}, {"--render", "frames"}, {"--video", video.string()}, {"--benchmark"},
             {"--benchmark-json", json.string()}}) {
        std::vector<std::string> args = {"--watch"};
        args.insert(args.end(), windowless.begin(), windowless.end());
        expectRefused(args, "--watch reloads only in a window; it cannot be used with " + windowless[0]);
    }
    fs::remove_all(video.parent_path());
}

TEST(OptionsTest, UnknownOptionsAndExtraArgumentsPointToHelp) {
    expectRefused({"--bogus"}, "there is no option --bogus (try --help)");
    expectRefused({"--bogus=3"}, "there is no option --bogus (try --help)");
    expectRefused({"-z"}, "-z");
    expectRefused({"show.dat"}, "unexpected argument 'show.dat'");
    expectRefused({"--data", "a", "b"}, "'b'");
    expectRefused({"--loop=maybe"}, "--loop takes no value, not maybe");
}

TEST(OptionsTest, NoMessageShowsCliElevensOwnWording) {
    const std::vector<std::vector<std::string>> lines = {
        {"--bogus"}, {"x"}, {"--fps"}, {"--fps", "1.5"}, {"--loop=maybe"}, {"--size", "1x1", "--size", "2x2"},
        {"--fullscreen", "--windowed"}, {"--frames", "-5"}, {"--data"}};
    for (const auto& args : lines) {
        const Parsed p = parse(args);
        EXPECT_EQ(p.exitCode, 2) << args[0];
        for (const char* cli11 : {"The following", "required", "Excludes", "Could not convert", "Run with",
                                  "ArgumentMismatch", "argument was not expected"})
            EXPECT_EQ(p.err.find(cli11), std::string::npos) << args[0] << " gave: " << p.err;
    }
}

TEST(OptionsTest, HelpFitsEightyColumnsWithPlaceholdersKeysExitCodesAndExamples) {
    const Parsed p = parse({"--help"});
    EXPECT_FALSE(p.proceed);
    EXPECT_EQ(p.exitCode, 0);
    EXPECT_TRUE(p.err.empty()) << p.err;
    std::istringstream lines(p.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_LE(line.size(), kHelpColumns) << "line " << count << " is " << line.size() << " wide: " << line;
    }
    EXPECT_GT(count, 30);
    for (const char* placeholder : {"--data PATH", "--size WxH", "--start TIME", "--fps N", "--frames N",
                                    "--max-fps N", "--render DIR", "--video FILE", "--benchmark-json FILE"})
        EXPECT_NE(p.out.find(placeholder), std::string::npos) << placeholder << " missing in:\n" << p.out;
    for (const char* option : {"--mute", "--watch", "--fullscreen", "--windowed", "--no-vsync", "--loop",
                               "--headless", "--benchmark ", "--check-gl", "--list-effects", "--version"})
        EXPECT_NE(p.out.find(option), std::string::npos) << option << " missing";
    EXPECT_EQ(p.out.find("TEXT"), std::string::npos) << "CLI11's type names leaked:\n" << p.out;
    EXPECT_EQ(p.out.find("INT"), std::string::npos) << p.out;
    EXPECT_EQ(p.out.find("Excludes"), std::string::npos) << p.out;

    for (const char* key : {"Keys:", "Esc", "Space", "Left, Right", "Shift: 30 s", "Home", "  R ", "  S ",
                            "F11, Alt+Enter"})
        EXPECT_NE(p.out.find(key), std::string::npos) << key << " missing";
    const size_t codes = p.out.find("Exit codes:");
    ASSERT_NE(codes, std::string::npos);
    for (const char* code : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  129 ", "\n  130 ", "\n  143 "})
        EXPECT_NE(p.out.find(code, codes), std::string::npos) << "exit code" << code << "missing";
    const size_t examples = p.out.find("Examples:");
    ASSERT_NE(examples, std::string::npos);
    EXPECT_GT(examples, codes) << "the help ends with the examples";
    EXPECT_NE(p.out.find("glimmerq --start 1:10 --loop", examples), std::string::npos);
    EXPECT_NE(p.out.find("glimmerq --video show.mp4 --size 1280x720", examples), std::string::npos);
}

TEST(OptionsTest, VersionPrintsTheProgramAndVersion) {
    const Parsed p = parse({"--version"});
    EXPECT_FALSE(p.proceed);
    EXPECT_EQ(p.exitCode, 0);
    EXPECT_EQ(p.out.rfind("glimmerq ", 0), 0u) << p.out;
    EXPECT_EQ(p.out.back(), '\n');
}
