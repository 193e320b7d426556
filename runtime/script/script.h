// script.h: the timeline script "demoflow".
//
// Line-based UTF-8 text; "#" starts a comment; blank lines are skipped; CRLF is accepted.
// Each event line is `TIME VERB ARGUMENTS`, separated by blanks:
//   12.5    start CKREUZ layer 1        start a run of a registered effect on an integer layer
//   1:02.25 stop CKREUZ                 end its run
//   3       int CLEAR METHOD 2          ReceiveInt / ReceiveFloat / ReceiveString
//   3       float EFFECT NAME 0.5
//   3       string EFFECT NAME "text"   (\" and \\ inside the quotes)
//   0       music soundtrack.ogg        play that data-file member from here on; a later
//                                       music line replaces it, the end stops it
//   0       tempo 120 4                 from here on 120 beats a minute, 4 beats a bar
//   90      end                         exactly one, on the last event line
// TIME is as parseShowTime reads it (12, 12.5, 1:02.250; runtime/base/show_time.h), or,
// after a tempo line, a bar and beat: @9 is bar 9's downbeat, @9.3 its third beat (bars and
// beats count from 1). Bar times resolve against the latest tempo line above them; a later
// tempo line starts a new grid whose bars carry on counting (tempo_map.h: a grid begun inside
// a bar cuts that bar short). Times never decrease from one line to the next. A tempo takes
// up to three decimals (127.5), 1000 at most; a bar has 1 to 64 beats. Tempo lines set the
// grid only: they are no events.
// A comment line starting "# ---" names the section that begins with the next event
// (the timeline chart and the measuring tools show it; playing ignores it).
//
//   std::string error;
//   auto script = parseScript(text, {"CLEAR", "CKREUZ"}, &error);  // "demoflow:3:9: ..." on error
//   script->events;     // what plays
//   script->lines;      // every line as written, with its fields (script_lines.h)
#pragma once

#include "runtime/script/script_lines.h"
#include "runtime/script/tempo_map.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

struct Event {
    enum class Verb { Start, Stop, Int, Float, String, Music, End };

    int line = 0;
    int64_t timeMs = 0;
    Verb verb = Verb::End;
    int effect = -1;          // index into the registered names
    int layer = 0;            // Start
    std::string name;         // Int, Float, String: the parameter name
    int intValue = 0;
    float floatValue = 0.0f;
    std::string text;         // String: the value; Music: the data-file member
};

struct Script {
    std::vector<Event> events;  // in file order; the last one is End
    TempoMap tempo;             // the grids of the tempo lines, empty without one
    std::vector<ScriptLine> lines;        // every line of the text, in file order
    std::vector<ScriptSection> sections;  // by time
    int64_t endMs() const { return events.empty() ? 0 : events.back().timeMs; }
};

// Parses a script against the registered effect names. On error returns nullopt and sets
// *error to "SCRIPTNAME:LINE:COLUMN: what is wrong".
std::optional<Script> parseScript(const std::string& text, const std::vector<std::string>& effects,
                                  std::string* error, const std::string& scriptName = "demoflow");

}  // namespace glimmerq
