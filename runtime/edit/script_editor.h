// script_editor.h: edits of a data directory's script, written back to the file at once.
//
//   std::string error;
//   auto editor = ScriptEditor::open("mydata/demoflow", effectNames, "mydata/demoflow", &error);
//   EditOutcome done = editor->apply(Edit::move(selection, +500));   // written, or refused
//   if (done.changed) reloadShow(editor->model().script());         // the player follows
//   editor->undo();                                                 // written back too
//
// Every step (apply, undo, redo) writes the file safely (script_file.h). When another editor
// saved the file since it was read, the step is first merged with that change: the other
// editor's text is taken (its undo history carried over, edit_model.h) and the step applied
// to it, but only if the lines the step touches are unchanged there; else it is refused with
// a message and the file keeps the other editor's text. A refused step writes nothing. After
// any step model() holds what the show should play: it may have taken another editor's text
// even when the step itself was refused. The bytes it wrote are file().known(), so a watcher
// can tell this write from another's.
// Not here: zip archives (never edited), reloading the show (the caller's).
#pragma once

#include "runtime/edit/edit_model.h"
#include "runtime/edit/script_file.h"

#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

class ScriptEditor {
public:
    // path is the file; scriptName names it in messages ("mydata/demoflow:3:9: ...").
    static std::optional<ScriptEditor> open(const std::string& path, std::vector<std::string> effectNames,
                                            std::string scriptName, std::string* error);

    const EditModel& model() const { return model_; }
    const ScriptFile& file() const { return file_; }

    EditOutcome apply(const Edit& edit);
    EditOutcome undo();
    EditOutcome redo();

    // Takes the file as another editor left it (a watcher saw it change). False, with the
    // parser's message, when it does not parse; the model then keeps the last good text.
    bool reload(std::string* error);

private:
    ScriptEditor(EditModel model, ScriptFile file) : model_(std::move(model)), file_(std::move(file)) {}
    EditOutcome step(bool forward);

    EditModel model_;
    ScriptFile file_;
};

}  // namespace glimmerq
