#include "app/timeline_option.h"

#include "app/exit_codes.h"
#include "app/show_data.h"
#include "runtime/overlay/timeline_chart.h"
#include "runtime/overlay/timeline_picture.h"
#include "runtime/overlay/waveform.h"

namespace glimmerq {

bool writeTimelineChart(const std::string& pngPath, const DataSource& data, const std::string& scriptMember,
                        const Script& script, const std::vector<RegisteredEffect>& effects,
                        const std::function<void(const std::string&)>& say, std::string* error) {
    std::vector<std::string> names;
    for (const RegisteredEffect& effect : effects) names.push_back(effect.name);
    // Boxes say "demoflow:42", the script's member name, not the path it was read from.
    const TimelineChart chart = buildTimelineChart(script, names, scriptMember);

    Waveforms waveforms;
    for (const ChartCue& cue : chart.cues) {
        if (waveforms.count(cue.member)) continue;
        auto bytes = data.read(cue.member);
        if (!bytes) {
            say(data.origin() + ": no member \"" + cue.member + "\"; the chart has no waveform for it");
            continue;
        }
        std::string why;
        auto wave = Waveform::decode(std::move(*bytes), &why);
        if (!wave) {
            say(data.origin() + ": " + cue.member + ": " + why + "; the chart has no waveform for it");
            continue;
        }
        waveforms[cue.member] = std::move(wave);
    }
    return writeTimelinePicture(pngPath, chart, &waveforms, error);
}

int TimelineChartRun::runShow(const std::string&) {
    std::vector<std::string> names;
    for (const RegisteredEffect& effect : host_.effects()) names.push_back(effect.name);
    std::string error;
    const std::string path = findDataPath(options_.dataPath, host_.dataFileName(), &error);
    std::unique_ptr<DataSource> data = path.empty() ? nullptr : openDataSource(path, &error);
    std::optional<Script> script;
    if (data) script = readShowScript(*data, nullptr, host_.scriptName(), names, &error);
    const auto say = [this](const std::string& line) { messages_.report(line); };
    if (!script || !writeTimelineChart(options_.timelinePath, *data, host_.scriptName(), *script, host_.effects(), say,
                                       &error)) {
        messages_.report(error);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace glimmerq
