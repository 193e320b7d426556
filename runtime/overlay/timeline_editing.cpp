#include "runtime/overlay/timeline_editing.h"

#include "runtime/overlay/snap_text.h"

#include <algorithm>

namespace glimmerq {

namespace {

const ImU32 kGhostFill = IM_COL32(255, 255, 255, 46);
const ImU32 kGhostEdge = IM_COL32(255, 255, 255, 220);
const ImU32 kBandFill = IM_COL32(120, 170, 255, 40);
const ImU32 kBandEdge = IM_COL32(120, 170, 255, 200);
const ImU32 kTimeLabelBack = IM_COL32(16, 18, 22, 235);
const ImU32 kTimeLabelText = IM_COL32(255, 230, 140, 255);
constexpr float kTimeLabelLift = 6.0f;  // pixels between the mouse and the snapped time above it

using SelectModifier = TimelineSelection::Modifier;

SelectModifier modifierOf(const ImGuiIO& io) {
    if (io.KeyCtrl) return SelectModifier::Toggle;
    return io.KeyShift ? SelectModifier::Add : SelectModifier::None;
}

int rowOfLayer(const TimelineChart& chart, int layer) {
    for (size_t r = 0; r < chart.rows.size(); ++r)
        if (chart.rows[r].layer == layer) return int(r);
    return -1;
}

}  // namespace

EditRequest editForKey(int32_t key, uint16_t modifiers, const TimelineSelection& selection, const TimelineChart& chart) {
    EditRequest request;
    const bool ctrl = modifiers & kCtrl, shift = modifiers & kShift;
    if (modifiers & (kAlt | kSuper)) return request;
    if (ctrl && key == 'z') {
        request.kind = shift ? EditRequest::Kind::Redo : EditRequest::Kind::Undo;
        return request;
    }
    if (ctrl && !shift && key == 'y') {
        request.kind = EditRequest::Kind::Redo;
        return request;
    }
    const std::vector<int> lines = selection.lines(chart);
    if (lines.empty()) return request;
    if (!ctrl && key == keys::kDelete) {
        request.edit = Edit::remove(lines);
    } else if (ctrl && !shift && key == 'd') {
        request.edit = Edit::duplicate(lines);
    } else if (!ctrl && (key == keys::kLeft || key == keys::kRight)) {
        request.edit = Edit::nudge(lines, key == keys::kRight ? 1 : -1, shift ? Snap::Bar : Snap::Beat);
    } else {
        return request;
    }
    request.kind = EditRequest::Kind::Apply;
    return request;
}

EditRequest TimelineEditing::mouse(const TimelineLayout& layout, const TimelineChart& chart,
                                   TimelineSelection* selection) {
    const ImGuiIO& io = ImGui::GetIO();
    EditRequest request;
    // Over an edge, or dragging one, the pointer says that it stretches.
    const TimelineHit::Part under = layout.hitAt(io.MousePos).part;
    if (drag_.part == Drag::Part::RunStart || drag_.part == Drag::Part::RunStop ||
        (drag_.part == Drag::Part::None && (under == TimelineHit::Part::RunStart || under == TimelineHit::Part::RunStop)))
        ImGui::SetMouseCursor(ImGuiMouseCursor_ResizeEW);
    if (ImGui::IsMouseClicked(ImGuiMouseButton_Left)) {
        drag_ = Drag();
        const TimelineHit hit = layout.hitAt(io.MousePos);
        drag_.pressedAt = drag_.mouse = io.MousePos;
        drag_.modifier = modifierOf(io);
        drag_.row = hit.row;
        if (hit.box || hit.tick) {
            drag_.key = hit.box ? TimelineSelection::keyOf(*hit.box) : TimelineSelection::keyOf(*hit.tick);
            drag_.line = hit.box ? hit.box->line : hit.tick->line;
            drag_.alreadySelected = selection->contains(drag_.key) && drag_.modifier == SelectModifier::None;
            if (!drag_.alreadySelected) selection->click(drag_.key, drag_.modifier);
        }
        switch (hit.part) {
            case TimelineHit::Part::RunBody:
                drag_.part = Drag::Part::Run;
                drag_.anchorMs = hit.box->startMs;
                break;
            case TimelineHit::Part::RunStart:
                drag_.part = Drag::Part::RunStart;
                drag_.anchorMs = hit.box->startMs;
                drag_.limitMs = hit.box->endMs;
                break;
            case TimelineHit::Part::RunStop:
                drag_.part = Drag::Part::RunStop;
                drag_.anchorMs = hit.box->endMs;
                drag_.limitMs = hit.box->startMs;
                break;
            case TimelineHit::Part::Tick:
                drag_.part = Drag::Part::Tick;
                drag_.anchorMs = hit.tick->timeMs;
                break;
            case TimelineHit::Part::Row:
                drag_.part = Drag::Part::Band;
                break;
            default:
                break;
        }
        // Ctrl on a selected item took it out: there is nothing to drag.
        if (drag_.part != Drag::Part::Band && drag_.part != Drag::Part::None && !selection->contains(drag_.key))
            drag_.part = Drag::Part::None;
    }
    if (drag_.part == Drag::Part::None) return request;

    if (ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
        if (ImGui::IsMouseDragging(ImGuiMouseButton_Left)) drag_.moved = true;
        if (drag_.moved) follow(layout, chart);
        return request;
    }
    if (!ImGui::IsMouseReleased(ImGuiMouseButton_Left)) {
        drag_ = Drag();  // the button went up outside ImGui's sight
        return request;
    }

    if (drag_.moved) follow(layout, chart);
    const Drag done = drag_;
    drag_ = Drag();
    if (!done.moved) {
        if (done.part == Drag::Part::Band && done.modifier == SelectModifier::None) selection->clear();
        if (done.alreadySelected) selection->click(done.key, SelectModifier::None);
        return request;
    }
    switch (done.part) {
        case Drag::Part::Band: {
            // The rows from the one pressed on to the one the mouse is over (the first, above them).
            int toRow = 0;
            for (size_t r = 0; r < chart.rows.size(); ++r)
                if (done.mouse.y >= layout.rowTop(r)) toRow = int(r);
            selection->band(chart, layout.timeAt(done.pressedAt.x), layout.timeAt(done.mouse.x), done.row, toRow,
                            done.modifier);
            break;
        }
        case Drag::Part::Run:
        case Drag::Part::Tick:
            if (done.deltaMs == 0 && done.layerDelta == 0) break;
            request.kind = EditRequest::Kind::Apply;
            request.edit = Edit::move(selection->lines(chart), done.deltaMs, done.layerDelta);
            break;
        case Drag::Part::RunStart:
        case Drag::Part::RunStop: {
            if (done.deltaMs == 0) break;
            request.kind = EditRequest::Kind::Apply;
            const int64_t to = done.anchorMs + done.deltaMs;
            request.edit = done.part == Drag::Part::RunStart ? Edit::moveStart(done.line, to) : Edit::moveStop(done.line, to);
            break;
        }
        case Drag::Part::None:
            break;
    }
    return request;
}

// Where the drag has got to: the grabbed time moved as far as the mouse, then snapped.
void TimelineEditing::follow(const TimelineLayout& layout, const TimelineChart& chart) {
    const ImGuiIO& io = ImGui::GetIO();
    drag_.mouse = io.MousePos;
    if (drag_.part == Drag::Part::Band) return;
    const int64_t moved = layout.timeAt(drag_.mouse.x) - layout.timeAt(drag_.pressedAt.x);
    int64_t to = snapTime(chart.tempo, drag_.anchorMs + moved, snapFor(io.KeyShift, io.KeyAlt));
    to = std::clamp<int64_t>(to, 0, chart.endMs);
    if (drag_.part == Drag::Part::RunStart) to = std::min(to, drag_.limitMs - 1);
    if (drag_.part == Drag::Part::RunStop) to = std::max(to, drag_.limitMs + 1);
    drag_.deltaMs = to - drag_.anchorMs;
    drag_.layerDelta = 0;
    if (drag_.part == Drag::Part::Run && drag_.row >= 0) {
        if (const auto layer = layout.layerAt(drag_.mouse.y))
            drag_.layerDelta = *layer - chart.rows[size_t(drag_.row)].layer;
    }
}

void TimelineEditing::drawPreview(ImDrawList* list, const TimelineLayout& layout, const TimelineChart& chart,
                                  const TimelineSelection& selection) const {
    if (!dragging()) return;
    list->PushClipRect(ImVec2(layout.axisLeft(), layout.topLeft().y), ImVec2(layout.axisRight(), layout.bottom()), true);
    if (drag_.part == Drag::Part::Band) {
        list->AddRectFilled(drag_.pressedAt, drag_.mouse, kBandFill);
        list->AddRect(drag_.pressedAt, drag_.mouse, kBandEdge);
        list->PopClipRect();
        return;
    }
    const float lane = layout.laneHeight();
    for (const ChartBox* box : selection.boxes(chart)) {
        int64_t from = box->startMs, to = box->endMs;
        if (drag_.part == Drag::Part::Run) {
            from += drag_.deltaMs;
            to += drag_.deltaMs;
        } else if (!(TimelineSelection::keyOf(*box) == drag_.key)) {
            continue;  // an edge drag moves the grabbed run only
        } else if (drag_.part == Drag::Part::RunStart) {
            from += drag_.deltaMs;
        } else if (drag_.part == Drag::Part::RunStop) {
            to += drag_.deltaMs;
        } else {
            continue;
        }
        int row = -1;
        for (size_t r = 0; r < chart.rows.size(); ++r)
            for (const ChartBox& b : chart.rows[r].boxes)
                if (&b == box) row = int(r);
        const int layer = chart.rows[size_t(row)].layer + (drag_.part == Drag::Part::Run ? drag_.layerDelta : 0);
        const int target = rowOfLayer(chart, layer);
        const float top = target >= 0 ? layout.laneTop(size_t(target), 0) : layout.bottom() - lane;
        list->AddRectFilled(ImVec2(layout.xOf(from), top + 1.0f), ImVec2(layout.xOf(to), top + lane - 1.0f), kGhostFill,
                            3.0f);
        list->AddRect(ImVec2(layout.xOf(from), top + 1.0f), ImVec2(layout.xOf(to), top + lane - 1.0f), kGhostEdge, 3.0f,
                      0, 2.0f);
    }
    if (drag_.part == Drag::Part::Run || drag_.part == Drag::Part::Tick) {
        for (const ChartTick* tick : selection.ticks(chart)) {
            const float x = layout.xOf(tick->timeMs + drag_.deltaMs), y = layout.tickStripTop(tick->row);
            list->AddLine(ImVec2(x, y), ImVec2(x, y + layout.tickStripHeight()), kGhostEdge, 2.0f);
        }
    }
    list->PopClipRect();

    // The grabbed time where it lands, above the mouse.
    const std::string text = snappedTimeText(chart.tempo, drag_.anchorMs + drag_.deltaMs);
    const ImVec2 size = ImGui::CalcTextSize(text.c_str());
    const float pad = 3.0f;
    ImVec2 at(drag_.mouse.x - size.x * 0.5f, drag_.mouse.y - size.y - 2.0f * pad - kTimeLabelLift);
    at.x = std::clamp(at.x, layout.axisLeft(), std::max(layout.axisLeft(), layout.axisRight() - size.x - 2.0f * pad));
    at.y = std::max(at.y, layout.topLeft().y);
    list->AddRectFilled(at, ImVec2(at.x + size.x + 2.0f * pad, at.y + size.y + 2.0f * pad), kTimeLabelBack, 3.0f);
    list->AddText(ImVec2(at.x + pad, at.y + pad), kTimeLabelText, text.c_str());
}

}  // namespace glimmerq
