#include "runtime/edit/edit_model.h"

#include "runtime/edit/edit_draft.h"
#include "runtime/edit/line_merge.h"

namespace glimmerq {

std::optional<EditModel> EditModel::load(std::string text, std::vector<std::string> effectNames,
                                         std::string scriptName, std::string* error) {
    EditModel model;
    model.effectNames_ = std::move(effectNames);
    model.scriptName_ = std::move(scriptName);
    if (!model.take(std::move(text), error)) return std::nullopt;
    return model;
}

bool EditModel::take(std::string text, std::string* error) {
    auto script = parseScript(text, effectNames_, error, scriptName_);
    if (!script) return false;
    text_ = std::move(text);
    script_ = std::move(*script);
    return true;
}

EditOutcome EditModel::preview(const Edit& edit, std::string* text) const {
    std::string edited;
    EditOutcome outcome = EditDraft(script_, text_, effectNames_, scriptName_).make(edit, &edited);
    if (outcome.changed && text) *text = std::move(edited);
    return outcome;
}

EditOutcome EditModel::apply(const Edit& edit) {
    std::string edited;
    EditOutcome outcome = EditDraft(script_, text_, effectNames_, scriptName_).make(edit, &edited);
    if (!outcome.changed) return outcome;
    std::string before = text_;
    std::string error;
    if (!take(std::move(edited), &error)) {  // the draft parsed it already; kept for safety
        outcome.changed = false;
        outcome.message = error;
        return outcome;
    }
    undo_.push_back(std::move(before));
    redo_.clear();
    return outcome;
}

bool EditModel::undo() {
    if (undo_.empty()) return false;
    std::string error;
    std::string current = text_;
    if (!take(undo_.back(), &error)) return false;
    undo_.pop_back();
    redo_.push_back(std::move(current));
    return true;
}

bool EditModel::redo() {
    if (redo_.empty()) return false;
    std::string error;
    std::string current = text_;
    if (!take(redo_.back(), &error)) return false;
    redo_.pop_back();
    undo_.push_back(std::move(current));
    return true;
}

bool EditModel::adopt(const std::string& text, std::string* error) {
    if (text == text_) return true;
    const std::string before = text_;
    if (!take(text, error)) return false;
    // Each step, with that editor's change merged in; the nearest steps first, and none beyond
    // the first that meets the change (or would not parse).
    const auto carry = [&](std::vector<std::string>* steps) {
        std::vector<std::string> carried;
        for (size_t i = steps->size(); i-- > 0;) {
            auto merged = mergeLines(before, (*steps)[i], text);
            std::string why;
            if (!merged || !parseScript(*merged, effectNames_, &why, scriptName_)) break;
            carried.insert(carried.begin(), std::move(*merged));
        }
        *steps = std::move(carried);
    };
    carry(&undo_);
    carry(&redo_);
    return true;
}

}  // namespace glimmerq
