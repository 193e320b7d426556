// timeline_option.h: `--timeline FILE.png`, the chart of the whole script as a picture.
//
//   if (!options.timelinePath.empty())
//       return writeTimelineChart(options.timelinePath, data, "demoflow", script, effects, say, &error)
//                  ? 0 : fail(error);
//
// Reads the script's text again for its section headings, decodes the track of every music
// line once for the waveform (a missing or bad track is said through `say`, and the chart
// is drawn without it) and writes the picture (timeline_picture.h). Needs no window.
#pragma once

#include "runtime/data/data_source.h"
#include "runtime/script/script.h"
#include "runtime/script/timeline.h"

#include <functional>
#include <string>
#include <vector>

namespace glimmerq {

bool writeTimelineChart(const std::string& pngPath, const DataSource& data, const std::string& scriptMember,
                        const Script& script, const std::vector<RegisteredEffect>& effects,
                        const std::function<void(const std::string&)>& say, std::string* error);

}  // namespace glimmerq
