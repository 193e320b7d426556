// The program's start, top to bottom: the command line, the mode it asks for (list the
// effects, draw the chart, or play), the host behind the DEMOGL_ calls, then the demo's own
// entry. WinMain's DEMOGL_AppRun comes back to the mode through the host; the exit code is
// the mode's.
#include "app/effect_list.h"
#include "app/options.h"
#include "app/session.h"
#include "app/timeline_option.h"
#include "demogl/demogl.h"
#include "runtime/base/clock.h"
#include "runtime/base/messages.h"
#include "runtime/host/demogl_host.h"

#include <memory>

namespace {

// Keeps what the mode's runShow returned: WinMain returns its own status, not the mode's.
class ExitCodeOf : public glimmerq::ShowRunner {
public:
    explicit ExitCodeOf(glimmerq::ShowRunner& mode) : mode_(mode) {}
    int runShow(const std::string& title) override { return exitCode = mode_.runShow(title); }
    void endShow() override { mode_.endShow(); }
    int exitCode = 0;

private:
    glimmerq::ShowRunner& mode_;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace glimmerq;
    const Messages messages;
    Options options;
    int exitCode = 0;
    if (!parseOptions(argc, argv, &options, &exitCode)) return exitCode;

    SteadyClock clock;
    DemoGlHost host(messages);
    std::unique_ptr<ShowRunner> mode;
    if (options.listEffects)
        mode = std::make_unique<EffectList>(host, messages.out());
    else if (!options.timelinePath.empty())
        mode = std::make_unique<TimelineChartRun>(options, host, messages);
    else
        mode = std::make_unique<Session>(options, host, clock, messages);
    ExitCodeOf run(*mode);
    host.setShowRunner(&run);
    Host* previous = installHost(&host);
    WinMain(nullptr, nullptr, argc > 0 ? argv[0] : nullptr, 0);
    installHost(previous);
    return run.exitCode;
}
