#include "runtime/overlay/overlay_panel.h"

#include "runtime/base/show_time.h"

#include <imgui.h>

namespace glimmerq {

namespace {

constexpr float kTimelineBackgroundAlpha = 0.85f;
constexpr float kPanelBackgroundAlpha = 0.70f;
constexpr float kMargin = 8.0f;  // pixels from the display's edges
const ImGuiWindowFlags kFixedWindow = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                      ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                      ImGuiWindowFlags_NoNav;

}  // namespace

std::string barBeatText(const TempoMap& tempo, int64_t timeMs) {
    const auto where = tempo.at(timeMs);
    return where ? std::to_string(where->bar) + "." + std::to_string(where->beat) : std::string("-");
}

TimelineRequest drawTimelineWindow(const TimelineChart& chart, const Waveforms* waveforms, TimeRange view,
                                   const TimelineMarks& marks) {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const float height = TimelineLayout::heightFor(chart) + 2.0f * kMargin;
    ImGui::SetNextWindowPos(ImVec2(0.0f, display.y - height));
    ImGui::SetNextWindowSize(ImVec2(display.x, height));
    ImGui::SetNextWindowBgAlpha(kTimelineBackgroundAlpha);
    TimelineRequest request;
    if (ImGui::Begin("##glimmerq-timeline", nullptr, kFixedWindow)) {
        const TimelineLayout layout(chart, ImVec2(kMargin, display.y - height + kMargin), display.x - 2.0f * kMargin, view);
        drawTimeline(ImGui::GetWindowDrawList(), layout, chart, waveforms, marks);
        request = timelineInput(layout, chart);
    }
    ImGui::End();
    return request;
}

void drawOverlayPanel(const TimelineChart& chart, const PanelInfo& info) {
    ImGui::SetNextWindowPos(ImVec2(kMargin, kMargin));
    ImGui::SetNextWindowBgAlpha(kPanelBackgroundAlpha);
    if (ImGui::Begin("##glimmerq-panel", nullptr, kFixedWindow | ImGuiWindowFlags_AlwaysAutoResize)) {
        const ChartSection* section = sectionAt(chart, info.timeMs);
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
