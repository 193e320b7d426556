#include "runtime/overlay/timeline_overlay.h"

#include "runtime/overlay/overlay_panel.h"
#include "runtime/overlay/timeline_view.h"

#include <imgui.h>

namespace glimmerq {

namespace {

constexpr int64_t kRateWindowMicros = 1000000;  // frames a second, counted over the last second

TimeRange toView(const LoopRange& range) { return {range.fromMs, range.toMs}; }
LoopRange toLoop(const TimeRange& range) { return {range.fromMs, range.toMs}; }

}  // namespace

std::unique_ptr<TimelineOverlay> TimelineOverlay::create(Window& window, const DataSource& data,
                                                         std::string scriptName, std::vector<std::string> effectNames,
                                                         std::function<void(const std::string&)> say,
                                                         std::string* error) {
    std::unique_ptr<TimelineOverlay> overlay(new TimelineOverlay(data));
    overlay->renderer_ = OverlayRenderer::create(error);
    if (!overlay->renderer_ || !overlay->renderer_->attachWindow(window.sdlWindow(), window.glContext(), error))
        return nullptr;
    overlay->scriptName_ = std::move(scriptName);
    overlay->effectNames_ = std::move(effectNames);
    overlay->say_ = std::move(say);
    return overlay;
}

TimelineOverlay::~TimelineOverlay() = default;

void TimelineOverlay::useScript(const Script& script) {
    chart_ = buildTimelineChart(script, effectNames_, scriptName_);
    waveformsStale_ = true;  // looked at when next shown: only changed members are decoded
}

bool TimelineOverlay::handle(const WindowEvent& event) {
    const bool wanted = renderer_->handleEvent(event);
    return visible_ && wanted;
}

void TimelineOverlay::decodeWaveforms() {
    waveformsStale_ = false;
    Waveforms kept;
    for (const ChartCue& cue : chart_.cues) {
        if (kept.count(cue.member)) continue;
        const std::string stamp = data_.stamp(cue.member);
        const auto tried = decodedStamps_.find(cue.member);
        if (tried != decodedStamps_.end() && tried->second == stamp) {
            const auto found = waveforms_.find(cue.member);
            if (found != waveforms_.end()) kept[cue.member] = found->second;
            continue;
        }
        decodedStamps_[cue.member] = stamp;
        auto bytes = data_.read(cue.member);
        std::string why = "no such member";
        auto wave = bytes ? Waveform::decode(std::move(*bytes), &why) : nullptr;
        if (wave)
            kept[cue.member] = std::move(wave);
        else if (say_)
            say_(data_.origin() + ": " + cue.member + ": " + why + "; the timeline shows no waveform for it");
    }
    waveforms_ = std::move(kept);
}

void TimelineOverlay::frameShown(const Frame& frame) {
    nowMs_ = frame.timeMs;
    lastFrameMs_ = double(frame.drawMicros) / 1000.0;
    frameStarts_.push_back(frame.drawStartMicros);
    while (frameStarts_.front() < frame.drawStartMicros - kRateWindowMicros) frameStarts_.pop_front();
}

void TimelineOverlay::pausedChanged(bool paused, int64_t timeMs) {
    paused_ = paused;
    nowMs_ = timeMs;
}

void TimelineOverlay::drawOver(int width, int height) {
    if (!visible_ || width <= 0 || height <= 0) return;
    if (waveformsStale_) decodeWaveforms();
    double framesPerSecond = 0;
    if (frameStarts_.size() > 1 && frameStarts_.back() > frameStarts_.front())
        framesPerSecond = double(frameStarts_.size() - 1) * 1e6 / double(frameStarts_.back() - frameStarts_.front());

    TimelineMarks marks;
    marks.playheadMs = nowMs_;
    if (dragRange_)
        marks.loop = toView(*dragRange_);
    else if (range_)
        marks.loop = toView(*range_);
    renderer_->beginFrame(width, height);
    const TimelineRequest request = drawTimelineWindow(chart_, &waveforms_, {0, chart_.endMs}, marks);
    drawOverlayPanel(chart_, {nowMs_, framesPerSecond, lastFrameMs_, paused_});
    renderer_->endFrame();
    take(request);
}

// A mouse held still on the ruler asks for the same time every frame: seek once.
void TimelineOverlay::take(const TimelineRequest& request) {
    if (request.seekMs && request.seekMs != lastSeekMs_) pending_.seekToMs = request.seekMs;
    lastSeekMs_ = request.seekMs;
    if (request.markRange)
        pending_.range = toLoop(*request.markRange);
    else if (dragRange_ && !request.dragRange && !ImGui::IsMouseDown(ImGuiMouseButton_Left))
        pending_.range = dragRange_;  // Shift let go in the same frame as the button
    if (request.clearRange) {
        pending_.range.reset();
        pending_.clearRange = true;
    }
    dragRange_ = request.dragRange ? std::optional<LoopRange>(toLoop(*request.dragRange)) : std::nullopt;
}

Commands TimelineOverlay::poll() {
    Commands commands = pending_;
    pending_ = Commands();
    return commands;
}

}  // namespace glimmerq
