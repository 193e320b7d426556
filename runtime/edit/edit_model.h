// edit_model.h: the script's text under edits, with undo, in memory (no files, no GL).
//
//   std::string error;
//   auto model = EditModel::load(text, effectNames, "demoflow", &error);
//   EditOutcome done = model->apply(Edit::move({42}, +500));  // one undo step
//   model->text();      // the new text: untouched lines byte for byte as they were
//   model->script();    // its parse, for the player and the chart
//   model->undo();      // back one step; undoing every step gives the loaded bytes again
//
// Each applied edit rewrites only the lines it changes: a time keeps its notation (a bar
// time stays @bar.beat where it falls on a beat, else becomes seconds; seconds and m:ss keep
// their decimals, or gain the ones the time needs), fields keep their columns and trailing
// comments, line endings stay. A line moves only when the time order demands it, and then
// goes beside its neighbours in time, after the last line at or before its time (a stop
// before the lines at its time), within the section that holds that time. A copy (Duplicate, a
// stop line a run gains) is laid out like the line it copies; a new run like the line above
// it: notation, columns and line ending. The result is parsed again
// before it is taken: an edit that would not parse is refused with the parser's message.
//
// preview() gives an edit's text without taking it (a drag shows it while the button is
// down; one apply on release is one step). adopt() takes a text another editor saved,
// carrying the undo steps over where their changes do not meet that editor's.
// Not here: reading and writing the file (script_file.h, script_editor.h).
#pragma once

#include "runtime/edit/edit.h"
#include "runtime/script/script.h"

#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

class EditModel {
public:
    // nullopt with the parser's message ("demoflow:3:9: ...") when the text does not parse.
    static std::optional<EditModel> load(std::string text, std::vector<std::string> effectNames,
                                         std::string scriptName, std::string* error);

    const std::string& text() const { return text_; }
    const Script& script() const { return script_; }
    const std::vector<std::string>& effectNames() const { return effectNames_; }
    const std::string& scriptName() const { return scriptName_; }

    // What the edit would do; on success *text (may be null) is the edited text.
    EditOutcome preview(const Edit& edit, std::string* text = nullptr) const;
    // Does it: when outcome.changed, one undo step (and the redo steps are dropped).
    EditOutcome apply(const Edit& edit);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    bool undo();  // false when there is nothing to undo
    bool redo();

    // Takes a text saved by another editor as the current one. Each undo and redo step is
    // carried over by merging its lines with that editor's change; from the first step that
    // meets the change on the same lines, the older steps are dropped. False (and nothing
    // changes) when the text does not parse; *error says why.
    bool adopt(const std::string& text, std::string* error);

private:
    EditModel() = default;
    bool take(std::string text, std::string* error);

    std::string text_;
    Script script_;
    std::vector<std::string> effectNames_;
    std::string scriptName_;
    std::vector<std::string> undo_;  // earlier texts, the oldest first
    std::vector<std::string> redo_;  // undone texts, the latest undone last
};

}  // namespace glimmerq
