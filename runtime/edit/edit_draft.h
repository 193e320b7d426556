// edit_draft.h: one edit worked out on a copy of the script's lines, then written as text.
//
//   EditDraft draft(script, text, effectNames, "demoflow");
//   EditOutcome outcome = draft.make(edit, &newText);   // newText parses, or outcome says why not
//
// The edit model's engine: it finds the runs and ticks an edit names, checks and clamps the
// times, marks the lines it retimes, removes or adds, lets line_order.h place them and
// line_writer.h write them, and parses the result again before handing it back. It keeps
// nothing between edits (edit_model.h holds the text and the undo steps).
#pragma once

#include "runtime/edit/edit.h"
#include "runtime/script/script.h"

#include <string>
#include <vector>

namespace glimmerq {

class EditDraft {
public:
    EditDraft(const Script& script, const std::string& text, const std::vector<std::string>& effectNames,
              const std::string& scriptName);

    // changed is false (and *text untouched) when the edit is refused or changes nothing.
    EditOutcome make(const Edit& edit, std::string* text);

private:
    struct Work {
        ScriptLine line;        // as parsed; a fresh line's fields are empty
        int64_t timeMs = 0;     // its time after the edit
        bool moved = false, fresh = false, removed = false;
        bool stop = false;      // a stop line: placed before the lines at its time
        std::string layer;      // a start line's new layer, written; empty when unchanged
        std::vector<std::string> words;  // a fresh line's words after the time
        TimeNotation notation;
        int like = -1;          // a fresh line copies this line's layout; -1: its neighbour's
        int item = -1;          // the outcome item whose line it is
    };
    struct Run {
        int effect = -1;
        int layer = 0;
        int start = -1, stop = -1;  // indices into work_; stop -1: it lasts to the end
    };
    struct Item {
        int run = -1;   // index into runs_, or
        int tick = -1;  // index into work_
    };

    bool refuse(EditOutcome* outcome, const std::string& why) const;
    std::string where(int index) const;  // "demoflow:42"
    std::string nameOf(int effect) const;
    bool items(const std::vector<int>& lines, std::vector<Item>* found, EditOutcome* outcome) const;
    int64_t stopOf(const Run& run) const;
    void retime(int index, int64_t timeMs);
    int addLine(std::vector<std::string> words, int64_t timeMs, int like, bool stop);
    bool overlapFree(EditOutcome* outcome) const;

    bool move(const Edit& edit, EditOutcome* outcome);
    bool nudge(const Edit& edit, EditOutcome* outcome);
    bool moveEdge(const Edit& edit, EditOutcome* outcome);
    bool remove(const Edit& edit, EditOutcome* outcome);
    bool duplicate(const Edit& edit, EditOutcome* outcome);
    bool addRun(const Edit& edit, EditOutcome* outcome);
    bool write(std::string* text, EditOutcome* outcome);

    const Script& script_;
    const std::string& text_;
    const std::vector<std::string>& effectNames_;
    const std::string& scriptName_;
    std::vector<Work> work_;
    std::vector<Run> runs_;
    int items_ = 0;  // how many items the outcome names
};

}  // namespace glimmerq
