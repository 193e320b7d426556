// The timeline chart read from a small script: rows, lanes, each run's start and stop lines,
// ticks, cues, sections.
#include "runtime/overlay/timeline_chart.h"

#include <gtest/gtest.h>

using namespace glimmerq;

namespace {

const std::vector<std::string> kEffects = {"CLEAR", "SPLASH", "CBLUR", "CKREUZ"};

const char kScript[] =
    "# The show in bars.\n"                                  // 1
    "0 tempo 120 4\n"                                        // 2
    "# --- Opening, bars 1-4 (build-up): sparks\n"           // 3
    "0 music intro.ogg\n"                                    // 4
    "0 start CLEAR layer 0\n"                                // 5
    "0 int CLEAR METHOD 1\n"                                 // 6
    "@1.3 start SPLASH layer 1\n"                            // 7
    "@2 start CBLUR layer 1\n"                               // 8  overlaps SPLASH on layer 1
    "@3 stop SPLASH\n"                                       // 9
    "#   ---   Drop ---\n"                                   // 10
    "# --- (a heading before another names nothing)\n"       // 11
    "# --- The drop: loud\n"                                 // 12
    "@5 int CLEAR METHOD 3\n"                                // 13
    "@5 float CBLUR SPEED 0.5\n"                             // 14
    "@5 start SPLASH layer 1\n"                              // 15 a free lane again
    "@5 music drop.ogg\n"                                    // 16
    "@6 string CKREUZ TEXT \"hi\"\n"                         // 17 CKREUZ is not running
    "@7 stop CBLUR\n"                                        // 18
    "@9 end\n"                                               // 19
    "# --- After the end\n";                                 // 20

TimelineChart chartOf(const std::string& text) {
    std::string error;
    const auto script = parseScript(text, kEffects, &error);
    EXPECT_TRUE(script) << error;
    return script ? buildTimelineChart(*script, kEffects, "demoflow") : TimelineChart{};
}

}  // namespace

TEST(TimelineChart, OneRowPerLayerWithRunsInLanesAndTheirStartLines) {
    const TimelineChart chart = chartOf(kScript);
    EXPECT_EQ(chart.endMs, 16000);
    ASSERT_EQ(chart.rows.size(), 2u);
    EXPECT_EQ(chart.rows[0].layer, 0);
    ASSERT_EQ(chart.rows[0].boxes.size(), 1u);
    const ChartBox& clear = chart.rows[0].boxes[0];
    EXPECT_EQ(clear.name, "CLEAR");
    EXPECT_EQ(clear.endMs, 16000);  // never stopped: runs to the end
    EXPECT_EQ(chart.where(clear.line), "demoflow:5");
    EXPECT_EQ(clear.stopLine, 0);

    const ChartRow& layer1 = chart.rows[1];
    EXPECT_EQ(layer1.lanes, 2);
    struct Expected { const char* name; int64_t startMs, endMs; int line, lane, stopLine; };
    const Expected expected[] = {
        {"SPLASH", 1000, 4000, 7, 0, 9}, {"CBLUR", 2000, 12000, 8, 1, 18}, {"SPLASH", 8000, 16000, 15, 0, 0}};
    ASSERT_EQ(layer1.boxes.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(layer1.boxes[i].name, expected[i].name) << i;
        EXPECT_EQ(layer1.boxes[i].startMs, expected[i].startMs) << i;
        EXPECT_EQ(layer1.boxes[i].endMs, expected[i].endMs) << i;
        EXPECT_EQ(layer1.boxes[i].line, expected[i].line) << i;
        EXPECT_EQ(layer1.boxes[i].lane, expected[i].lane) << i;
        EXPECT_EQ(layer1.boxes[i].stopLine, expected[i].stopLine) << i;
    }
}

TEST(TimelineChart, ParameterEventsAreTicksOnTheirRunsRow) {
    const TimelineChart chart = chartOf(kScript);
    struct Expected { int64_t timeMs; int row, lane; const char* label; int line; };
    const Expected expected[] = {{0, 0, 0, "CLEAR METHOD 1", 6},
                                 {8000, 0, 0, "CLEAR METHOD 3", 13},
                                 {8000, 1, 1, "CBLUR SPEED 0.5", 14},
                                 {10000, -1, 0, "CKREUZ TEXT \"hi\"", 17}};
    ASSERT_EQ(chart.ticks.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(chart.ticks[i].timeMs, expected[i].timeMs) << i;
        EXPECT_EQ(chart.ticks[i].row, expected[i].row) << i;
        EXPECT_EQ(chart.ticks[i].lane, expected[i].lane) << i;
        EXPECT_EQ(chart.ticks[i].label, expected[i].label) << i;
        EXPECT_EQ(chart.ticks[i].line, expected[i].line) << i;
    }
}

TEST(TimelineChart, MusicCuesLastToTheNextCueOrTheEnd) {
    const TimelineChart chart = chartOf(kScript);
    ASSERT_EQ(chart.cues.size(), 2u);
    EXPECT_EQ(chart.cues[0].member, "intro.ogg");
    EXPECT_EQ(chart.cues[0].endMs, 8000);
    EXPECT_EQ(chart.cues[1].member, "drop.ogg");
    EXPECT_EQ(chart.cues[1].startMs, 8000);
    EXPECT_EQ(chart.cues[1].endMs, 16000);
    EXPECT_EQ(chart.tempo.grids().size(), 1u);
}

TEST(TimelineChart, SectionsAreNamedByHeadingsBeforeTheirFirstEvent) {
    const TimelineChart chart = chartOf(kScript);
    ASSERT_EQ(chart.sections.size(), 2u);
    EXPECT_EQ(chart.sections[0].title, "Opening");
    EXPECT_EQ(chart.sections[0].startMs, 0);
    EXPECT_EQ(chart.sections[0].endMs, 8000);
    EXPECT_EQ(chart.sections[0].line, 3);
    EXPECT_EQ(chart.sections[1].title, "The drop");  // the later of the headings before @5
    EXPECT_EQ(chart.sections[1].endMs, 16000);
    EXPECT_EQ(sectionAt(chart, 7999), &chart.sections[0]);
    EXPECT_EQ(sectionAt(chart, 16000), nullptr);

    // With plain comments only there are none.
    EXPECT_TRUE(chartOf("# just a comment\n0 start CLEAR layer 0\n# -- not a heading\n5 end\n").sections.empty());
}

TEST(TimelineChart, RunsAtATimeComeInDrawingOrder) {
    const TimelineChart chart = chartOf(
        "0 start CKREUZ layer 2\n0 start CBLUR layer 1\n1 start CLEAR layer 2\n2 start SPLASH layer 1\n"
        "3 stop CBLUR\n4 end\n");
    const auto names = [&](int64_t t) {
        std::string joined;
        for (const ChartBox* box : runsAt(chart, t)) joined += (joined.empty() ? "" : "+") + box->name;
        return joined;
    };
    EXPECT_EQ(names(0), "CBLUR+CKREUZ");
    EXPECT_EQ(names(2500), "CBLUR+SPLASH+CKREUZ+CLEAR");  // layer, then start order
    EXPECT_EQ(names(3000), "SPLASH+CKREUZ+CLEAR");        // a stop takes effect at its time
    EXPECT_EQ(names(4000), "");
}
