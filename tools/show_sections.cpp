// show_sections DEMOFLOW EFFECT...: the show's sections for the measuring tools, read by the
// program's own parser against the registered effect names (`glimmerq --list-effects`):
// one "SECONDS NAME" line each, then "SECONDS end".
//
//   build/tools/show_sections data/demoflow $(build/glimmerq --list-effects)
//   0 Opening
//   16 cube_row
//   ...
//   152 end
//
// A section starts at the first event under its "# ---" heading (runtime/script/script_lines.h);
// its name is the heading's title without a leading "The ", blanks as underscores, so each
// line splits into two words. A script the program would refuse is refused here with the
// same message, and exit code 1.
#include "runtime/base/messages.h"
#include "runtime/base/show_time.h"
#include "runtime/script/script.h"

#include <fstream>
#include <iostream>
#include <iterator>

namespace {

const char kArticle[] = "The ";

std::string wordOf(std::string title) {
    if (title.compare(0, sizeof kArticle - 1, kArticle) == 0) title = title.substr(sizeof kArticle - 1);
    for (char& c : title)
        if (c == ' ' || c == '\t') c = '_';
    return title;
}

std::string seconds(int64_t ms) { return glimmerq::formatShowTime(ms, glimmerq::ShowTimeNotation{false, 0}); }

}  // namespace

int main(int argc, char** argv) {
    const glimmerq::Messages messages;
    if (argc < 3) {
        messages.report("usage: show_sections DEMOFLOW EFFECT...");
        return 2;
    }
    const std::string path = argv[1];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        messages.report(path + ": cannot read the timeline");
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::string> effects(argv + 2, argv + argc);
    std::string error;
    const auto script = glimmerq::parseScript(text, effects, &error, path);
    if (!script) {
        messages.report(error);
        return 1;
    }
    for (const glimmerq::ScriptSection& section : script->sections)
        std::cout << seconds(section.startMs) << ' ' << wordOf(section.title) << '\n';
    std::cout << seconds(script->endMs()) << " end\n";
    return 0;
}
