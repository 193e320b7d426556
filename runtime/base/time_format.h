// time_format.h: timeline times as people read them.
#pragma once

#include <cstdint>
#include <string>

namespace glimmerq {

// "1:02.350"; whole seconds drop the fraction when `exact` is false ("2:31").
std::string formatShowTime(int64_t ms, bool exact = true);

// The screenshot file name for a timeline time: "glimmerq-1m02.350s.png".
std::string screenshotName(int64_t ms);

}  // namespace glimmerq
