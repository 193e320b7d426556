// Arbitrary bytes as a script under every kind of edit: an edit is refused or gives a script
// that parses, and undoing every step gives the bytes back. The edits' lines and times come
// from a hash of the input, so every mutation edits somewhere else. Seeds: as script_fuzz.
#include "demo/entry.h"
#include "runtime/edit/edit_model.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The demo's own names, so that the shipped script seeds it.
    static const std::vector<std::string> kEffects = [] {
        int count = 0;
        const EffectEntry* table = DemoEffectTable(&count);
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) names.push_back(table[i].name);
        return names;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto model = glimmerq::EditModel::load(text, kEffects, "demoflow", &error);
    if (!model) return 0;
    uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
    const auto next = [&](uint64_t below) {
        hash = hash * 6364136223846793005ull + 1442695040888963407ull;
        return below ? int64_t((hash >> 33) % below) : 0;
    };
    const int lines = int(model->script().lines.size());
    const int64_t span = model->script().endMs() + 4000;
    using glimmerq::Edit;
    const Edit edits[] = {
        Edit::move({int(next(lines)) + 1}, next(2 * span) - span, int(next(5)) - 2),
        Edit::nudge({int(next(lines)) + 1, int(next(lines)) + 1}, int(next(9)) - 4, glimmerq::Snap(next(3))),
        Edit::moveStart(int(next(lines)) + 1, next(span)),
        Edit::moveStop(int(next(lines)) + 1, next(span)),
        Edit::duplicate({int(next(lines)) + 1}),
        Edit::addRun(kEffects[size_t(next(kEffects.size()))], next(span), next(span)),
        Edit::remove({int(next(lines)) + 1}),
    };
    int steps = 0;
    for (const Edit& edit : edits) {
        // Line numbers beyond the script after earlier steps are refused like any other.
        const glimmerq::EditOutcome outcome = model->apply(edit);
        if (!outcome.changed) continue;
        ++steps;
        if (!glimmerq::parseScript(model->text(), kEffects, &error)) __builtin_trap();
    }
    while (model->undo()) --steps;
    if (steps != 0 || model->text() != text) __builtin_trap();
    return 0;
}
