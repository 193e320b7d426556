#include "runtime/base/messages.h"

namespace glimmerq {

namespace {
const char kPrefix[] = "glimmerq: ";

void writeLine(FILE* stream, const std::string& what) {
    std::fprintf(stream, "%s\n", messageLine(what).c_str());
    std::fflush(stream);
}
}  // namespace

std::string messageLine(const std::string& what) { return kPrefix + what; }

void Messages::report(const std::string& what) const { writeLine(err_, what); }

void Messages::note(const std::string& what) const { writeLine(out_, what); }

}  // namespace glimmerq
