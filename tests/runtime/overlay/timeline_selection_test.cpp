// What is selected on the overlay: clicks with and without modifiers, a band over rows, the
// lines an edit names, and the selection after a reload.
#include "runtime/overlay/timeline_selection.h"

#include <gtest/gtest.h>

using namespace glimmerq;

namespace {

const std::vector<std::string> kEffects = {"CLEAR", "SPLASH", "CBLUR"};

const char kScript[] =
    "0 start CLEAR layer 0\n"       // 1
    "0 int CLEAR METHOD 1\n"        // 2
    "2 start SPLASH layer 1\n"      // 3
    "4 int CLEAR METHOD 3\n"        // 4
    "5 start CBLUR layer 2\n"       // 5
    "6 stop SPLASH\n"               // 6
    "9 stop CBLUR\n"                // 7
    "10 end\n";                     // 8

TimelineChart chartOf(const std::string& text) {
    std::string error;
    const auto script = parseScript(text, kEffects, &error);
    EXPECT_TRUE(script) << error;
    return script ? buildTimelineChart(*script, kEffects, "demoflow") : TimelineChart{};
}

}  // namespace

TEST(TimelineSelection, ClicksSelectOneAddWithShiftAndToggleWithCtrl) {
    const TimelineChart chart = chartOf(kScript);
    const SelectionKey clear = TimelineSelection::keyOf(chart.rows[0].boxes[0]);
    const SelectionKey splash = TimelineSelection::keyOf(chart.rows[1].boxes[0]);
    const SelectionKey flash = TimelineSelection::keyOf(chart.ticks[1]);
    using M = TimelineSelection::Modifier;
    struct Step {
        SelectionKey key;
        M modifier;
        std::vector<int> lines;  // selected afterwards
    };
    const Step steps[] = {
        {splash, M::None, {3}},      {flash, M::Add, {3, 4}},   {clear, M::Toggle, {1, 3, 4}},
        {splash, M::Toggle, {1, 4}}, {flash, M::Add, {1, 4}},   {clear, M::None, {1}},
    };
    TimelineSelection selection;
    for (size_t i = 0; i < std::size(steps); ++i) {
        selection.click(steps[i].key, steps[i].modifier);
        EXPECT_EQ(selection.lines(chart), steps[i].lines) << "step " << i;
    }
}

TEST(TimelineSelection, ABandTakesWhatMeetsItsTimesOnTheRowsItSpans) {
    const TimelineChart chart = chartOf(kScript);
    using M = TimelineSelection::Modifier;
    struct Case {
        int64_t fromMs, toMs;
        int firstRow, lastRow;
        M modifier;
        std::vector<int> lines;
    };
    const Case cases[] = {
        {3000, 4500, 0, 1, M::None, {1, 3, 4}},   // CLEAR, SPLASH and the tick at 4 s
        {4500, 3000, 1, 0, M::None, {1, 3, 4}},   // dragged up and to the left: the same
        {6500, 8000, 1, 2, M::None, {5}},         // SPLASH stopped at 6 s; CLEAR let go
        {6500, 8000, 1, 2, M::Add, {1, 5}},       // with CLEAR, selected before
        {0, 10000, 0, 0, M::Toggle, {2, 4}},      // CLEAR out, its ticks in
    };
    TimelineSelection selection;
    for (const Case& c : cases) {
        selection.click(TimelineSelection::keyOf(chart.rows[0].boxes[0]), M::None);  // CLEAR, before each
        selection.band(chart, c.fromMs, c.toMs, c.firstRow, c.lastRow, c.modifier);
        EXPECT_EQ(selection.lines(chart), c.lines) << c.fromMs << "-" << c.toMs;
    }
}

TEST(TimelineSelection, FollowsTheLinesAnEditNamesAndSurvivesRenumbering) {
    const TimelineChart chart = chartOf(kScript);
    TimelineSelection selection;
    selection.selectLines(chart, {6, 2});  // SPLASH by its stop line, and a tick
    EXPECT_EQ(selection.lines(chart), (std::vector<int>{2, 3}));

    // Another editor put two comment lines on top and removed the tick at 0: the run is
    // still selected by what it is, on its new line; the tick is gone.
    const TimelineChart edited = chartOf(
        "# two lines\n# on top\n0 start CLEAR layer 0\n2 start SPLASH layer 1\n4 int CLEAR METHOD 3\n"
        "5 start CBLUR layer 2\n6 stop SPLASH\n9 stop CBLUR\n10 end\n");
    selection.keepOnly(edited);
    EXPECT_EQ(selection.lines(edited), (std::vector<int>{4}));
    EXPECT_EQ(selection.size(), 1u);
}
