// tools/show-sections, which the measuring tools read the show's sections from, counts times
// as the program does: its sections are the timeline chart's, for the shipped script and for
// one with a second tempo that begins inside a bar.
#include "runtime/overlay/timeline_chart.h"
#include "runtime/script/script.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace glimmerq;

namespace {

std::string readAll(FILE* in) {
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) text.append(buffer, n);
    return text;
}

std::string outputOf(const std::string& command) {
    FILE* in = popen(command.c_str(), "r");
    if (!in) return std::string();
    std::string text = readAll(in);
    pclose(in);
    return text;
}

}  // namespace

TEST(ShowSections, StartWhereTheTimelineChartStartsThem) {
    std::vector<std::string> effects;
    std::istringstream listed(outputOf("'" GLIMMERQ_PROGRAM "' --list-effects"));
    for (std::string name; std::getline(listed, name);) effects.push_back(name);
    ASSERT_EQ(effects.size(), 19u);  // the demo's eighteen and the runtime's FLASH

    std::ifstream shippedFile(GLIMMERQ_SOURCE_DIR "/data/demoflow");
    const std::string shipped((std::istreambuf_iterator<char>(shippedFile)), std::istreambuf_iterator<char>());
    const std::string tempoChange =
        "0 tempo 120 4\n"
        "# --- First, bars 1-2\n@1 start CLEAR layer 0\n"
        "@2.2 tempo 90 3\n"       // inside bar 2: bar 3 begins here
        "# --- Second\n@3.3 int CLEAR METHOD 1\n"
        "# --- Third\n1:00.5 int CLEAR METHOD 0\n"
        "@40 end\n";

    for (const std::string& text : {shipped, tempoChange}) {
        std::string error;
        const auto script = parseScript(text, effects, &error);
        ASSERT_TRUE(script) << error;
        const TimelineChart chart = buildTimelineChart(*script, effects, text, "demoflow");
        ASSERT_FALSE(chart.sections.empty());

        const fs::path file = fs::temp_directory_path() / ("glimmerq-sections-" + std::to_string(getpid()));
        std::ofstream(file) << text;
        std::istringstream printed(outputOf("'" GLIMMERQ_SOURCE_DIR "/tools/show-sections' '" + file.string() + "'"));
        fs::remove(file);

        for (const ChartSection& section : chart.sections) {
            double seconds = -1;
            std::string name;
            ASSERT_TRUE(printed >> seconds >> name) << section.title;
            EXPECT_EQ(std::llround(seconds * 1000), section.startMs) << section.title;
        }
        double endSeconds = -1;
        std::string end;
        ASSERT_TRUE(printed >> endSeconds >> end);
        EXPECT_EQ(end, "end");
        EXPECT_EQ(std::llround(endSeconds * 1000), script->endMs());
    }
}
