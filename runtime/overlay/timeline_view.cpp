#include "runtime/overlay/timeline_view.h"

#include "runtime/base/show_time.h"
#include "runtime/overlay/label_fit.h"
#include "runtime/overlay/timeline_selection.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace glimmerq {

namespace {

// Colours, ImGui's packed ABGR.
const ImU32 kBackground = IM_COL32(22, 24, 30, 255);
const ImU32 kGutter = IM_COL32(30, 33, 41, 255);
const ImU32 kRowShade = IM_COL32(34, 37, 46, 255);
const ImU32 kText = IM_COL32(225, 228, 235, 255);
const ImU32 kDimText = IM_COL32(150, 156, 170, 255);
const ImU32 kBoxText = IM_COL32(16, 18, 22, 255);
const ImU32 kDownbeat = IM_COL32(120, 128, 146, 255);
const ImU32 kBeat = IM_COL32(70, 76, 90, 255);
const ImU32 kGridLine = IM_COL32(255, 255, 255, 14);
const ImU32 kSectionLine = IM_COL32(255, 255, 255, 40);
const ImU32 kSectionBands[2] = {IM_COL32(52, 58, 78, 255), IM_COL32(42, 47, 64, 255)};
const ImU32 kWaveEnvelope = IM_COL32(70, 140, 170, 255);
const ImU32 kWaveRms = IM_COL32(130, 210, 235, 255);
const ImU32 kCueMark = IM_COL32(130, 210, 235, 255);
const ImU32 kPlayhead = IM_COL32(255, 90, 70, 255);
const ImU32 kLoopBand = IM_COL32(255, 200, 60, 36);
const ImU32 kLoopEdge = IM_COL32(255, 200, 60, 200);
const ImU32 kTick = IM_COL32(255, 255, 255, 230);
const ImU32 kSelected = IM_COL32(255, 214, 90, 255);
constexpr float kTickLabelOffset = 5.0f;  // pixels right of the tick's mark
constexpr float kTickLabelGap = 4.0f;     // pixels kept between neighbouring labels

constexpr float kGoldenRatioFraction = 0.618034f;  // spreads hues of neighbouring indices apart
constexpr float kBoxSaturation = 0.45f;
constexpr float kBoxValue = 0.88f;
constexpr float kPadding = 4.0f;                   // pixels between a label and its edges
constexpr float kMinLabelGap = 46.0f;              // pixels between ruler labels
constexpr float kMinBeatGap = 4.0f;                // beats closer than this are not drawn
constexpr float kTickHeight = 7.0f;                // at scale 1
constexpr float kTickHalfWidth = 4.0f;
const int kBarSteps[] = {1, 2, 4, 8, 16, 32, 64, 128, 256};
const int64_t kSecondSteps[] = {1000, 2000, 5000, 10000, 15000, 30000, 60000, 120000, 300000, 600000};

ImU32 effectColour(int effect, float alpha = 1.0f) {
    const float hue = std::fmod(0.08f + float(std::max(effect, 0)) * kGoldenRatioFraction, 1.0f);
    float r, g, b;
    ImGui::ColorConvertHSVtoRGB(hue, kBoxSaturation, kBoxValue, r, g, b);
    return ImGui::ColorConvertFloat4ToU32(ImVec4(r, g, b, alpha));
}

// Text shortened to fit [left, right] (labelFit.h), vertically centred in [top, top + height].
void label(ImDrawList* list, float left, float right, float top, float height, ImU32 colour, const std::string& text) {
    if (right - left < 2.0f * kPadding) return;
    const std::string shown = fitLabel(text, right - left - 2.0f * kPadding,
                                       [](const std::string& s) { return ImGui::CalcTextSize(s.c_str()).x; });
    if (shown.empty()) return;
    const float y = top + (height - ImGui::GetFontSize()) * 0.5f;
    list->AddText(ImGui::GetFont(), ImGui::GetFontSize(), ImVec2(left + kPadding, y), colour, shown.c_str());
}

std::string minutesSeconds(int64_t ms) { return formatShowTime(ms, ShowTimeStyle::Short); }

void drawSections(ImDrawList* list, const TimelineLayout& layout, const TimelineChart& chart) {
    const float top = layout.sectionsTop(), height = layout.sectionHeight();
    for (size_t i = 0; i < chart.sections.size(); ++i) {
        const ChartSection& section = chart.sections[i];
        const float left = std::max(layout.xOf(section.startMs), layout.axisLeft());
        const float right = std::min(layout.xOf(section.endMs), layout.axisRight());
        if (right <= left) continue;
        list->AddRectFilled(ImVec2(left, top + 1.0f), ImVec2(right - 1.0f, top + height - 1.0f), kSectionBands[i % 2]);
        label(list, left, right, top, height, kText, section.title);
        // The section's start runs down through the rows.
        list->AddLine(ImVec2(left, top + height), ImVec2(left, layout.topLeft().y + layout.height()), kSectionLine);
    }
}

void drawRuler(ImDrawList* list, const TimelineLayout& layout, const TimelineChart& chart) {
    const TimeRange view = layout.view();
    const float top = layout.rulerTop(), height = layout.rulerHeight();
    const float bottom = top + height, middle = top + height * 0.5f;
    const float msPerPixel = float(view.toMs - view.fromMs) / std::max(1.0f, layout.axisRight() - layout.axisLeft());
    list->AddLine(ImVec2(layout.axisLeft(), middle), ImVec2(layout.axisRight(), middle), kBeat);

    // Bars and beats above the middle line.
    const auto beats = chart.tempo.beatsBetween(view.fromMs, view.toMs);
    bool beatsVisible = true;
    for (size_t i = 1; i < beats.size() && beatsVisible; ++i)
        beatsVisible = layout.xOf(beats[i].timeMs) - layout.xOf(beats[i - 1].timeMs) >= kMinBeatGap;
    int barStep = kBarSteps[std::size(kBarSteps) - 1];
    for (int step : kBarSteps) {
        // The narrowest bar of the view decides; grids of other tempos may be wider.
        float narrowest = 1e9f;
        for (const TempoGrid& grid : chart.tempo.grids())
            narrowest = std::min(narrowest, float(60000.0 * grid.beatsPerBar / grid.beatsPerMinute) / msPerPixel);
        if (narrowest * float(step) >= kMinLabelGap) {
            barStep = step;
            break;
        }
    }
    for (const BeatMark& beat : beats) {
        const float x = layout.xOf(beat.timeMs);
        if (beat.beat == 1) {
            const bool labelled = (beat.bar - 1) % barStep == 0;
            list->AddLine(ImVec2(x, labelled ? top + 2.0f : middle - 9.0f), ImVec2(x, middle), kDownbeat);
            if (labelled) label(list, x - kPadding + 2.0f, x + kMinLabelGap, top, middle - top, kText, std::to_string(beat.bar));
        } else if (beatsVisible) {
            list->AddLine(ImVec2(x, middle - 4.0f), ImVec2(x, middle), kBeat);
        }
    }
    if (chart.tempo.empty()) label(list, layout.axisLeft(), layout.axisRight(), top, middle - top, kDimText, "no tempo line");

    // Minutes and seconds below it.
    int64_t secondStep = kSecondSteps[std::size(kSecondSteps) - 1];
    for (int64_t step : kSecondSteps) {
        if (float(step) / msPerPixel >= kMinLabelGap + 10.0f) {
            secondStep = step;
            break;
        }
    }
    for (int64_t t = (std::max<int64_t>(view.fromMs, 0) + secondStep - 1) / secondStep * secondStep; t <= view.toMs;
         t += secondStep) {
        const float x = layout.xOf(t);
        list->AddLine(ImVec2(x, middle), ImVec2(x, middle + 6.0f), kDownbeat);
        if (x + ImGui::CalcTextSize(minutesSeconds(t).c_str()).x + kPadding > layout.axisRight()) continue;
        label(list, x - kPadding + 2.0f, x + kMinLabelGap + 10.0f, middle + 3.0f, bottom - middle - 3.0f, kDimText,
              minutesSeconds(t));
    }
    label(list, layout.topLeft().x, layout.axisLeft(), top, middle - top, kDimText, "bar");
    label(list, layout.topLeft().x, layout.axisLeft(), middle, bottom - middle, kDimText, "m:ss");
}

void drawWave(ImDrawList* list, const TimelineLayout& layout, const TimelineChart& chart, const Waveforms* waveforms) {
    const float top = layout.waveTop() + 2.0f, height = layout.waveHeight() - 4.0f;
    const float centre = top + height * 0.5f, half = height * 0.5f;
    label(list, layout.topLeft().x, layout.axisLeft(), top, height, kDimText, "music");
    for (const ChartCue& cue : chart.cues) {
        const float left = std::max(layout.xOf(cue.startMs), layout.axisLeft());
        const float right = std::min(layout.xOf(cue.endMs), layout.axisRight());
        if (right <= left) continue;
        list->AddRectFilled(ImVec2(left, top), ImVec2(right, top + height), kRowShade);
        const auto found = waveforms ? waveforms->find(cue.member) : Waveforms::const_iterator();
        const Waveform* waveform = waveforms && found != waveforms->end() ? found->second.get() : nullptr;
        if (waveform) {
            // Track time: the cue's start is the track's position 0.
            for (float x = std::floor(left); x < right; x += 1.0f) {
                const int64_t from = layout.timeAt(x) - cue.startMs, to = layout.timeAt(x + 1.0f) - cue.startMs;
                const Envelope e = waveform->envelope(from, std::max(to, from + 1));
                if (e.empty) continue;
                list->AddLine(ImVec2(x + 0.5f, centre - e.maximum * half), ImVec2(x + 0.5f, centre - e.minimum * half + 1.0f),
                              kWaveEnvelope);
                list->AddLine(ImVec2(x + 0.5f, centre - e.rms * half), ImVec2(x + 0.5f, centre + e.rms * half + 1.0f), kWaveRms);
            }
        }
        list->AddLine(ImVec2(left, top), ImVec2(left, top + height), kCueMark, 2.0f);
        label(list, left + 2.0f, right, top, ImGui::GetFontSize() + 2.0f, kText, cue.member);
    }
}

void drawRows(ImDrawList* list, const TimelineLayout& layout, const TimelineChart& chart,
              const TimelineSelection* selection) {
    for (size_t r = 0; r < chart.rows.size(); ++r) {
        const ChartRow& row = chart.rows[r];
        const float top = layout.laneTop(r, 0);
        const float stripTop = layout.tickStripTop(int(r));
        const float lanesBottom = layout.laneTop(r, row.lanes - 1) + layout.laneHeight();
        const float bottom = stripTop > top ? stripTop + layout.tickStripHeight() : lanesBottom;
        list->AddRectFilled(ImVec2(layout.topLeft().x, top), ImVec2(layout.axisLeft() - 2.0f, bottom), kGutter);
        list->AddRectFilled(ImVec2(layout.axisLeft(), top), ImVec2(layout.axisRight(), bottom), kRowShade);
        // A narrow gutter keeps the layer's number rather than a shortened word.
        std::string name = "layer " + std::to_string(row.layer);
        if (ImGui::CalcTextSize(name.c_str()).x > layout.gutterWidth() - 2.0f * kPadding) name = std::to_string(row.layer);
        label(list, layout.topLeft().x, layout.axisLeft(), top, layout.laneHeight(), kDimText, name);
        for (const ChartBox& box : row.boxes) {
            const float left = std::max(layout.xOf(box.startMs), layout.axisLeft());
            const float right = std::min(std::max(layout.xOf(box.endMs), left + 2.0f), layout.axisRight());
            if (right <= left || layout.xOf(box.startMs) > layout.axisRight()) continue;
            const float y = layout.laneTop(r, box.lane);
            list->AddRectFilled(ImVec2(left, y + 1.0f), ImVec2(right - 1.0f, y + layout.laneHeight() - 1.0f),
                                effectColour(box.effect), 3.0f);
            label(list, left, right, y, layout.laneHeight(), kBoxText, box.name);
            if (selection && selection->contains(box))
                list->AddRect(ImVec2(left, y + 1.0f), ImVec2(right - 1.0f, y + layout.laneHeight() - 1.0f), kSelected,
                              3.0f, 0, 2.0f);
        }
    }
    // Ticks under their run; those at one time on one row share a label ("M0 S1").
    std::map<std::pair<int, int64_t>, std::string> labels;
    std::set<std::pair<int, int64_t>> selected;
    for (const ChartTick& tick : chart.ticks) {
        if (selection && selection->contains(tick)) selected.insert({tick.row, tick.timeMs});
        std::string shortLabel = tick.label.substr(tick.label.find(' ') + 1);                 // "METHOD 3"
        shortLabel = shortLabel.substr(0, 1) + shortLabel.substr(shortLabel.rfind(' ') + 1);  // "M3"
        std::string& text = labels[{tick.row, tick.timeMs}];
        text += (text.empty() ? "" : " ") + shortLabel;
    }
    // A label that would run into the one before it on its row is left to the tooltip.
    std::map<int, float> labelEnds;
    for (const auto& [key, text] : labels) {
        const auto& [row, timeMs] = key;
        if (timeMs < layout.view().fromMs || timeMs > layout.view().toMs) continue;
        const float x = layout.xOf(timeMs);
        const float y = layout.tickStripTop(row);
        const float h = kTickHeight * layout.scale(), w = kTickHalfWidth * layout.scale();
        list->AddTriangleFilled(ImVec2(x, y), ImVec2(x + w, y + h), ImVec2(x - w, y + h), kTick);
        if (selected.count(key))
            list->AddTriangle(ImVec2(x, y - 1.0f), ImVec2(x + w + 2.0f, y + h + 1.0f), ImVec2(x - w - 2.0f, y + h + 1.0f),
                              kSelected, 2.0f);
        const auto end = labelEnds.find(row);
        if (end != labelEnds.end() && x + kTickLabelOffset < end->second) continue;
        list->AddText(ImVec2(x + kTickLabelOffset, y + 1.0f), kDimText, text.c_str());
        labelEnds[row] = x + kTickLabelOffset + ImGui::CalcTextSize(text.c_str()).x + kTickLabelGap;
    }
}

void drawMarks(ImDrawList* list, const TimelineLayout& layout, const TimelineMarks& marks) {
    const float top = layout.rulerTop(), bottom = layout.topLeft().y + layout.height();
    if (marks.loop) {
        const float left = std::max(layout.xOf(marks.loop->fromMs), layout.axisLeft());
        const float right = std::min(layout.xOf(marks.loop->toMs), layout.axisRight());
        if (right > left) {
            list->AddRectFilled(ImVec2(left, top), ImVec2(right, bottom), kLoopBand);
            list->AddLine(ImVec2(left, top), ImVec2(left, bottom), kLoopEdge, 2.0f);
            list->AddLine(ImVec2(right, top), ImVec2(right, bottom), kLoopEdge, 2.0f);
        }
    }
    if (marks.playheadMs && *marks.playheadMs >= layout.view().fromMs && *marks.playheadMs <= layout.view().toMs) {
        const float x = layout.xOf(*marks.playheadMs);
        list->AddLine(ImVec2(x, top), ImVec2(x, bottom), kPlayhead, 2.0f);
        list->AddTriangleFilled(ImVec2(x - 6.0f, top), ImVec2(x + 6.0f, top), ImVec2(x, top + 9.0f), kPlayhead);
    }
}

}  // namespace

