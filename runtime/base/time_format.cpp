#include "runtime/base/time_format.h"

#include <cstdio>

namespace glimmerq {

std::string formatShowTime(int64_t ms, bool exact) {
    if (ms < 0) return "-" + formatShowTime(-ms, exact);
    const long long minutes = ms / 60000, seconds = ms / 1000 % 60, millis = ms % 1000;
    char text[48];
    if (!exact && millis == 0)
        std::snprintf(text, sizeof text, "%lld:%02lld", minutes, seconds);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", minutes, seconds, millis);
    return text;
}

std::string screenshotName(int64_t ms) {
    if (ms < 0) ms = 0;
    char text[64];
    std::snprintf(text, sizeof text, "glimmerq-%lldm%02lld.%03llds.png", (long long)(ms / 60000),
                  (long long)(ms / 1000 % 60), (long long)(ms % 1000));
    return text;
}

}  // namespace glimmerq
