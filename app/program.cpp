#include "app/program.h"

#include "demogl/demogl.h"
#include "runtime/host/runtime.h"

namespace glimmerq {

int runProgram(int argc, char** argv) {
    Options options;
    int exitCode = 0;
    if (!parseOptions(argc, argv, &options, &exitCode)) return exitCode;

    SteadyClock clock;
    Runtime runtime(options, clock);
    Host* previous = installHost(&runtime);
    WinMain(nullptr, nullptr, argc > 0 ? argv[0] : nullptr, 0);
    installHost(previous);
    return runtime.exitCode();
}

}  // namespace glimmerq
