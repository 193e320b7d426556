#include "runtime/edit/edit_draft.h"

#include "runtime/base/show_time.h"
#include "runtime/edit/line_order.h"
#include "runtime/edit/line_writer.h"

#include <algorithm>
#include <limits>
#include <map>

namespace glimmerq {

namespace {

constexpr int64_t kMinRunMs = 1;      // a run lasts at least this long: a stop comes after its start
constexpr int kMaxLayer = 1000000;     // the parser's range of layers

std::string at(int64_t timeMs) { return formatShowTime(timeMs); }

}  // namespace

EditDraft::EditDraft(const Script& script, const std::string& text, const std::vector<std::string>& effectNames,
                     const std::string& scriptName)
    : script_(script), text_(text), effectNames_(effectNames), scriptName_(scriptName) {
    std::map<int, size_t> open;  // run of each running effect
    for (const ScriptLine& line : script.lines) {
        Work work;
        work.line = line;
        work.timeMs = line.timeMs;
        work.notation = line.notation;
        work.stop = line.kind == LineKind::Event && line.field(line.verb) == "stop";
        work_.push_back(std::move(work));
        if (line.event < 0) continue;
        const Event& event = script.events[size_t(line.event)];
        const int index = int(work_.size()) - 1;
        if (event.verb == Event::Verb::Start) {
            open[event.effect] = runs_.size();
            runs_.push_back({event.effect, event.layer, index, -1});
        } else if (event.verb == Event::Verb::Stop && open.count(event.effect)) {
            runs_[open[event.effect]].stop = index;
            open.erase(event.effect);
        }
    }
}

bool EditDraft::refuse(EditOutcome* outcome, const std::string& why) const {
    outcome->changed = false;
    outcome->message = why;
    outcome->lines.clear();
    return false;
}

std::string EditDraft::where(int index) const { return scriptName_ + ":" + std::to_string(index + 1); }

std::string EditDraft::nameOf(int effect) const {
    return effect >= 0 && size_t(effect) < effectNames_.size() ? effectNames_[size_t(effect)] : "?";
}

bool EditDraft::items(const std::vector<int>& lines, std::vector<Item>* found, EditOutcome* outcome) const {
    if (lines.empty()) return refuse(outcome, "nothing is selected");
    for (int number : lines) {
        const int index = number - 1;
        if (index < 0 || index >= int(script_.lines.size()))
            return refuse(outcome, "there is no line " + std::to_string(number) + " in " + scriptName_);
        Item item;
        const ScriptLine& line = script_.lines[size_t(index)];
        const Event* event = line.event >= 0 ? &script_.events[size_t(line.event)] : nullptr;
        if (event && (event->verb == Event::Verb::Start || event->verb == Event::Verb::Stop)) {
            for (size_t r = 0; r < runs_.size(); ++r)
                if (runs_[r].start == index || runs_[r].stop == index) item.run = int(r);
        } else if (event && (event->verb == Event::Verb::Int || event->verb == Event::Verb::Float ||
                             event->verb == Event::Verb::String)) {
            item.tick = index;
        }
        if (item.run < 0 && item.tick < 0)
            return refuse(outcome, where(index) + " is neither a run nor a parameter change");
        const bool seen = std::any_of(found->begin(), found->end(),
                                      [&](const Item& other) { return other.run == item.run && other.tick == item.tick; });
        if (!seen) found->push_back(item);
    }
    return true;
}

int64_t EditDraft::stopOf(const Run& run) const {
    return run.stop >= 0 ? work_[size_t(run.stop)].timeMs : script_.endMs();
}

void EditDraft::retime(int index, int64_t timeMs) {
    Work& work = work_[size_t(index)];
    work.timeMs = timeMs;
    work.moved = !work.fresh && timeMs != work.line.timeMs;
}

int EditDraft::addLine(std::vector<std::string> words, int64_t timeMs, int like, bool stop) {
    Work work;
    work.fresh = true;
    work.timeMs = timeMs;
    work.words = std::move(words);
    work.like = like;
    if (like >= 0) work.notation = work_[size_t(like)].notation;
    work.line.kind = LineKind::Event;
    work.stop = stop;
    work_.push_back(std::move(work));
    return int(work_.size()) - 1;
}

bool EditDraft::overlapFree(EditOutcome* outcome) const {
    std::map<int, std::vector<const Run*>> byEffect;
    for (const Run& run : runs_)
        if (!work_[size_t(run.start)].removed) byEffect[run.effect].push_back(&run);
    for (auto& [effect, runs] : byEffect) {
        std::sort(runs.begin(), runs.end(), [&](const Run* a, const Run* b) {
            return work_[size_t(a->start)].timeMs < work_[size_t(b->start)].timeMs;
        });
        for (size_t i = 1; i < runs.size(); ++i) {
            const int64_t begins = work_[size_t(runs[i]->start)].timeMs;
            if (begins < stopOf(*runs[i - 1]))
                return refuse(outcome, nameOf(effect) + " would play twice at once: its runs from " +
                                           at(work_[size_t(runs[i - 1]->start)].timeMs) + " and from " + at(begins) +
                                           " would overlap");
        }
    }
    return true;
}

bool EditDraft::move(const Edit& edit, EditOutcome* outcome) {
    std::vector<Item> found;
    if (!items(edit.lines, &found, outcome)) return false;
    const int64_t end = script_.endMs();
    int64_t lowest = std::numeric_limits<int64_t>::min(), highest = std::numeric_limits<int64_t>::max();
    for (const Item& item : found) {
        if (item.run >= 0) {
            const Run& run = runs_[size_t(item.run)];
            const int64_t start = work_[size_t(run.start)].timeMs;
            lowest = std::max(lowest, -start);
            highest = std::min(highest, run.stop >= 0 ? end - stopOf(run) : end - kMinRunMs - start);
        } else {
            lowest = std::max(lowest, -work_[size_t(item.tick)].timeMs);
            highest = std::min(highest, end - work_[size_t(item.tick)].timeMs);
        }
    }
    const int64_t delta = std::clamp(edit.deltaMs, lowest, std::max(lowest, highest));
    if (delta > edit.deltaMs) outcome->message = "moved only as far as the beginning";
    if (delta < edit.deltaMs) outcome->message = "moved only as far as the end (" + at(end) + ")";
    for (size_t k = 0; k < found.size(); ++k) {
        const Item& item = found[k];
        if (item.tick >= 0) {
            retime(item.tick, work_[size_t(item.tick)].timeMs + delta);
            work_[size_t(item.tick)].item = int(k);
            continue;
        }
        Run& run = runs_[size_t(item.run)];
        retime(run.start, work_[size_t(run.start)].timeMs + delta);
        if (run.stop >= 0) retime(run.stop, work_[size_t(run.stop)].timeMs + delta);
        const int layer = int(std::clamp<int64_t>(int64_t(run.layer) + edit.layerDelta, -kMaxLayer, kMaxLayer));
        if (layer != run.layer) work_[size_t(run.start)].layer = std::to_string(layer);
        run.layer = layer;
        work_[size_t(run.start)].item = int(k);
    }
    items_ = int(found.size());
    return overlapFree(outcome);
}

bool EditDraft::nudge(const Edit& edit, EditOutcome* outcome) {
    std::vector<Item> found;
    if (!items(edit.lines, &found, outcome)) return false;
    const int64_t end = script_.endMs();
    // The time steps on from t, or -1 when it would go before the beginning.
    const auto stepped = [&](int64_t t) {
        const int64_t to = stepOnGrid(script_.tempo, t, edit.gridSteps, edit.unit);
        const bool ranOut = edit.gridSteps < 0 && to == 0 && stepOnGrid(script_.tempo, t, edit.gridSteps + 1, edit.unit) == 0;
        return ranOut ? -1 : to;
    };
    for (size_t k = 0; k < found.size(); ++k) {
        const Item& item = found[k];
        const int index = item.tick >= 0 ? item.tick : runs_[size_t(item.run)].start;
        const int64_t to = stepped(work_[size_t(index)].timeMs);
        if (to < 0) return refuse(outcome, "that would move " + where(index) + " before the beginning");
        retime(index, to);
        work_[size_t(index)].item = int(k);
        if (item.tick >= 0) {
            if (to > end) return refuse(outcome, "that would move " + where(index) + " past the end (" + at(end) + ")");
            continue;
        }
        const Run& run = runs_[size_t(item.run)];
        if (run.stop >= 0) {
            const int64_t stopTo = stepped(work_[size_t(run.stop)].timeMs);
            if (stopTo > end) return refuse(outcome, "that would move " + where(run.stop) + " past the end (" + at(end) + ")");
            retime(run.stop, stopTo);
        }
        if (to + kMinRunMs > stopOf(run))
            return refuse(outcome, "that would move " + where(index) + " to or past its stop");
    }
    items_ = int(found.size());
    return overlapFree(outcome);
}

bool EditDraft::moveEdge(const Edit& edit, EditOutcome* outcome) {
    std::vector<Item> found;
    if (!items(edit.lines, &found, outcome)) return false;
    if (found.size() != 1 || found[0].run < 0) return refuse(outcome, "only a run's edge can be dragged");
    Run& run = runs_[size_t(found[0].run)];
    const int64_t start = work_[size_t(run.start)].timeMs, end = script_.endMs();
    if (edit.kind == Edit::Kind::MoveStart) {
        const int64_t to = std::clamp<int64_t>(edit.toMs, 0, stopOf(run) - kMinRunMs);
        if (to != edit.toMs) outcome->message = "the start moved only as far as " + at(to);
        retime(run.start, to);
    } else {
        const int64_t to = std::clamp<int64_t>(edit.toMs, start + kMinRunMs, end);
        if (to != edit.toMs) outcome->message = "the stop moved only as far as " + at(to);
        if (run.stop >= 0)
            retime(run.stop, to);
        else if (to < end)
            run.stop = addLine({"stop", nameOf(run.effect)}, to, run.start, true);
    }
    work_[size_t(run.start)].item = 0;
    items_ = 1;
    return overlapFree(outcome);
}

bool EditDraft::remove(const Edit& edit, EditOutcome* outcome) {
    std::vector<Item> found;
    if (!items(edit.lines, &found, outcome)) return false;
    for (const Item& item : found) {
        if (item.tick >= 0) {
            work_[size_t(item.tick)].removed = true;
            continue;
        }
        const Run& run = runs_[size_t(item.run)];
        work_[size_t(run.start)].removed = true;
        if (run.stop >= 0) work_[size_t(run.stop)].removed = true;
    }
    return true;
}

bool EditDraft::duplicate(const Edit& edit, EditOutcome* outcome) {
    std::vector<Item> found;
    if (!items(edit.lines, &found, outcome)) return false;
    const int64_t end = script_.endMs();
    int64_t first = std::numeric_limits<int64_t>::max(), last = 0;
    for (const Item& item : found) {
        if (item.run >= 0 && runs_[size_t(item.run)].stop < 0)
            return refuse(outcome, nameOf(runs_[size_t(item.run)].effect) + " lasts to the end: there is no room after it");
        const int index = item.tick >= 0 ? item.tick : runs_[size_t(item.run)].start;
        first = std::min(first, work_[size_t(index)].timeMs);
        last = std::max(last, item.tick >= 0 ? work_[size_t(index)].timeMs : stopOf(runs_[size_t(item.run)]));
    }
    // The copy begins where the selection ends; a lone tick (or ticks at one time) a beat on.
    const int64_t offset = last > first ? last - first : stepOnGrid(script_.tempo, last, 1, Snap::Beat) - last;
    const auto wordsOf = [&](int index) {
        const ScriptLine& line = work_[size_t(index)].line;
        std::vector<std::string> words;
        for (ByteRange field : {line.verb, line.effect, line.name, line.value})
            if (!field.empty()) words.push_back(line.field(field));
        return words;
    };
    for (size_t k = 0; k < found.size(); ++k) {
        const Item& item = found[k];
        if (item.tick >= 0) {
            const int64_t to = work_[size_t(item.tick)].timeMs + offset;
            if (to > end) return refuse(outcome, "the copy would go past the end (" + at(end) + ")");
            work_[size_t(addLine(wordsOf(item.tick), to, item.tick, false))].item = int(k);
            continue;
        }
        const Run run = runs_[size_t(item.run)];
        if (stopOf(run) + offset > end) return refuse(outcome, "the copy would go past the end (" + at(end) + ")");
        Run copy = run;
        copy.start = addLine(wordsOf(run.start), work_[size_t(run.start)].timeMs + offset, run.start, false);
        copy.stop = addLine(wordsOf(run.stop), stopOf(run) + offset, run.stop, true);
        work_[size_t(copy.start)].item = int(k);
        runs_.push_back(copy);
    }
    items_ = int(found.size());
    return overlapFree(outcome);
}

bool EditDraft::addRun(const Edit& edit, EditOutcome* outcome) {
    const auto named = std::find(effectNames_.begin(), effectNames_.end(), edit.effect);
    if (named == effectNames_.end()) return refuse(outcome, "there is no effect named '" + edit.effect + "'");
    const int effect = int(named - effectNames_.begin());
    const int64_t end = script_.endMs(), from = edit.toMs;
    if (from < 0 || from >= end) return refuse(outcome, "a new run starts between 0:00 and the end (" + at(end) + ")");
    if (edit.lengthMs < kMinRunMs) return refuse(outcome, "a new run must last longer than 0 ms");
    int64_t to = std::min(from + edit.lengthMs, end);
    for (const Run& run : runs_) {
        if (run.effect != effect) continue;
        const int64_t start = work_[size_t(run.start)].timeMs;
        if (start <= from && from < stopOf(run)) return refuse(outcome, edit.effect + " already runs at " + at(from));
        if (start > from) to = std::min(to, start);  // it stops where its next run begins
    }
    int layer = 0;
    const auto taken = [&](int candidate) {
        return std::any_of(runs_.begin(), runs_.end(), [&](const Run& run) {
            return run.layer == candidate && !work_[size_t(run.start)].removed &&
                   work_[size_t(run.start)].timeMs < to && from < stopOf(run);
        });
    };
    while (taken(layer)) ++layer;
    Run run{effect, layer, -1, -1};
    run.start = addLine({"start", edit.effect, "layer", std::to_string(layer)}, from, -1, false);
    run.stop = addLine({"stop", edit.effect}, to, -1, true);
    work_[size_t(run.start)].item = 0;
    runs_.push_back(run);
    items_ = 1;
    return true;
}

bool EditDraft::write(std::string* text, EditOutcome* outcome) {
    std::vector<int> alive;
    std::vector<PlacedLine> placed;
    for (size_t i = 0; i < work_.size(); ++i) {
        const Work& work = work_[i];
        if (work.removed) continue;
        alive.push_back(int(i));
        placed.push_back({work.line.timed(), work.timeMs, work.moved, work.fresh, work.stop, work.line.kind == LineKind::End});
    }
    const std::vector<size_t> order = orderLines(placed);

    // A fresh line without a model copies the nearest timed line above it (below, at the top).
    const auto neighbour = [&](size_t position) -> const Work* {
        for (size_t k = position; k-- > 0;)
            if (!work_[size_t(alive[order[k]])].fresh && work_[size_t(alive[order[k]])].line.timed())
                return &work_[size_t(alive[order[k]])];
        for (size_t k = position + 1; k < order.size(); ++k)
            if (!work_[size_t(alive[order[k]])].fresh && work_[size_t(alive[order[k]])].line.timed())
                return &work_[size_t(alive[order[k]])];
        return nullptr;
    };

    // Bar times are written against the grids of the tempo lines above them.
    TempoMap grids;
    size_t tempoLines = 0;
    std::string written;
    std::vector<int> numberOf(work_.size(), 0);
    for (size_t position = 0; position < order.size(); ++position) {
        const int index = alive[order[position]];
        Work& work = work_[size_t(index)];
        if (work.line.kind == LineKind::Tempo && tempoLines < script_.tempo.grids().size()) {
            const TempoGrid& grid = script_.tempo.grids()[tempoLines++];
            grids.add(grid.startMs, grid.beatsPerMinute, grid.beatsPerBar, grid.line);
        }
        std::string raw = work.line.raw;
        if (work.fresh) {
            const Work* like = work.like >= 0 ? &work_[size_t(work.like)] : neighbour(position);
            if (!like) return refuse(outcome, scriptName_ + " has no event line to write a new one like");
            if (work.like < 0) work.notation = like->notation;
            std::vector<std::string> words{writeTime(work.timeMs, work.notation, grids)};
            words.insert(words.end(), work.words.begin(), work.words.end());
            raw = lineLike(like->line, words);
        } else {
            if (!work.layer.empty()) raw = replaceField(raw, work.line.value, work.layer);
            if (work.moved) raw = replaceField(raw, work.line.time, writeTime(work.timeMs, work.notation, grids));
        }
        written += raw;
        numberOf[size_t(index)] = int(position) + 1;
    }

    std::string error;
    const auto parsed = parseScript(written, effectNames_, &error, scriptName_);
    if (!parsed) return refuse(outcome, "that would break the script: " + error);
    for (int index : alive) {
        const Work& work = work_[size_t(index)];
        const int number = numberOf[size_t(index)];
        if ((work.moved || work.fresh) && parsed->lines[size_t(number - 1)].timeMs != work.timeMs)
            return refuse(outcome, "cannot write " + at(work.timeMs) + " on " + scriptName_ + ":" + std::to_string(number));
    }
    outcome->lines.assign(size_t(items_), 0);
    for (int index : alive)
        if (work_[size_t(index)].item >= 0) outcome->lines[size_t(work_[size_t(index)].item)] = numberOf[size_t(index)];
    *text = std::move(written);
    return true;
}

EditOutcome EditDraft::make(const Edit& edit, std::string* text) {
    EditOutcome outcome;
    bool ready = false;
    switch (edit.kind) {
        case Edit::Kind::Move: ready = move(edit, &outcome); break;
        case Edit::Kind::Nudge: ready = nudge(edit, &outcome); break;
        case Edit::Kind::MoveStart:
        case Edit::Kind::MoveStop: ready = moveEdge(edit, &outcome); break;
        case Edit::Kind::Delete: ready = remove(edit, &outcome); break;
        case Edit::Kind::Duplicate: ready = duplicate(edit, &outcome); break;
        case Edit::Kind::AddRun: ready = addRun(edit, &outcome); break;
    }
    std::string written;
    if (!ready || !write(&written, &outcome)) return outcome;
    outcome.changed = written != text_;
    if (outcome.changed) *text = std::move(written);
    return outcome;
}

}  // namespace glimmerq
