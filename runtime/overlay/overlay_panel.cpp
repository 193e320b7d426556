#include "runtime/overlay/overlay_panel.h"

#include "runtime/base/show_time.h"
#include "runtime/overlay/overlay_scale.h"
#include "runtime/overlay/snap_text.h"

#include <imgui.h>

#include <cmath>
#include <map>
#include <set>

namespace glimmerq {

namespace {

constexpr float kTimelineBackgroundAlpha = 0.85f;
constexpr float kPanelBackgroundAlpha = 0.70f;
constexpr float kMargin = 8.0f;          // pixels from the display's edges, at scale 1
constexpr float kLineGap = 4.0f;         // between the status line, the chart and the legend
constexpr float kWheelZoom = 1.25f;      // one notch of Ctrl+wheel
constexpr float kWheelPan = 0.1f;        // one notch of the wheel pans this share of the view
constexpr int kAddedRunBars = 4;         // how long a run added from the list lasts
const ImU32 kErrorBack = IM_COL32(150, 30, 30, 235);
const ImU32 kNoteBack = IM_COL32(60, 66, 90, 235);
const ImU32 kStatusText = IM_COL32(255, 255, 255, 255);
const ImU32 kLegendText = IM_COL32(150, 156, 170, 255);
const char kAddPopup[] = "##glimmerq-add-run";
const ImGuiWindowFlags kFixedWindow = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                      ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                      ImGuiWindowFlags_NoNav;

// The wheel over the chart: Ctrl zooms about the mouse, else it pans; the middle button drags.
void navigate(const TimelineLayout& layout, TimelineZoom* zoom) {
    const ImGuiIO& io = ImGui::GetIO();
    const ImVec2 mouse = io.MousePos;
    const bool over = mouse.x >= layout.topLeft().x && mouse.x <= layout.axisRight() && mouse.y >= layout.topLeft().y &&
                      mouse.y <= layout.bottom();
    if (over && io.MouseWheel != 0.0f) {
        if (io.KeyCtrl)
            zoom->zoomAt(layout.timeAt(mouse.x), std::pow(kWheelZoom, io.MouseWheel));
        else
            zoom->panBy(-int64_t(io.MouseWheel * kWheelPan * float(zoom->spanMs())));
    }
    if (over && io.MouseWheelH != 0.0f) zoom->panBy(int64_t(io.MouseWheelH * kWheelPan * float(zoom->spanMs())));
    if (ImGui::IsMouseDragging(ImGuiMouseButton_Middle, 0.0f) && io.MouseDelta.x != 0.0f)
        zoom->panBy(layout.timeAt(layout.axisLeft()) - layout.timeAt(layout.axisLeft() + io.MouseDelta.x));
}

// The list of effects to add a run of at the playhead (on the lowest free layer, the edit
// model decides), each greyed out while it runs there.
EditRequest addRunList(const TimelineChart& chart, const TimelineWindowState& state, int64_t playheadMs) {
    EditRequest request;
    if (!ImGui::BeginPopup(kAddPopup)) return request;
    const int64_t from = snapTime(chart.tempo, playheadMs, Snap::Beat);
    const int64_t to = std::min(stepOnGrid(chart.tempo, from, kAddedRunBars, Snap::Bar), chart.endMs);
    ImGui::TextDisabled("add a run at %s", snappedTimeText(chart.tempo, from).c_str());
    ImGui::Separator();
    std::set<int> busy;
    for (const ChartRow& row : chart.rows)
        for (const ChartBox& box : row.boxes)
            if (box.startMs < to && from < box.endMs) busy.insert(box.effect);
    for (size_t i = 0; i < state.effectNames.size(); ++i) {
        const ImGuiSelectableFlags flags = busy.count(int(i)) || to <= from ? ImGuiSelectableFlags_Disabled : 0;
        if (ImGui::Selectable(state.effectNames[i].c_str(), false, flags)) {
            request.kind = EditRequest::Kind::Apply;
            request.edit = Edit::addRun(state.effectNames[i], from, to - from);
        }
    }
    ImGui::EndPopup();
    return request;
}

}  // namespace

std::string barBeatText(const TempoMap& tempo, int64_t timeMs) {
    const auto where = tempo.at(timeMs);
    return where ? std::to_string(where->bar) + "." + std::to_string(where->beat) : std::string("-");
}

std::string tickLegend(const TimelineChart& chart) {
    std::map<std::string, std::set<std::string>> meanings;  // "M" -> {"CLEAR METHOD"}
    for (const ChartTick& tick : chart.ticks) {
        if (tick.parameter.empty()) continue;
        meanings[tick.parameter.substr(0, 1)].insert(tick.label.substr(0, tick.label.find(' ')) + " " + tick.parameter);
    }
    if (meanings.empty()) return std::string();
    std::string text = "ticks: a parameter set at that time, with its value:";
    for (const auto& [letter, names] : meanings) {
        std::string joined;
        for (const std::string& name : names) joined += (joined.empty() ? "" : " or ") + name;
        text += " " + letter + " " + joined + ",";
    }
    text.pop_back();
    return text;
}

TimelineWindowInput drawTimelineWindow(const TimelineChart& chart, const Waveforms* waveforms,
                                       const TimelineMarks& marks, TimelineWindowState* state) {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const float line = ImGui::GetFontSize();  // at scale 1
    const bool hasStatus = state->status.kind != StatusLine::Kind::None;
    const std::string legend = tickLegend(chart);
    const float textLines = (hasStatus ? line : 0.0f) + (legend.empty() ? 0.0f : line);
    const float natural = TimelineLayout::heightFor(chart) + 2.0f * kMargin + textLines +
                          (hasStatus ? kLineGap : 0.0f) + (legend.empty() ? 0.0f : kLineGap);
    const float scale = overlayScale(display.y, natural, textLines), textScale = overlayTextScale(scale);
    state->scale = scale;
    const float height = (natural - textLines) * scale + textLines * textScale, margin = kMargin * scale;
    ImGui::SetNextWindowPos(ImVec2(0.0f, display.y - height));
    ImGui::SetNextWindowSize(ImVec2(display.x, height));
    ImGui::SetNextWindowBgAlpha(kTimelineBackgroundAlpha);
    TimelineWindowInput input;
    if (ImGui::Begin("##glimmerq-timeline", nullptr, kFixedWindow)) {
        ImGui::SetWindowFontScale(textScale);
        ImDrawList* list = ImGui::GetWindowDrawList();
        float y = display.y - height + margin;
        const float scaledLine = line * textScale, gap = kLineGap * scale;
        if (hasStatus) {
            const bool error = state->status.kind == StatusLine::Kind::Error;
            list->AddRectFilled(ImVec2(margin, y - 1.0f), ImVec2(display.x - margin, y + scaledLine + 1.0f),
                                error ? kErrorBack : kNoteBack, 2.0f);
            float textRight = display.x - margin;
            if (!state->status.action.empty()) {
                const ImVec2 size = ImGui::CalcTextSize(state->status.action.c_str());
                ImGui::SetCursorScreenPos(ImVec2(display.x - margin - size.x - 8.0f * scale, y - 1.0f));
                ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(4.0f * scale, 0.0f));
                input.actionPressed = ImGui::SmallButton(state->status.action.c_str());
                ImGui::PopStyleVar();
                textRight -= size.x + 12.0f * scale;
            }
            list->PushClipRect(ImVec2(margin, y - 1.0f), ImVec2(textRight, y + scaledLine + 1.0f), true);
            list->AddText(ImVec2(margin + 4.0f * scale, y), kStatusText, state->status.text.c_str());
            list->PopClipRect();
            if (ImGui::IsMouseHoveringRect(ImVec2(margin, y), ImVec2(textRight, y + scaledLine)))
                ImGui::SetTooltip("%s", state->status.text.c_str());
            y += scaledLine + gap;
        }
        state->zoom.setEnd(chart.endMs);
        const TimelineLayout layout(chart, ImVec2(margin, y), display.x - 2.0f * margin, state->zoom.view(), scale);
        state->chartTopLeft = layout.topLeft();
        state->chartWidth = layout.width();
        TimelineMarks shown = marks;
        shown.selection = &state->selection;
        drawTimeline(list, layout, chart, waveforms, shown);
        if (state->editable) {
            input.edit = state->editing.mouse(layout, chart, &state->selection);
            state->editing.drawPreview(list, layout, chart, state->selection);
        }
        if (!state->editing.dragging()) input.ruler = timelineInput(layout, chart);
        navigate(layout, &state->zoom);
        if (!legend.empty())
            list->AddText(ImVec2(margin, layout.bottom() + gap), kLegendText, legend.c_str());

        // The list of effects: from a right click on a row, or the "+" in the gutter.
        if (state->editable) {
            const TimelineHit hit = layout.hitAt(ImGui::GetIO().MousePos);
            ImGui::SetCursorScreenPos(ImVec2(layout.topLeft().x + gap, layout.sectionsTop()));
            const bool plus = ImGui::SmallButton("+ run");
            if (plus || (hit.part == TimelineHit::Part::Row && ImGui::IsMouseClicked(ImGuiMouseButton_Right)))
                ImGui::OpenPopup(kAddPopup);
            const EditRequest added = addRunList(chart, *state, marks.playheadMs.value_or(0));
            if (added.kind != EditRequest::Kind::None) input.edit = added;
        }
    }
    ImGui::End();
    return input;
}

