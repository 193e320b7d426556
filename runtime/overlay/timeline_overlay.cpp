#include "runtime/overlay/timeline_overlay.h"

#include "runtime/data/data_unpack.h"
#include "runtime/overlay/timeline_view.h"

#include <imgui.h>

#include <filesystem>

namespace glimmerq {

namespace {

constexpr int64_t kRateWindowMicros = 1000000;  // frames a second, counted over the last second
constexpr float kKeyZoom = 1.5f;                 // + and - zoom by this about the playhead
constexpr float kKeyPan = 0.5f;                  // Page Up and Page Down pan by this share of the view

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
    overlay->state_.effectNames = overlay->effectNames_;
    if (data.reloadable())
        overlay->openEditor(data.origin());
    else
        overlay->note(StatusLine::Kind::None, std::string());  // the archive's note
    return overlay;
}

TimelineOverlay::~TimelineOverlay() = default;

void TimelineOverlay::useScript(const Script& script) {
    chart_ = buildTimelineChart(script, effectNames_, scriptName_);
    waveformsStale_ = true;  // looked at when next shown: only changed members are decoded
    state_.zoom.setEnd(chart_.endMs);
    if (!selectAfterReload_.empty())
        state_.selection.selectLines(chart_, selectAfterReload_);
    else
        state_.selection.keepOnly(chart_);
    selectAfterReload_.clear();
    if (!scriptError_.empty()) {
        scriptError_.clear();
        note(StatusLine::Kind::None, std::string());
    }
}

void TimelineOverlay::reloadFailed(const std::string& message) {
    scriptError_ = message;
    state_.status = {StatusLine::Kind::Error, message, std::string()};
}

// The status line: a script error first, then the last edit's message, then the archive note.
void TimelineOverlay::note(StatusLine::Kind kind, std::string text) {
    if (!scriptError_.empty()) return;
    std::string action;
    if (kind == StatusLine::Kind::None && !editor_) {
        kind = StatusLine::Kind::Note;
        text = data_.origin() + " is an archive, which never changes: edits cannot be saved in it";
        if (unpack_) action = "unpack to " + freeUnpackFolder("", data_.origin()) + " and edit there";
    }
    state_.status = {kind, std::move(text), std::move(action)};
}

void TimelineOverlay::setUnpack(std::function<std::optional<std::string>(std::string* error)> unpack) {
    unpack_ = std::move(unpack);
    if (!editor_) note(StatusLine::Kind::None, std::string());
}

// The script's file in a data directory, named in messages as the session names it.
void TimelineOverlay::openEditor(const std::string& folder) {
    const std::string path = (std::filesystem::path(folder) / scriptName_).string();
    std::string why;
    editor_ = ScriptEditor::open(path, effectNames_, path, &why);
    if (!editor_ && say_) say_(why + "; the timeline cannot edit it");
    state_.editable = editor_.has_value();
}

void TimelineOverlay::unpack() {
    std::string why;
    const auto folder = unpack_ ? unpack_(&why) : std::nullopt;
    if (!folder) {
        note(StatusLine::Kind::Error, why);
        return;
    }
    unpack_ = nullptr;
    openEditor(*folder);
    note(StatusLine::Kind::Note, "unpacked into " + *folder + ": edits are saved there, and it is watched");
}

// An edit, undo or redo, written at once; the show reloads at the next poll.
void TimelineOverlay::perform(const EditRequest& request) {
    if (!editor_ || request.kind == EditRequest::Kind::None) return;
    // Back at the file as loaded (or at the newest step) is no mistake: a note, not an error.
    const EditModel& model = editor_->model();
    if ((request.kind == EditRequest::Kind::Undo && !model.canUndo()) ||
        (request.kind == EditRequest::Kind::Redo && !model.canRedo())) {
        note(StatusLine::Kind::Note, request.kind == EditRequest::Kind::Undo ? "nothing to undo" : "nothing to redo");
        return;
    }
    EditOutcome outcome;
    switch (request.kind) {
        case EditRequest::Kind::Apply: outcome = editor_->apply(request.edit); break;
        case EditRequest::Kind::Undo: outcome = editor_->undo(); break;
        case EditRequest::Kind::Redo: outcome = editor_->redo(); break;
        case EditRequest::Kind::None: break;
    }
    if (outcome.changed) {
        pending_.reload = true;
        selectAfterReload_ = outcome.lines;
    }
    if (!outcome.message.empty())
        note(outcome.changed ? StatusLine::Kind::Note : StatusLine::Kind::Error, outcome.message);
    else if (outcome.changed)
        note(StatusLine::Kind::None, std::string());
}

// While shown: the keys that edit, zoom and pan; every other key goes on to the controls.
bool TimelineOverlay::handleKey(const WindowEvent& event) {
    if (editor_) {
        const EditRequest request = editForKey(event.key, event.modifiers, state_.selection, chart_);
        if (request.kind != EditRequest::Kind::None) {
            perform(request);
            return true;
        }
    }
    if (event.modifiers & (kCtrl | kAlt | kSuper)) return false;
    TimelineZoom& zoom = state_.zoom;
    switch (event.key) {
        case '+':
        case '=': zoom.zoomAt(nowMs_, kKeyZoom); return true;
        case '-': zoom.zoomAt(nowMs_, 1.0f / kKeyZoom); return true;
        case '0': zoom.showAll(); return true;
        case keys::kPageUp: zoom.panBy(-int64_t(kKeyPan * float(zoom.spanMs()))); return true;
        case keys::kPageDown: zoom.panBy(int64_t(kKeyPan * float(zoom.spanMs()))); return true;
        default: return false;
    }
}

bool TimelineOverlay::handle(const WindowEvent& event) {
    const bool wanted = renderer_->handleEvent(event);
    if (visible_ && event.kind == WindowEvent::Kind::KeyDown && !ImGui::GetIO().WantTextInput && handleKey(event))
        return true;
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
    if (!state_.editing.dragging()) state_.zoom.follow(nowMs_, frame.timeMs);
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
    const TimelineWindowInput input = drawTimelineWindow(chart_, &waveforms_, marks, &state_);
    drawOverlayPanel(chart_, {nowMs_, framesPerSecond, lastFrameMs_, paused_, seeking_}, state_.scale);
    renderer_->endFrame();
    take(input.ruler);
    perform(input.edit);
    if (input.actionPressed) unpack();
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
    // An edit's reload joins the watch's in the player's one poll: one reload, however the
    // write was seen.
    Commands commands = pending_;
    pending_ = Commands();
    return commands;
}

}  // namespace glimmerq
