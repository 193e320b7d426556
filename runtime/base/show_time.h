// show_time.h: timeline times as people write and read them, for the whole program and
// its tools: the script, --start, the title, messages, screenshots and contact sheets.
//
//   int64_t ms;  std::string why;
//   if (!parseShowTime("1:02.250", &ms, &why)) ...;          // 62250, or why not
//   formatShowTime(62350);                                   // "1:02.350"
//   formatShowTime(151000, ShowTimeStyle::Short);            // "2:31"
//   formatShowTime(62350, ShowTimeStyle::Tenths);            // "1:02.4"
//   formatShowTime(75500, showTimeNotation("1:15"));          // "1:15.5": written like "1:15"
//
// TIME is whole or decimal seconds ("12", "12.5") or minutes and seconds below 60
// ("1:02.250"), with at most three decimals, up to about 24 days (so that every time fits
// an effect's 32-bit milliseconds). Not here: durations of work (progress.h prints those
// with hours).
#pragma once

#include <cstdint>
#include <string>

namespace glimmerq {

// The latest show time: what an effect's 32-bit elapsed milliseconds can carry.
constexpr int64_t kMaxShowTimeMs = 2000000000;

// Milliseconds for TIME; false with the reason in *why.
bool parseShowTime(const std::string& text, int64_t* ms, std::string* why);

enum class ShowTimeStyle {
    Exact,   // "1:02.350", always with milliseconds
    Short,   // "2:31" for whole seconds, else as Exact
    Tenths,  // "1:02.4", rounded to the nearest tenth of a second
};

std::string formatShowTime(int64_t ms, ShowTimeStyle style = ShowTimeStyle::Exact);

// How a time was written: seconds ("75", "75.50") or minutes and seconds ("1:15.500").
struct ShowTimeNotation {
    bool minutes = false;
    int decimals = 0;  // 0 to 3
};

// The notation of a text parseShowTime accepts.
ShowTimeNotation showTimeNotation(const std::string& text);

// A time written in a notation: its decimals at least, more where the time needs them
// (75500 like "75" is "75.5"); a trailing zero is never added beyond them.
std::string formatShowTime(int64_t ms, ShowTimeNotation notation);

// The screenshot file name for a timeline time: "glimmerq-1m02.350s.png".
std::string screenshotName(int64_t ms);

}  // namespace glimmerq