void drawOverlayPanel(const TimelineChart& chart, const PanelInfo& info, float scale) {
    ImGui::SetNextWindowPos(ImVec2(kMargin * scale, kMargin * scale));
    ImGui::SetNextWindowBgAlpha(kPanelBackgroundAlpha);
    if (ImGui::Begin("##glimmerq-panel", nullptr, kFixedWindow | ImGuiWindowFlags_AlwaysAutoResize)) {
        ImGui::SetWindowFontScale(overlayTextScale(scale));
        const ChartSection* section = sectionAt(chart, info.timeMs);
        if (!info.seeking.empty())
            ImGui::TextUnformatted(info.seeking.c_str());
        else
            ImGui::Text("%s%s", formatShowTime(info.timeMs).c_str(), info.paused ? "  (paused)" : "");
        ImGui::Text("bar %s%s%s", barBeatText(chart.tempo, info.timeMs).c_str(), section ? "  " : "",
                    section ? section->title.c_str() : "");
        ImGui::Text("%.0f fps, last frame %.1f ms", info.framesPerSecond, info.lastFrameMs);
        std::string running;
        for (const ChartBox* box : runsAt(chart, info.timeMs)) running += (running.empty() ? "" : " ") + box->name;
        ImGui::TextUnformatted(running.empty() ? "nothing running" : running.c_str());
    }
    ImGui::End();
}

}  // namespace glimmerq
