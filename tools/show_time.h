// show_time.h: show times for the offline tools, as the program counts them.
//
//   int64_t startMs = 0;  std::string why;
//   if (!show_time::parse("1:02.250", &startMs, &why)) { /* report why */ }
//   show_time::stamp(show_time::ofFrame(startMs, frame, fps));   // "1:02.3"
//
// parse takes the program's TIME syntax (whole or decimal seconds, or M:SS with up to three
// decimals); ofFrame is the show time of a frame of a fixed-step render begun at a start
// time (`glimmerq --render DIR --start TIME --fps N`), with the runtime's own rounding.
// Header only, so tools use it without linking the runtime.
// Not here: looping renders (a render that wraps to the show's beginning starts again at 0).
#pragma once

#include "runtime/base/clock.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace show_time {

constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kMsPerMinute = 60 * kMsPerSecond;
constexpr int64_t kMsPerTenth = 100;
constexpr size_t kMaxSecondsDigits = 9;
constexpr size_t kMaxMinutesDigits = 6;
constexpr size_t kMaxFractionDigits = 3;  // milliseconds

inline bool allDigits(const std::string& text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// "12", "12.5", "1:02.250" -> milliseconds; false with a reason for anything else.
inline bool parse(const std::string& text, int64_t* ms, std::string* why) {
    std::string minutes, seconds = text;
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
        minutes = text.substr(0, colon);
        seconds = text.substr(colon + 1);
        if (!allDigits(minutes, kMaxMinutesDigits)) {
            *why = "minutes must be a whole number";
            return false;
        }
    }
    const size_t dot = seconds.find('.');
    const std::string whole = seconds.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : seconds.substr(dot + 1);
    if (!allDigits(whole, kMaxSecondsDigits) || (dot != std::string::npos && !allDigits(fraction, kMaxFractionDigits))) {
        *why = "expected seconds like 12, 12.5 or 1:02.250 (at most 3 decimals)";
        return false;
    }
    int64_t value = std::stoll(whole) * kMsPerSecond;
    if (!fraction.empty()) value += std::stoll((fraction + "00").substr(0, kMaxFractionDigits));
    if (!minutes.empty()) {
        if (std::stoll(whole) >= 60) {
            *why = "seconds after a minutes part must be below 60";
            return false;
        }
        value += std::stoll(minutes) * kMsPerMinute;
    }
    *ms = value;
    return true;
}

// Show time of frame `frame` (0 = the first written) of a render begun at startMs.
inline int64_t ofFrame(int64_t startMs, int64_t frame, int fps) {
    return startMs + glimmerq::fixedStepMs(frame, fps);
}

// "M:SS.s", rounded to the nearest tenth of a second.
inline std::string stamp(int64_t ms) {
    const int64_t tenths = (ms + kMsPerTenth / 2) / kMsPerTenth;
    const int64_t tenthsPerMinute = kMsPerMinute / kMsPerTenth;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", (long long)(tenths / tenthsPerMinute),
                  (long long)(tenths % tenthsPerMinute / 10), (long long)(tenths % 10));
    return text;
}

}  // namespace show_time
