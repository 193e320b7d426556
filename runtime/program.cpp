#include "runtime/program.h"
#include "host/demogl.h"
namespace glimmerq {
int runProgram(int, char**) { return WinMain(nullptr, nullptr, nullptr, 0); }
}
