#include "runtime/base/show_time.h"

#include <algorithm>
#include <cstdio>

namespace glimmerq {

namespace {

constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kMsPerMinute = 60 * kMsPerSecond;
constexpr int64_t kMsPerTenth = 100;
constexpr size_t kMaxMinutesDigits = 6;
constexpr size_t kMaxSecondsDigits = 9;
constexpr size_t kMaxFractionDigits = 3;  // milliseconds

bool isDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool parseShowTime(const std::string& text, int64_t* ms, std::string* why) {
    std::string minutes, seconds = text;
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
        minutes = text.substr(0, colon);
        seconds = text.substr(colon + 1);
        if (!isDigits(minutes) || minutes.size() > kMaxMinutesDigits) {
            *why = "minutes must be a whole number";
            return false;
        }
    }
    const size_t dot = seconds.find('.');
    const std::string whole = seconds.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : seconds.substr(dot + 1);
    if (!isDigits(whole) || whole.size() > kMaxSecondsDigits || (dot != std::string::npos && !isDigits(fraction))) {
        *why = "expected seconds like 12, 12.5 or 1:02.250";
        return false;
    }
    if (fraction.size() > kMaxFractionDigits) {
        *why = "at most millisecond precision (3 decimals)";
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
    if (value > kMaxShowTimeMs) {
        *why = "too far in the future";
        return false;
    }
    *ms = value;
    return true;
}

std::string formatShowTime(int64_t ms, ShowTimeStyle style) {
    if (ms < 0) return "-" + formatShowTime(-ms, style);
    char text[48];
    if (style == ShowTimeStyle::Tenths) {
        const long long tenths = (ms + kMsPerTenth / 2) / kMsPerTenth;
        const long long tenthsPerMinute = kMsPerMinute / kMsPerTenth;
        std::snprintf(text, sizeof text, "%lld:%02lld.%lld", tenths / tenthsPerMinute, tenths % tenthsPerMinute / 10,
                      tenths % 10);
        return text;
    }
    const long long minutes = ms / kMsPerMinute, seconds = ms / kMsPerSecond % 60, millis = ms % kMsPerSecond;
    if (style == ShowTimeStyle::Short && millis == 0)
        std::snprintf(text, sizeof text, "%lld:%02lld", minutes, seconds);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", minutes, seconds, millis);
    return text;
}

ShowTimeNotation showTimeNotation(const std::string& text) {
    ShowTimeNotation notation;
    notation.minutes = text.find(':') != std::string::npos;
    const size_t dot = text.find('.');
    notation.decimals = dot == std::string::npos ? 0 : int(std::min(text.size() - dot - 1, kMaxFractionDigits));
    return notation;
}

std::string formatShowTime(int64_t ms, ShowTimeNotation notation) {
    if (ms < 0) return "-" + formatShowTime(-ms, notation);
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03lld", (long long)(ms % kMsPerSecond));
    std::string fraction = digits;
    const size_t keep = size_t(std::clamp(notation.decimals, 0, int(kMaxFractionDigits)));
    while (fraction.size() > keep && fraction.back() == '0') fraction.pop_back();
    char text[48];
    if (notation.minutes)
        std::snprintf(text, sizeof text, "%lld:%02lld", (long long)(ms / kMsPerMinute), (long long)(ms / kMsPerSecond % 60));
    else
        std::snprintf(text, sizeof text, "%lld", (long long)(ms / kMsPerSecond));
    return fraction.empty() ? std::string(text) : std::string(text) + "." + fraction;
}

std::string screenshotName(int64_t ms) {
    if (ms < 0) ms = 0;
    char text[64];
    std::snprintf(text, sizeof text, "glimmerq-%lldm%02lld.%03llds.png", (long long)(ms / kMsPerMinute),
                  (long long)(ms / kMsPerSecond % 60), (long long)(ms % kMsPerSecond));
    return text;
}

}  // namespace glimmerq