void drawTimeline(ImDrawList* list, const TimelineLayout& layout, const TimelineChart& chart, const Waveforms* waveforms,
                  const TimelineMarks& marks) {
    const ImVec2 topLeft = layout.topLeft();
    const ImVec2 bottomRight(layout.axisRight(), topLeft.y + layout.height());
    list->PushClipRect(topLeft, bottomRight, true);
    list->AddRectFilled(topLeft, bottomRight, kBackground);
    // Faint bar lines behind the rows.
    for (const BeatMark& beat : chart.tempo.beatsBetween(layout.view().fromMs, layout.view().toMs))
        if (beat.beat == 1)
            list->AddLine(ImVec2(layout.xOf(beat.timeMs), layout.waveTop()), ImVec2(layout.xOf(beat.timeMs), bottomRight.y),
                          kGridLine);
    drawSections(list, layout, chart);
    drawRuler(list, layout, chart);
    drawWave(list, layout, chart, waveforms);
    drawRows(list, layout, chart, marks.selection);
    drawMarks(list, layout, marks);
    list->PopClipRect();
}

TimelineRequest timelineInput(const TimelineLayout& layout, const TimelineChart& chart) {
    TimelineRequest request;
    const ImGuiIO& io = ImGui::GetIO();
    const ImVec2 mouse = io.MousePos;
    const auto snapped = [&](float x) {
        const int64_t t = std::clamp<int64_t>(layout.timeAt(x), 0, chart.endMs);
        return io.KeyAlt ? t : std::clamp<int64_t>(chart.tempo.nearestBeat(t, false), 0, chart.endMs);
    };
    const ImVec2 pressedAt = io.MouseClickedPos[ImGuiMouseButton_Left];
    const bool pressedOnRuler = layout.inRuler(pressedAt);
    if (pressedOnRuler && (ImGui::IsMouseDown(ImGuiMouseButton_Left) || ImGui::IsMouseReleased(ImGuiMouseButton_Left))) {
        if (io.KeyShift) {
            TimeRange range{snapped(pressedAt.x), snapped(mouse.x)};
            if (range.fromMs > range.toMs) std::swap(range.fromMs, range.toMs);
            if (range.toMs > range.fromMs) {
                if (ImGui::IsMouseReleased(ImGuiMouseButton_Left))
                    request.markRange = range;
                else
                    request.dragRange = range;
            }
        } else if (ImGui::IsMouseClicked(ImGuiMouseButton_Left) ||
                   ImGui::IsMouseDragging(ImGuiMouseButton_Left, 0.0f)) {
            request.seekMs = snapped(mouse.x);
        }
    }
    if (layout.inRuler(mouse) && ImGui::IsMouseClicked(ImGuiMouseButton_Right)) request.clearRange = true;

    if (const ChartTick* tick = layout.tickAt(mouse, 4.0f)) {
        ImGui::SetTooltip("%s at %s\n%s", tick->label.c_str(), formatShowTime(tick->timeMs).c_str(),
                          chart.where(tick->line).c_str());
    } else if (const ChartBox* box = layout.boxAt(mouse)) {
        ImGui::SetTooltip("%s %s-%s\n%s", box->name.c_str(), minutesSeconds(box->startMs).c_str(),
                          minutesSeconds(box->endMs).c_str(), chart.where(box->line).c_str());
    } else if (mouse.y >= layout.sectionsTop() && mouse.y < layout.rulerTop() && mouse.x >= layout.axisLeft()) {
        if (const ChartSection* section = sectionAt(chart, layout.timeAt(mouse.x)))
            ImGui::SetTooltip("%s\n%s", section->title.c_str(), chart.where(section->line).c_str());
    } else if (mouse.y >= layout.waveTop() && mouse.y < layout.rowsTop() && mouse.x >= layout.axisLeft()) {
        const int64_t t = layout.timeAt(mouse.x);
        for (const ChartCue& cue : chart.cues)
            if (cue.startMs <= t && t < cue.endMs)
                ImGui::SetTooltip("%s %s-%s\n%s", cue.member.c_str(), minutesSeconds(cue.startMs).c_str(),
                                  minutesSeconds(cue.endMs).c_str(), chart.where(cue.line).c_str());
    }
    return request;
}

}  // namespace glimmerq
