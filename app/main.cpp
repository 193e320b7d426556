// Linux entry: the runtime reads the command line itself, as a host library would,
// then enters the program through WinMain.
#include "app/program.h"

int main(int argc, char** argv) { return glimmerq::runProgram(argc, argv); }
