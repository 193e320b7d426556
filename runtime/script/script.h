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
//   90      end                         exactly one, on the last event line
// TIME is as parseShowTime reads it (12, 12.5, 1:02.250; runtime/base/show_time.h); times
// never decrease from one line to the next.
//
//   std::string error;
//   auto script = parseScript(text, {"CLEAR", "CKREUZ"}, &error);  // "demoflow:3:9: ..." on error
#pragma once

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
    int64_t endMs() const { return events.empty() ? 0 : events.back().timeMs; }
};

// Parses a script against the registered effect names. On error returns nullopt and sets
// *error to "SCRIPTNAME:LINE:COLUMN: what is wrong".
std::optional<Script> parseScript(const std::string& text, const std::vector<std::string>& effects,
                                  std::string* error, const std::string& scriptName = "demoflow");

}  // namespace glimmerq
