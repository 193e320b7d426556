// Arbitrary bytes as a timeline script: the parser must return a script or an error, never
// crash; a script's lines give its bytes back, with every field inside its line.
// Seeds: data/demoflow and fuzz/script-seeds/ (tempo lines and bar times).
#include "runtime/script/script.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<std::string> kEffects = {"CLEAR", "SPLASH", "CBLUR", "CKREUZV"};
    std::string error;
    const auto script = glimmerq::parseScript(std::string(reinterpret_cast<const char*>(data), size), kEffects, &error);
    // A script that parses always ends with its one `end`, and times never decrease.
    if (script) {
        if (script->events.empty() || script->events.back().verb != glimmerq::Event::Verb::End) __builtin_trap();
        for (size_t i = 1; i < script->events.size(); ++i)
            if (script->events[i].timeMs < script->events[i - 1].timeMs) __builtin_trap();
        // Tempo grids follow one another and their bars never count backwards.
        const auto& grids = script->tempo.grids();
        for (size_t i = 1; i < grids.size(); ++i)
            if (grids[i].startMs < grids[i - 1].startMs || grids[i].firstBar < grids[i - 1].firstBar) __builtin_trap();
        std::string joined;
        for (const glimmerq::ScriptLine& line : script->lines) {
            joined += line.raw;
            for (glimmerq::ByteRange field : {line.time, line.verb, line.effect, line.name, line.value, line.comment})
                if (field.end > line.raw.size() - line.lineEnding || (!field.empty() && field.begin >= field.end))
                    __builtin_trap();
            if (line.section >= int(script->sections.size()) || line.event >= int(script->events.size())) __builtin_trap();
        }
        if (joined.size() != size || joined.compare(0, size, reinterpret_cast<const char*>(data), size) != 0)
            __builtin_trap();
    } else if (error.compare(0, 9, "demoflow:") != 0) {
        __builtin_trap();
    }
    return 0;
}
