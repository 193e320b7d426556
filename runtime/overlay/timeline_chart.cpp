#include "runtime/overlay/timeline_chart.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace glimmerq {

namespace {

std::string tickLabel(const Event& event, const std::string& effect) {
    std::string value;
    switch (event.verb) {
        case Event::Verb::Int: value = std::to_string(event.intValue); break;
        case Event::Verb::Float: {
            char number[32];
            std::snprintf(number, sizeof number, "%g", double(event.floatValue));
            value = number;
            break;
        }
        default: value = "\"" + event.text + "\""; break;
    }
    return effect + " " + event.name + " " + value;
}

// Gives each box the lowest lane free at its start; boxes are sorted by start.
int assignLanes(std::vector<ChartBox>* boxes) {
    std::vector<int64_t> laneEnds;
    for (ChartBox& box : *boxes) {
        size_t lane = 0;
        while (lane < laneEnds.size() && laneEnds[lane] > box.startMs) ++lane;
        if (lane == laneEnds.size()) laneEnds.push_back(0);
        laneEnds[lane] = std::max(box.endMs, box.startMs + 1);
        box.lane = int(lane);
    }
    return std::max<int>(1, int(laneEnds.size()));
}

}  // namespace

TimelineChart buildTimelineChart(const Script& script, const std::vector<std::string>& effectNames,
                                 const std::string& scriptName) {
    TimelineChart chart;
    chart.scriptName = scriptName;
    chart.endMs = script.endMs();
    chart.tempo = script.tempo;

    struct Open {
        int layer;
        size_t box;  // index into that layer's boxes
    };
    // A tick finds its run again by the run's start order once the rows are sorted.
    struct PendingTick {
        ChartTick tick;
        int layer;
        uint64_t runOrder;
        bool running;
    };
    std::map<int, std::vector<ChartBox>> layers;
    std::map<int, Open> open;  // by effect
    std::vector<PendingTick> pending;
    uint64_t order = 0;
    const auto nameOf = [&](int effect) {
        return effect >= 0 && size_t(effect) < effectNames.size() ? effectNames[size_t(effect)] : std::string("?");
    };
    const auto closeCue = [&](int64_t timeMs) {
        if (!chart.cues.empty() && chart.cues.back().endMs < 0) chart.cues.back().endMs = timeMs;
    };

    for (const Event& event : script.events) {
        switch (event.verb) {
            case Event::Verb::Start: {
                auto& boxes = layers[event.layer];
                ChartBox box;
                box.effect = event.effect;
                box.name = nameOf(event.effect);
                box.startMs = event.timeMs;
                box.endMs = -1;
                box.line = event.line;
                box.order = order++;
                open[event.effect] = {event.layer, boxes.size()};
                boxes.push_back(std::move(box));
                break;
            }
            case Event::Verb::Stop: {
                const auto it = open.find(event.effect);
                if (it == open.end()) break;  // the parser refuses this; nothing to close
                ChartBox& box = layers[it->second.layer][it->second.box];
                box.endMs = event.timeMs;
                box.stopLine = event.line;
                open.erase(it);
                break;
            }
            case Event::Verb::Int:
            case Event::Verb::Float:
            case Event::Verb::String: {
                PendingTick tick{{event.effect, event.name, event.timeMs, -1, 0, tickLabel(event, nameOf(event.effect)), event.line},
                                 0, 0, false};
                const auto it = open.find(event.effect);
                if (it != open.end())
                    tick = {tick.tick, it->second.layer, layers[it->second.layer][it->second.box].order, true};
                pending.push_back(std::move(tick));
                break;
            }
            case Event::Verb::Music:
                closeCue(event.timeMs);
                chart.cues.push_back({event.text, event.timeMs, -1, event.line});
                break;
            case Event::Verb::End:
                closeCue(event.timeMs);
                for (auto& [effect, run] : open) layers[run.layer][run.box].endMs = event.timeMs;
                open.clear();
                break;
        }
    }

    std::map<int, size_t> rowOfLayer;
    for (auto& [layer, boxes] : layers) {
        // Boxes were added in event order, so they are already sorted by start.
        for (ChartBox& box : boxes)
            if (box.endMs < 0) box.endMs = chart.endMs;
        ChartRow row;
        row.layer = layer;
        row.lanes = assignLanes(&boxes);
        row.boxes = std::move(boxes);
        rowOfLayer[layer] = chart.rows.size();
        chart.rows.push_back(std::move(row));
    }
    for (PendingTick& tick : pending) {
        if (tick.running) {
            const size_t rowIndex = rowOfLayer[tick.layer];
            tick.tick.row = int(rowIndex);
            for (const ChartBox& box : chart.rows[rowIndex].boxes)
                if (box.order == tick.runOrder) tick.tick.lane = box.lane;
        }
        chart.ticks.push_back(std::move(tick.tick));
    }
    for (const ScriptSection& section : script.sections)
        chart.sections.push_back({section.title, section.startMs, section.endMs, section.line});
    return chart;
}

std::vector<const ChartBox*> runsAt(const TimelineChart& chart, int64_t timeMs) {
    std::vector<const ChartBox*> running;
    for (const ChartRow& row : chart.rows) {
        std::vector<const ChartBox*> inRow;
        for (const ChartBox& box : row.boxes)
            if (box.startMs <= timeMs && timeMs < box.endMs) inRow.push_back(&box);
        std::sort(inRow.begin(), inRow.end(), [](const ChartBox* a, const ChartBox* b) { return a->order < b->order; });
        running.insert(running.end(), inRow.begin(), inRow.end());
    }
    return running;
}

const ChartSection* sectionAt(const TimelineChart& chart, int64_t timeMs) {
    for (const ChartSection& section : chart.sections)
        if (section.startMs <= timeMs && timeMs < section.endMs) return &section;
    return nullptr;
}

}  // namespace glimmerq
