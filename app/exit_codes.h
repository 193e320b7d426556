// exit_codes.h: what the program's exit status says, as README.md, --help and the manual
// page list them.
//
//   return kExitFailure;              // one line on stderr said why
//   return exitCodeForSignal(SIGTERM);  // 143
#pragma once

namespace glimmerq {

constexpr int kExitOk = 0;          // the show ended, or the person quit
constexpr int kExitFailure = 1;     // a data, script or runtime error
constexpr int kExitUsage = 2;       // a bad command line, or a --start past the end of the show
constexpr int kExitSignalBase = 128;  // stopped by signal N: 128 + N, as shells report it

constexpr int exitCodeForSignal(int signalNumber) { return kExitSignalBase + signalNumber; }

}  // namespace glimmerq
