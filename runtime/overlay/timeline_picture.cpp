#include "runtime/overlay/timeline_picture.h"

#include "runtime/base/show_time.h"
#include "runtime/display/gl_context.h"
#include "runtime/display/render_target.h"
#include "runtime/gl/gl_state_guard.h"
#include "runtime/outputs/png_writer.h"
#include "runtime/overlay/overlay_renderer.h"
#include "runtime/overlay/timeline_view.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <imgui.h>

#include <cstdio>

namespace glimmerq {

namespace {

constexpr float kMargin = 16.0f;        // pixels around everything
constexpr float kTitleHeight = 26.0f;   // pixels for the title line
const ImU32 kPictureBackground = IM_COL32(16, 17, 22, 255);
const ImU32 kTitle = IM_COL32(235, 238, 245, 255);
const ImU32 kSubtitle = IM_COL32(150, 156, 170, 255);

std::string tempoText(const TempoMap& tempo) {
    if (tempo.empty()) return "no tempo";
    std::string text;
    for (const TempoGrid& grid : tempo.grids()) {
        char one[64];
        std::snprintf(one, sizeof one, "%s%g BPM, %d beats a bar from bar %d", text.empty() ? "" : "; ",
                      grid.beatsPerMinute, grid.beatsPerBar, grid.firstBar);
        text += one;
    }
    return text;
}

}  // namespace

bool drawTimelinePicture(OverlayRenderer& overlay, const TimelineChart& chart, const Waveforms* waveforms,
                         std::vector<unsigned char>* rgba, int* width, int* height, std::string* error) {
    *width = kPictureWidth;
    *height = int(2.0f * kMargin + kTitleHeight + TimelineLayout::heightFor(chart) + 0.5f);
    GlStateGuard guard;  // the target below binds itself
    RenderTarget target;
    if (!target.create(*width, *height, error)) return false;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    overlay.beginFrame(*width, *height);
    ImDrawList* list = ImGui::GetBackgroundDrawList();
    list->AddRectFilled(ImVec2(0, 0), ImVec2(float(*width), float(*height)), kPictureBackground);
    const std::string title = chart.scriptName;
    const std::string subtitle = formatShowTime(chart.endMs, ShowTimeStyle::Short) + ", " + tempoText(chart.tempo) + ", " +
                                 std::to_string(chart.rows.size()) + " layers";
    list->AddText(ImVec2(kMargin, kMargin + 4.0f), kTitle, title.c_str());
    list->AddText(ImVec2(kMargin + ImGui::CalcTextSize(title.c_str()).x + 12.0f, kMargin + 4.0f), kSubtitle,
                  subtitle.c_str());
    const TimelineLayout layout(chart, ImVec2(kMargin, kMargin + kTitleHeight), float(*width) - 2.0f * kMargin,
                                {0, std::max<int64_t>(chart.endMs, 1)});
    drawTimeline(list, layout, chart, waveforms, TimelineMarks{});
    overlay.endFrame();
    target.readPixels(rgba);
    return true;
}

bool writeTimelinePicture(const std::string& path, const TimelineChart& chart, const Waveforms* waveforms,
                          std::string* error) {
    auto context = HeadlessGlContext::create(error);
    if (!context) return false;
    auto overlay = OverlayRenderer::create(error);
    if (!overlay) return false;
    std::vector<unsigned char> rgba;
    int width = 0, height = 0;
    if (!drawTimelinePicture(*overlay, chart, waveforms, &rgba, &width, &height, error)) return false;
    overlay.reset();  // before the context goes
    // Written beside and renamed, so a failure leaves neither a partial file nor a changed old one.
    const std::string part = path + ".part";
    if (!writePng(part, width, height, rgba, error)) {
        std::remove(part.c_str());
        *error = path + ": cannot be written";
        return false;
    }
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        std::remove(part.c_str());
        *error = path + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace glimmerq
