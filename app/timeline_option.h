// timeline_option.h: `--timeline FILE.png`, the chart of the whole script as a picture.
//
//   TimelineChartRun chart(options, host, messages);
//   host.setShowRunner(&chart);     // DEMOGL_AppRun finds the data, reads it and draws
//
// or, with the script at hand:
//   writeTimelineChart(options.timelinePath, data, "demoflow", script, effects, say, &error);
//
// Reads the script's text again for its section headings, decodes the track of every music
// line once for the waveform (a missing or bad track is said through `say`, and the chart
// is drawn without it) and writes the picture (timeline_picture.h). Needs no window and
// sets no effect up.
#pragma once

#include "app/options.h"
#include "runtime/base/messages.h"
#include "runtime/data/data_source.h"
#include "runtime/host/demogl_host.h"
#include "runtime/host/show_runner.h"
#include "runtime/script/script.h"
#include "runtime/script/timeline.h"

#include <functional>
#include <string>
#include <vector>

namespace glimmerq {

bool writeTimelineChart(const std::string& pngPath, const DataSource& data, const std::string& scriptMember,
                        const Script& script, const std::vector<RegisteredEffect>& effects,
                        const std::function<void(const std::string&)>& say, std::string* error);

class TimelineChartRun : public ShowRunner {
public:
    TimelineChartRun(const Options& options, const DemoGlHost& host, const Messages& messages)
        : options_(options), host_(host), messages_(messages) {}
    // 0 when the picture is written; else one line on stderr and 1.
    int runShow(const std::string& title) override;
    void endShow() override {}

private:
    const Options& options_;
    const DemoGlHost& host_;
    const Messages& messages_;
};

}  // namespace glimmerq
