// A script written the ways people write them, for the line model's and the editor's tests:
// CRLF, tabs, an indented line, comments after events, seconds, m:ss and bar times under
// two tempo lines (120 beats a minute in 4/4, then 90 in 3/4 from bar 9 at 16 s).
#pragma once

#include <string>
#include <vector>

namespace glimmerq::testing {

inline const std::vector<std::string> kHostileEffects = {"CLEAR", "SPLASH", "CKREUZ", "EASYONE"};

inline const char kHostileScript[] =
    "# hostile\r\n"                           // 1
    "0\ttempo 120 4\t# two tempos\r\n"        // 2
    "\r\n"                                    // 3
    "# --- First, bars 1-8\r\n"               // 4
    "@1\tstart CLEAR layer 0   # clear\r\n"   // 5   0
    "@1.1    int CLEAR METHOD 1\r\n"          // 6   0
    "0:02.500 start SPLASH layer 1\r\n"       // 7   2.5 s
    "4.25    stop SPLASH     # sparks out\r\n"  // 8   4.25 s
    "\t@5  start CKREUZ layer 2\r\n"          // 9   8 s
    "# --- Second, from bar 9\r\n"            // 10
    "@9      tempo 90 3\r\n"                  // 11  16 s
    "@9.2    stop CKREUZ # cross\r\n"         // 12  16.667 s
    "20.125  start EASYONE layer 1\r\n"       // 13
    "0:25    stop EASYONE\r\n"                // 14
    "@14     end\r\n";                        // 15  26 s

}  // namespace glimmerq::testing
