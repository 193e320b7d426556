// timeline_editing.h: the mouse and the keys on the overlay's timeline as edits of the show.
//
//   TimelineEditing editing;
//   EditRequest edit = editing.mouse(layout, chart, &selection);   // in an ImGui frame
//   editing.drawPreview(list, layout, chart, selection);            // where a drag would put things
//   if (edit.kind == EditRequest::Kind::Apply) editor.apply(edit.edit);  // runtime/edit/
//   EditRequest key = editForKey(keys::kRight, kShift, selection, chart);  // a bar later
//
// The mouse: a click selects a run or tick (Shift adds, Ctrl toggles); dragging a run's body
// moves it, with the rest of the selection, in time and, over another row, to that row's
// layer (below the last row: a new layer); dragging its left or right edge moves only its
// start or stop; dragging a tick moves it. The grabbed time snaps to the nearest beat, with
// Shift to the bar, with Alt to the millisecond, and is shown while dragging as bar.beat
// and m:ss. A drag on a row's empty space selects the runs and ticks of the rows it spans;
// a plain click there selects nothing. A drag is one edit, asked for when it is released.
// The keys (with a selection): Left/Right nudge it a beat (Shift: a bar), Delete removes it,
// Ctrl+D duplicates it after itself; always: Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo.
// Not here: what an edit does to the script and its file (runtime/edit/script_editor.h),
// the ruler's seeks and loop ranges (timeline_view.h).
#pragma once

#include "runtime/display/window_event.h"
#include "runtime/edit/edit.h"
#include "runtime/overlay/timeline_layout.h"
#include "runtime/overlay/timeline_selection.h"

#include <imgui.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace glimmerq {

// What the maker asked of the script: an edit, or a step back or forward.
struct EditRequest {
    enum class Kind { None, Apply, Undo, Redo };
    Kind kind = Kind::None;
    Edit edit;  // Apply
};

// What a key (window_event.h: its symbol and Modifier bits) asks of the selection;
// Kind::None leaves the key to the player's controls.
EditRequest editForKey(int32_t key, uint16_t modifiers, const TimelineSelection& selection, const TimelineChart& chart);

class TimelineEditing {
public:
    // Reads ImGui's left button over the chart; the edit a drag asked for once released.
    EditRequest mouse(const TimelineLayout& layout, const TimelineChart& chart, TimelineSelection* selection);
    // The moved items at their new places, the band, and the snapped time by the mouse.
    void drawPreview(ImDrawList* list, const TimelineLayout& layout, const TimelineChart& chart,
                     const TimelineSelection& selection) const;
    // A drag is under way: tooltips and the ruler leave the mouse alone.
    bool dragging() const { return drag_.part != Drag::Part::None && drag_.moved; }

private:
    struct Drag {
        enum class Part { None, Run, RunStart, RunStop, Tick, Band };
        Part part = Part::None;
        SelectionKey key;             // the grabbed item
        int line = 0;                 // and its line
        int64_t anchorMs = 0;         // the grabbed time: a start, a stop, a tick's time
        int64_t limitMs = 0;          // an edge may not pass the other one
        int row = -1;                 // where it was grabbed
        ImVec2 pressedAt;
        bool moved = false;           // past ImGui's drag threshold
        bool alreadySelected = false; // a plain click on it selects it alone when released
        TimelineSelection::Modifier modifier = TimelineSelection::Modifier::None;
        int64_t deltaMs = 0;          // snapped
        int layerDelta = 0;
        ImVec2 mouse;
    };
    void follow(const TimelineLayout& layout, const TimelineChart& chart);

    Drag drag_;
};

}  // namespace glimmerq
