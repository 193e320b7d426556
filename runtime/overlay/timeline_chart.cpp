#include "runtime/overlay/timeline_chart.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace glimmerq {

namespace {

const char kSectionMark[] = "---";
constexpr size_t kMaxSectionTitle = 60;  // bytes; longer headings are prose, not names

std::string trim(const std::string& text, const char* blanks = " \t") {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// "# --- The tunnel, bars 27-32 (the drop): ..." -> "The tunnel"; empty for other lines.
std::string sectionTitle(const std::string& line) {
    const std::string text = trim(line);
    if (text.empty() || text[0] != '#') return std::string();
    const std::string rest = trim(text.substr(1));
    if (rest.compare(0, 3, kSectionMark) != 0) return std::string();
    std::string title = rest.substr(3);
    title = title.substr(0, title.find_first_of(",:("));
    title = trim(title, " \t-");
    return title.size() > kMaxSectionTitle ? std::string() : title;
}

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

std::vector<ChartSection> sections(const Script& script, const std::string& scriptText) {
    std::vector<ChartSection> found;
    size_t position = 0;
    int line = 0;
    size_t nextEvent = 0;
    while (position < scriptText.size()) {
        size_t newline = scriptText.find('\n', position);
        if (newline == std::string::npos) newline = scriptText.size();
        std::string text = scriptText.substr(position, newline - position);
        position = newline + 1;
        ++line;
        if (line == 1 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text = text.substr(3);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        const std::string title = sectionTitle(text);
        if (title.empty()) continue;
        while (nextEvent < script.events.size() && script.events[nextEvent].line <= line) ++nextEvent;
        if (nextEvent == script.events.size()) break;  // a heading after the last event names nothing
        found.push_back({title, script.events[nextEvent].timeMs, 0, line});
    }
    for (size_t i = 0; i < found.size(); ++i)
        found[i].endMs = i + 1 < found.size() ? found[i + 1].startMs : script.endMs();
    // Two headings before one event: the later one names it.
    found.erase(std::remove_if(found.begin(), found.end(), [](const ChartSection& s) { return s.endMs <= s.startMs; }),
                found.end());
    return found;
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
                                 const std::string& scriptText, const std::string& scriptName) {
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
                layers[it->second.layer][it->second.box].endMs = event.timeMs;
                open.erase(it);
                break;
            }
            case Event::Verb::Int:
            case Event::Verb::Float:
            case Event::Verb::String: {
                PendingTick tick{{event.timeMs, -1, 0, tickLabel(event, nameOf(event.effect)), event.line}, 0, 0, false};
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
    chart.sections = sections(script, scriptText);
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
