// Where the chart's parts lie and what the mouse is over: a run's body and edges, ticks,
// rows, the ruler, and the layer a run dropped at a height goes to.
#include "runtime/overlay/timeline_layout.h"

#include <gtest/gtest.h>

using namespace glimmerq;

namespace {

const std::vector<std::string> kEffects = {"CLEAR", "SPLASH"};

// 8 s: CLEAR on layer 0 with a tick at 0, SPLASH from 2 s to 6 s on layer 1.
const char kScript[] =
    "0 tempo 120 4\n@1 start CLEAR layer 0\n@1 int CLEAR METHOD 1\n@2 start SPLASH layer 1\n@4 stop SPLASH\n@5 end\n";

TimelineChart chart() {
    std::string error;
    const auto script = parseScript(kScript, kEffects, &error);
    EXPECT_TRUE(script) << error;
    return script ? buildTimelineChart(*script, kEffects, "demoflow") : TimelineChart{};
}

}  // namespace

TEST(TimelineLayout, TheMouseFindsRunBodiesEdgesTicksRowsAndTheRulerAtAnyScale) {
    const TimelineChart c = chart();
    ASSERT_EQ(c.rows.size(), 2u);
    const ChartBox& splash = c.rows[1].boxes.at(0);
    const ChartTick& tick = c.ticks.at(0);
    using Part = TimelineHit::Part;
    for (float scale : {1.0f, 0.6f, 2.0f}) {
        // 800 pixels of axis for the 8 s at every scale: a pixel is 10 ms.
        const float gutter = TimelineLayout::kGutterWidth * scale;
        const TimelineLayout layout(c, ImVec2(0, 0), gutter + 800.0f, {0, 8000}, scale);
        EXPECT_FLOAT_EQ(layout.xOf(2000), gutter + 200.0f);
        const float splashY = layout.laneTop(1, 0) + layout.laneHeight() * 0.5f;
        const float edge = TimelineLayout::kEdgeGrab * scale;
        struct Case {
            const char* what;
            ImVec2 at;
            Part part;
            const ChartBox* box;
            const ChartTick* tick;
            int row;
        };
        const Case cases[] = {
            {"the middle of a run", {layout.xOf(4000), splashY}, Part::RunBody, &splash, nullptr, 1},
            {"just inside its left edge", {layout.xOf(2000) + edge - 1.0f, splashY}, Part::RunStart, &splash, nullptr, 1},
            {"just inside its right edge", {layout.xOf(6000) - 1.0f, splashY}, Part::RunStop, &splash, nullptr, 1},
            {"past the edge's grip", {layout.xOf(2000) + edge + 1.0f, splashY}, Part::RunBody, &splash, nullptr, 1},
            {"a tick, a little beside it", {layout.xOf(0) + 2.0f, layout.tickStripTop(0) + 2.0f}, Part::Tick, nullptr, &tick, 0},
            {"a row's empty space", {layout.xOf(7000), splashY}, Part::Row, nullptr, nullptr, 1},
            {"the ruler", {layout.xOf(3000), layout.rulerTop() + 2.0f}, Part::Ruler, nullptr, nullptr, -1},
            {"the gutter of row names", {gutter * 0.5f, splashY}, Part::Nothing, nullptr, nullptr, -1},
            {"below the chart", {layout.xOf(3000), layout.bottom() + 1.0f}, Part::Nothing, nullptr, nullptr, -1},
        };
        for (const Case& k : cases) {
            const TimelineHit hit = layout.hitAt(k.at);
            EXPECT_EQ(hit.part, k.part) << k.what << " at scale " << scale;
            EXPECT_EQ(hit.box, k.box) << k.what << " at scale " << scale;
            EXPECT_EQ(hit.tick, k.tick) << k.what << " at scale " << scale;
            EXPECT_EQ(hit.row, k.row) << k.what << " at scale " << scale;
        }
    }
}

TEST(TimelineLayout, ARunTooNarrowForTwoEdgesMovesWhole) {
    const TimelineChart c = chart();
    // 24 pixels for 8 s: SPLASH is 12 pixels wide, less than two edges and a body.
    const TimelineLayout layout(c, ImVec2(0, 0), TimelineLayout::kGutterWidth + 24.0f, {0, 8000});
    const float y = layout.laneTop(1, 0) + 1.0f;
    for (int64_t t : {2000, 4000, 5900}) EXPECT_EQ(layout.hitAt({layout.xOf(t), y}).part, TimelineHit::Part::RunBody) << t;
}

TEST(TimelineLayout, ARunDroppedOnARowTakesItsLayerAndBelowTheRowsANewOne) {
    const TimelineChart c = chart();
    const TimelineLayout layout(c, ImVec2(0, 0), 876.0f, {0, 8000});
    EXPECT_EQ(layout.layerAt(layout.rulerTop()), std::nullopt);
    EXPECT_EQ(layout.layerAt(layout.laneTop(0, 0) + 1.0f), 0);
    EXPECT_EQ(layout.layerAt(layout.tickStripTop(0) + 1.0f), 0) << "a row's tick strip is part of it";
    EXPECT_EQ(layout.layerAt(layout.laneTop(1, 0) + 1.0f), 1);
    EXPECT_EQ(layout.layerAt(layout.bottom() + 40.0f), 2);
    EXPECT_FLOAT_EQ(TimelineLayout::heightFor(c, 0.5f) * 2.0f, TimelineLayout::heightFor(c)) << "heights scale";
}
