// The keys that edit the selection on the overlay: which edit each asks for, and which it
// leaves to the player's controls.
#include "runtime/overlay/timeline_editing.h"

#include <gtest/gtest.h>

using namespace glimmerq;

TEST(TimelineEditing, KeysEditTheSelectionUndoAndRedoAndLeaveTheRestToTheControls) {
    const std::vector<std::string> effects = {"CLEAR", "SPLASH"};
    std::string error;
    const auto script = parseScript("0 tempo 120 4\n@1 start CLEAR layer 0\n@2 start SPLASH layer 1\n@5 end\n", effects, &error);
    ASSERT_TRUE(script) << error;
    const TimelineChart chart = buildTimelineChart(*script, effects, "demoflow");
    TimelineSelection selected, none;
    selected.click(TimelineSelection::keyOf(chart.rows[1].boxes[0]), TimelineSelection::Modifier::None);

    using K = EditRequest::Kind;
    using E = Edit::Kind;
    struct Case {
        int32_t key;
        uint16_t modifiers;
        bool withSelection;
        K kind;
        E edit;         // Apply only
        int steps;      // Nudge
        Snap unit;      // Nudge
    };
    const Case cases[] = {
        {keys::kRight, 0, true, K::Apply, E::Nudge, 1, Snap::Beat},
        {keys::kLeft, kShift, true, K::Apply, E::Nudge, -1, Snap::Bar},
        {keys::kDelete, 0, true, K::Apply, E::Delete, 0, Snap::Beat},
        {'d', kCtrl, true, K::Apply, E::Duplicate, 0, Snap::Beat},
        {'z', kCtrl, false, K::Undo, E::Move, 0, Snap::Beat},
        {'z', kCtrl | kShift, false, K::Redo, E::Move, 0, Snap::Beat},
        {'y', kCtrl, true, K::Redo, E::Move, 0, Snap::Beat},
        // Left and Right without a selection seek; Ctrl+Right, Alt and plain letters are not ours.
        {keys::kRight, 0, false, K::None, E::Move, 0, Snap::Beat},
        {keys::kRight, kCtrl, true, K::None, E::Move, 0, Snap::Beat},
        {keys::kDelete, kAlt, true, K::None, E::Move, 0, Snap::Beat},
        {'d', 0, true, K::None, E::Move, 0, Snap::Beat},
        {keys::kDelete, 0, false, K::None, E::Move, 0, Snap::Beat},
    };
    for (const Case& c : cases) {
        const EditRequest request = editForKey(c.key, c.modifiers, c.withSelection ? selected : none, chart);
        const std::string what = "key " + std::to_string(c.key) + " with modifiers " + std::to_string(c.modifiers);
        ASSERT_EQ(request.kind, c.kind) << what;
        if (c.kind != K::Apply) continue;
        EXPECT_EQ(request.edit.kind, c.edit) << what;
        EXPECT_EQ(request.edit.lines, std::vector<int>{3}) << what << ": SPLASH's start line";
        if (c.edit != E::Nudge) continue;
        EXPECT_EQ(request.edit.gridSteps, c.steps) << what;
        EXPECT_EQ(request.edit.unit, c.unit) << what;
    }
}
