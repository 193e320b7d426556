// script_lines.h: the script as its maker wrote it, line by line, for whoever reads or
// rewrites the text (the chart, the measuring tools' sections, the editor).
//
//   auto script = parseScript(text, effects, &error);
//   for (const ScriptLine& line : script->lines)          // every line of the text, in order
//       if (line.kind == LineKind::Event) line.field(line.time);   // "@9.3", as written
//   script->sections[line.section].title;                 // "The tunnel"
//
// Each line keeps its raw bytes with its line ending ("\r\n", "\n", or none on the last
// line), so joining every line's raw bytes gives the text back byte for byte (a UTF-8
// byte-order mark stays on the first line). Fields are byte ranges into the raw bytes,
// empty where the line has no such field. How the time was written is kept with its
// decimals, so a time written back can keep its form.
//
// A section begins at a "# ---" heading and runs from the first event below it to the next
// section's first event (or the end); its title is the heading's text before the first
// comma, colon or parenthesis. A heading with no event before the next heading, or after
// the last event, names nothing: its lines belong to the section above.
// Not here: the events' meaning (script.h) and the tempo grids (tempo_map.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace glimmerq {

enum class LineKind {
    Blank,    // nothing but blanks
    Comment,  // "#" and anything after it
    Section,  // a "# ---" heading that names a section
    Event,    // start, stop, int, float, string
    Tempo,    // TIME tempo BEATS_A_MINUTE BEATS_A_BAR (sets the grid, no event)
    Music,    // TIME music MEMBER
    End,      // TIME end
};

// Bytes [begin, end) of a line's raw text.
struct ByteRange {
    size_t begin = 0;
    size_t end = 0;
    bool empty() const { return end <= begin; }
    size_t size() const { return empty() ? 0 : end - begin; }
};

// How a time was written.
struct TimeNotation {
    enum class Form {
        Seconds,         // "75", "75.5"
        MinutesSeconds,  // "1:15.500"
        Bar,             // "@9" (bar 9's downbeat), "@9.3" (its third beat)
    };
    Form form = Form::Seconds;
    int decimals = 0;      // Seconds, MinutesSeconds: digits after the dot (0 to 3)
    bool withBeat = false; // Bar: the beat was written ("@9.1" as against "@9")
};

struct ScriptLine {
    LineKind kind = LineKind::Blank;
    int number = 0;         // 1-based, as in messages
    std::string raw;        // the line's bytes with its line ending
    size_t lineEnding = 0;  // bytes of raw that are its line ending (0, 1 or 2)

    // Fields (empty when absent):
    //   every timed line: time, verb
    //   start:  effect, name = "layer", value = the layer
    //   stop:   effect
    //   int, float, string: effect, name = the parameter, value (a string's with its quotes)
    //   music:  value = the member
    //   tempo:  name = beats a minute, value = beats a bar
    // comment: from "#" to the end of the line, without the line ending, on any line.
    ByteRange time, verb, effect, name, value, comment;
    TimeNotation notation;  // timed lines
    int64_t timeMs = 0;     // timed lines: the time the parser read

    int section = -1;       // index into Script::sections; -1 above the first one
    int event = -1;         // index into Script::events of the event it produced, or -1

    bool timed() const { return kind >= LineKind::Event; }
    std::string field(ByteRange range) const { return raw.substr(range.begin, range.size()); }
    // The line without its line ending.
    std::string text() const { return raw.substr(0, raw.size() - lineEnding); }
};

struct ScriptSection {
    std::string title;     // "The tunnel"
    int64_t startMs = 0;   // its first event's time
    int64_t endMs = 0;     // the next section's start, or the script's end
    int line = 0;          // the heading's line number
};

}  // namespace glimmerq
