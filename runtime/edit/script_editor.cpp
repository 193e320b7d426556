#include "runtime/edit/script_editor.h"

#include "runtime/edit/line_merge.h"

namespace glimmerq {

namespace {

EditOutcome refused(const std::string& why) {
    EditOutcome outcome;
    outcome.message = why;
    return outcome;
}

}  // namespace

std::optional<ScriptEditor> ScriptEditor::open(const std::string& path, std::vector<std::string> effectNames,
                                               std::string scriptName, std::string* error) {
    auto file = ScriptFile::open(path, error);
    if (!file) return std::nullopt;
    auto model = EditModel::load(file->known(), std::move(effectNames), std::move(scriptName), error);
    if (!model) return std::nullopt;
    return ScriptEditor(std::move(*model), std::move(*file));
}

bool ScriptEditor::reload(std::string* error) {
    return file_.reread(error) && model_.adopt(file_.known(), error);
}

EditOutcome ScriptEditor::apply(const Edit& edit) {
    Edit mapped = edit;
    if (file_.changedOnDisk()) {
        const std::string before = model_.text();
        std::string after;
        const EditOutcome planned = model_.preview(edit, &after);
        std::string error;
        if (!file_.reread(&error)) return refused(error);
        const std::string& disk = file_.known();
        if (!model_.adopt(disk, &error)) return refused(file_.path() + " changed on disk and does not parse: " + error);
        if (!planned.changed) return planned;
        // The edit goes on the other editor's text only where it left the edit's lines alone.
        const std::vector<int> where = matchLines(before, disk);
        bool untouched = mergeLines(before, after, disk).has_value() && !where.empty();
        for (int& line : mapped.lines) {
            line = line >= 1 && size_t(line) <= where.size() ? where[size_t(line) - 1] : 0;
            untouched = untouched && line > 0;
        }
        if (!untouched)
            return refused(file_.path() + " was changed on disk where this edit goes; nothing written, the file is as "
                                          "the other editor left it");
    }
    std::string text;
    EditOutcome outcome = model_.preview(mapped, &text);
    if (!outcome.changed) return outcome;
    std::string error;
    if (!file_.write(text, &error)) return refused(error);
    model_.apply(mapped);
    return outcome;
}

EditOutcome ScriptEditor::step(bool forward) {
    std::string error;
    if (file_.changedOnDisk() && !reload(&error)) return refused(file_.path() + " changed on disk: " + error);
    EditModel stepped = model_;
    if (!(forward ? stepped.redo() : stepped.undo()))
        return refused(forward ? "nothing to redo" : "nothing to undo");
    if (!file_.write(stepped.text(), &error)) return refused(error);
    model_ = std::move(stepped);
    EditOutcome outcome;
    outcome.changed = true;
    return outcome;
}

EditOutcome ScriptEditor::undo() { return step(false); }
EditOutcome ScriptEditor::redo() { return step(true); }

}  // namespace glimmerq
