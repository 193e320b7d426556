// timeline_chart.h: what the timeline chart shows, read from a parsed script: no drawing.
//
//   auto chart = buildTimelineChart(script, effectNames, "demoflow");
//   for (const ChartRow& row : chart.rows)         // ascending layer
//       for (const ChartBox& box : row.boxes) ...  // box.name, box.startMs, box.endMs, box.line, box.stopLine
//   auto running = runsAt(chart, nowMs);           // drawing order, as the timeline draws them
//
// One row per layer; each run of an effect is a box from its start to its stop (or the
// end), with the script lines that start and stop it; runs that overlap on one layer take
// lanes of the row. Parameter events (int, float, string) are ticks on the row of the
// effect's run. Music lines are cues lasting to the next music line or the end. The sections
// are the script's (script_lines.h); the tempo grids come along for the ruler. The
// chart knows times only: how long the track really is, the waveform and the pixels are
// the drawing's business (waveform.h, timeline_view.h).
#pragma once

#include "runtime/script/script.h"

#include <cstdint>
#include <string>
#include <vector>

namespace glimmerq {

struct ChartBox {
    int effect = -1;          // index into the registered names
    std::string name;         // "CKREUZ"
    int64_t startMs = 0;
    int64_t endMs = 0;        // its stop, or the script's end
    int line = 0;             // the start line (script:line)
    int stopLine = 0;         // the stop line; 0 when the end stops it
    int lane = 0;             // 0.. within its row, where runs overlap
    uint64_t order = 0;       // start order: breaks ties between runs on one layer
};

struct ChartRow {
    int layer = 0;
    int lanes = 1;
    std::vector<ChartBox> boxes;  // by start time
};

struct ChartTick {
    int effect = -1;          // index into the registered names
    std::string parameter;    // "METHOD"
    int64_t timeMs = 0;
    int row = -1;             // index into rows; -1 when the effect was not running
    int lane = 0;
    std::string label;        // "CLEAR METHOD 3"
    int line = 0;
};

struct ChartCue {
    std::string member;       // "soundtrack.ogg"
    int64_t startMs = 0;      // the track's position 0
    int64_t endMs = 0;        // the next music line or the end
    int line = 0;
};

struct ChartSection {
    std::string title;        // "The tunnel"
    int64_t startMs = 0;
    int64_t endMs = 0;
    int line = 0;             // the heading's line
};

struct TimelineChart {
    std::string scriptName;   // for "demoflow:42"
    int64_t endMs = 0;
    std::vector<ChartRow> rows;  // ascending layer
    std::vector<ChartTick> ticks;
    std::vector<ChartCue> cues;
    std::vector<ChartSection> sections;
    TempoMap tempo;

    // "demoflow:42"
    std::string where(int line) const { return scriptName + ":" + std::to_string(line); }
};

TimelineChart buildTimelineChart(const Script& script, const std::vector<std::string>& effectNames,
                                 const std::string& scriptName);

// The runs playing at a time, in drawing order (ascending layer, then start order).
std::vector<const ChartBox*> runsAt(const TimelineChart& chart, int64_t timeMs);

// The section playing at a time, or null.
const ChartSection* sectionAt(const TimelineChart& chart, int64_t timeMs);

}  // namespace glimmerq
