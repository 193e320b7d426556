// program.h: the runtime's side of main(): reads the command line, installs the host,
// enters the program through WinMain and turns the outcome into an exit code.
#pragma once

namespace glimmerq {

// Exit codes: 0 normal end or user quit, 1 data/script/runtime error, 2 bad command line.
int runProgram(int argc, char** argv);

}  // namespace glimmerq
