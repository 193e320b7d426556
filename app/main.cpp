// The program's start, top to bottom: the command line, the session that plays one run, the
// host behind the DEMOGL_ calls, then the demo's own entry. WinMain's DEMOGL_AppRun comes
// back to the session through the host; the exit code is the session's.
#include "app/options.h"
#include "app/session.h"
#include "demogl/demogl.h"
#include "runtime/base/clock.h"
#include "runtime/base/messages.h"
#include "runtime/host/demogl_host.h"

int main(int argc, char** argv) {
    using namespace glimmerq;
    const Messages messages;
    Options options;
    int exitCode = 0;
    if (!parseOptions(argc, argv, &options, &exitCode)) return exitCode;

    SteadyClock clock;
    DemoGlHost host(messages);
    Session session(options, host, clock, messages);
    host.setShowRunner(&session);
    Host* previous = installHost(&host);
    WinMain(nullptr, nullptr, argc > 0 ? argv[0] : nullptr, 0);
    installHost(previous);
    return session.exitCode();
}
