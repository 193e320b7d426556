// timeline_overlay.h: the timeline over the picture in a window, for the person at it: Tab
// shows and hides it, the mouse on its ruler seeks and marks the loop range, and on its rows
// edits the show (timeline_editing.h), written back to the script at once.
//
//   auto overlay = TimelineOverlay::create(window, data, scriptName, effectNames, say, &error);
//   overlay->useScript(timeline.script());   // at the start and after every reload
//   windowOutput.setOverlay(overlay.get());  // drawn between the picture and the swap
//   player.addListener(overlay.get());       // where the show is, pause, the loop range
//   windowInput.addHandler(overlay.get());   // before the keys: the window's events
//   player.addControls(overlay.get());       // what the mouse asked for, and an edit's reload
//   keys.onAction(KeyAction::ToggleOverlay, [&] { overlay->toggle(); });   // Tab
//   overlay->reloadFailed(message);          // a script error: shown until a reload succeeds
//
// It is handed every window event before the keys (window_input.h). While it is shown, the
// mouse over its windows is ImGui's; keys stay the keys' (also while a mouse button is held
// on it), unless a text field has the keyboard. Hidden, it draws nothing and costs nothing
// per frame. The chart is rebuilt for each script; a track's waveform is
// decoded when the overlay is first shown, and again only when that member's file changed
// (its stamp, data_source.h). Visibility and the playhead's place survive a reload; the loop
// range is the player's and survives it too.
// Edits: in a data directory the overlay keeps a ScriptEditor on the script's file; each
// edit, undo or redo is written through it and then asks the player to reload, as --watch
// does (one reload, however the watcher saw the write), keeping the playhead, the view and
// the selection (the items the edit names). A refused edit writes nothing and says why on
// the status line. An archive is never edited: the status line says so and offers to unpack
// it into a new folder (data_unpack.h), where editing and watching carry on.
// Not here: the drawing (timeline_view.h, overlay_panel.h) and its GL state guard
// (overlay_renderer.h); what a seek or a range does (player.h).
#pragma once

#include "runtime/data/data_source.h"
#include "runtime/display/window.h"
#include "runtime/input/input_handler.h"
#include "runtime/outputs/picture_overlay.h"
#include "runtime/edit/script_editor.h"
#include "runtime/overlay/overlay_panel.h"
#include "runtime/overlay/overlay_renderer.h"
#include "runtime/overlay/timeline_chart.h"
#include "runtime/overlay/waveform.h"
#include "runtime/play/player.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

class TimelineOverlay : public PictureOverlay, public PlaybackListener, public Controls, public InputHandler {
public:
    // With the window's GL context current; null with *error when ImGui cannot be set up.
    // say reports a track whose waveform cannot be drawn.
    static std::unique_ptr<TimelineOverlay> create(Window& window, const DataSource& data,
                                                   std::string scriptName, std::vector<std::string> effectNames,
                                                   std::function<void(const std::string&)> say, std::string* error);
    ~TimelineOverlay() override;

    void useScript(const Script& script);
    // A reload found the script wrong: the message stays on the status line until a script
    // parses again.
    void reloadFailed(const std::string& message);
    // For an archive: unpacks it into a new folder the run carries on from (the folder, or
    // nullopt with *error). The status line then offers it; once done, edits go there.
    void setUnpack(std::function<std::optional<std::string>(std::string* error)> unpack);
    bool visible() const { return visible_; }
    void toggle() { visible_ = !visible_; }
    const TimelineChart& chart() const { return chart_; }
    const TimelineSelection& selection() const { return state_.selection; }
    const StatusLine& status() const { return state_.status; }
    // Where the chart was last drawn, in the window's points (to aim the mouse at a run).
    TimelineLayout layout() const {
        return TimelineLayout(chart_, state_.chartTopLeft, state_.chartWidth, state_.zoom.view(), state_.scale);
    }

    // PictureOverlay
    void frameShown(const Frame& frame) override;
    void drawOver(int width, int height) override;
    // PlaybackListener
    void restarted(int64_t timeMs) override {
        nowMs_ = timeMs;
        seeking_.clear();
    }
    // Dear ImGui's default font has no ellipsis.
    void seeking(int64_t targetMs, double fraction) override { seeking_ = seekingText(targetMs, fraction, true); }
    void pausedChanged(bool paused, int64_t timeMs) override;
    void rangeChanged(const std::optional<LoopRange>& range) override { range_ = range; }
    // Controls: the mouse's seeks and ranges since the last poll.
    Commands poll() override;
    // InputHandler: every event reaches ImGui, so that its idea of the buttons stays true
    // while it is hidden; shown, it takes what ImGui wants (renderer's handleEvent).
    bool handle(const WindowEvent& event) override;

private:
    explicit TimelineOverlay(const DataSource& data) : data_(data) {}
    void decodeWaveforms();
    void take(const struct TimelineRequest& request);
    bool handleKey(const WindowEvent& event);
    void perform(const EditRequest& request);
    void note(StatusLine::Kind kind, std::string text);
    void openEditor(const std::string& folder);
    void unpack();

    const DataSource& data_;
    std::string scriptName_;
    std::vector<std::string> effectNames_;
    std::function<void(const std::string&)> say_;
    std::unique_ptr<OverlayRenderer> renderer_;
    std::optional<ScriptEditor> editor_;  // a data directory's script; none for an archive
    std::function<std::optional<std::string>(std::string* error)> unpack_;
    std::string scriptError_;             // the last reload's, until one succeeds
    std::vector<int> selectAfterReload_;  // the lines the last edit names

    TimelineChart chart_;
    Waveforms waveforms_;
    std::map<std::string, std::string> decodedStamps_;  // member -> stamp it was decoded (or tried) at
    bool waveformsStale_ = true;

    bool visible_ = false;
    int64_t nowMs_ = 0;
    std::string seeking_;  // a long seek under way, said on the panel
    bool paused_ = false;
    double lastFrameMs_ = 0;
    std::deque<int64_t> frameStarts_;  // the last second's frames, run clock microseconds
    std::optional<LoopRange> range_;
    std::optional<LoopRange> dragRange_;  // a Shift-drag not yet released
    std::optional<int64_t> lastSeekMs_;   // while the mouse is held on the ruler
    Commands pending_;                    // what the mouse asked for since the last poll
    TimelineWindowState state_;           // view, selection, the drag under way, the status line
};

}  // namespace glimmerq
