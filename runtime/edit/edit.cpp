#include "runtime/edit/edit.h"

namespace glimmerq {

Edit Edit::move(std::vector<int> lines, int64_t deltaMs, int layerDelta) {
    Edit edit;
    edit.kind = Kind::Move;
    edit.lines = std::move(lines);
    edit.deltaMs = deltaMs;
    edit.layerDelta = layerDelta;
    return edit;
}

Edit Edit::nudge(std::vector<int> lines, int gridSteps, Snap unit) {
    Edit edit;
    edit.kind = Kind::Nudge;
    edit.lines = std::move(lines);
    edit.gridSteps = gridSteps;
    edit.unit = unit;
    return edit;
}

Edit Edit::moveStart(int line, int64_t toMs) {
    Edit edit;
    edit.kind = Kind::MoveStart;
    edit.lines = {line};
    edit.toMs = toMs;
    return edit;
}

Edit Edit::moveStop(int line, int64_t toMs) {
    Edit edit = moveStart(line, toMs);
    edit.kind = Kind::MoveStop;
    return edit;
}

Edit Edit::remove(std::vector<int> lines) {
    Edit edit;
    edit.kind = Kind::Delete;
    edit.lines = std::move(lines);
    return edit;
}

Edit Edit::duplicate(std::vector<int> lines) {
    Edit edit = remove(std::move(lines));
    edit.kind = Kind::Duplicate;
    return edit;
}

Edit Edit::addRun(std::string effect, int64_t atMs, int64_t lengthMs) {
    Edit edit;
    edit.kind = Kind::AddRun;
    edit.effect = std::move(effect);
    edit.toMs = atMs;
    edit.lengthMs = lengthMs;
    return edit;
}

}  // namespace glimmerq
