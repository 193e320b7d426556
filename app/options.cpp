#include "app/options.h"

#include "app/exit_codes.h"

#include "runtime/base/messages.h"
#include "runtime/base/show_time.h"

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>
#include <vector>

namespace glimmerq {

namespace {

constexpr int kMaxRenderSide = 16384;   // pixels
constexpr int kMaxFps = 1000;           // frames a second, for --fps and --max-fps
constexpr size_t kHelpWidth = 80;       // columns
constexpr size_t kHelpNameColumn = 25;  // columns taken by "  --option PLACEHOLDER"

// Splits `text` into lines of at most `width` columns at spaces.
std::vector<std::string> wrap(const std::string& text, size_t width) {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const auto& line : lines) joined += (joined.empty() ? "" : "\n") + line;
    return joined;
}

// CLI11's layout with our placeholders only (no type names, defaults or "Excludes:"), the
// descriptions wrapped to fit the help into kHelpWidth columns.
class HelpFormatter : public CLI::Formatter {
public:
    HelpFormatter() { column_width(kHelpNameColumn); }

    // CLI11 puts a blank line both after a group and before the next one; one is enough.
    std::string make_usage(const CLI::App* app, std::string name) const override {
        return CLI::Formatter::make_usage(app, name) + "\n";
    }
    std::string make_group(std::string group, bool isPositional, std::vector<const CLI::Option*> opts) const override {
        return CLI::Formatter::make_group(group, isPositional, opts).substr(1);
    }
    std::string make_option_opts(const CLI::Option* opt) const override {
        return opt->get_type_size() != 0 ? " " + opt->get_type_name() : std::string();
    }
    std::string make_option_desc(const CLI::Option* opt) const override {
        return joinLines(wrap(opt->get_description(), kHelpWidth - kHelpNameColumn));
    }
    // A two-column table in the options' layout, for the footer.
    std::string table(const std::vector<std::pair<std::string, std::string>>& rows) const {
        std::ostringstream out;
        for (const auto& [name, text] : rows)
            CLI::detail::format_help(out, name, joinLines(wrap(text, kHelpWidth - kHelpNameColumn)),
                                     kHelpNameColumn);
        return out.str();
    }
};

std::string footer(const HelpFormatter& formatter) {
    return "Keys:\n" +
           formatter.table({{"Esc", "quit"},
                            {"Space", "pause or resume"},
                            {"Left, Right", "seek 5 s back or forward (with Shift: 30 s)"},
                            {"Home", "restart from the beginning"},
                            {"R", "reload the data directory"},
                            {"S", "save the frame as PNG"},
                            {"F11, Alt+Enter", "switch between window and full screen"},
                            {"Tab", "show or hide the timeline (click its ruler to seek, drag its runs "
                                    "and ticks to edit the script)"},
                            {"Ctrl+Z, Ctrl+Y", "on the timeline: undo or redo an edit"},
                            {"[, ]", "loop from / to here (Shift-drag on the ruler too)"},
                            {"Backspace", "stop looping the range"}}) +
           "\nExit codes:\n" +
           formatter.table({{"0", "normal end or quit"},
                            {"1", "data, script or runtime error"},
                            {"2", "bad command line"},
                            {"129", "hung up: the terminal was closed"},
                            {"130", "interrupted (Ctrl+C)"},
                            {"143", "terminated (kill)"}}) +
           "\nExamples:\n" +
           formatter.table({{"glimmerq --start 1:10 --loop", "play from 1:10, again and again"},
                            {"glimmerq --video show.mp4 --size 1280x720", "encode the show into show.mp4"}});
}

// A whole number in [low, high] written with digits only.
bool parseWhole(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    int64_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

// The name of a PNG file: ends in .png, in any case, with a name before it.
bool endsWithPng(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() <= 4) return false;
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".png";
}

// Empty when `path` can be written (an existing writable file, or a new file in a writable
// folder); else the reason. Nothing is truncated, and a file made for the test is removed.
std::string writeProblem(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return "it is a folder";
        if (access(path.c_str(), W_OK) != 0) return std::strerror(errno);
        return "";
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return std::strerror(errno);
    close(fd);
    unlink(path.c_str());
    return "";
}

// The sentence for a CLI11 error that our own checks do not cover first; never CLI11's text.
std::string describe(const CLI::ParseError& e) {
    const std::string what = e.what();
    const size_t dash = what.find("--");
    const std::string option =
        dash == std::string::npos ? "" : what.substr(dash, what.find_first_of(" :=,", dash) - dash);
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) || dynamic_cast<const CLI::ConversionError*>(&e))
        return option.empty() ? "an option got a value it does not take" : option + " takes no value";
    return "the command line cannot be read";
}

}  // namespace

bool parseSize(const std::string& text, int* width, int* height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos || x == 0 || x + 1 >= text.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != x && (text[i] < '0' || text[i] > '9')) return false;
    if (x > 5 || text.size() - x - 1 > 5) return false;
    const int w = std::stoi(text.substr(0, x));
    const int h = std::stoi(text.substr(x + 1));
    if (w < 1 || h < 1 || w > kMaxRenderSide || h > kMaxRenderSide) return false;
    *width = w;
    *height = h;
    return true;
}

bool parseOptions(int argc, char** argv, Options* options, int* exitCode, FILE* out, FILE* err) {
    const auto fail = [&](const std::string& sentence) {
        Messages(err, out).report(sentence);
        *exitCode = kExitUsage;
        return false;
    };

    CLI::App app{"glimmerQ by quorV0!xe: a real-time OpenGL demo", "glimmerq"};
    auto formatter = std::make_shared<HelpFormatter>();
    app.formatter(formatter);
    app.footer(footer(*formatter));
    // Unknown options and extra arguments are collected, to be reported in our words.
    app.allow_extras();

    // Values are read as text (0 or 1 of them) and checked below, so that every mistake gets
    // its own sentence.
    std::vector<CLI::Option*> all, values;
    const auto value = [&](const char* name, const char* placeholder, const char* help) {
        CLI::Option* opt = app.add_option(name)->description(help)->type_name(placeholder)->expected(0, 1);
        opt->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        all.push_back(opt);
        values.push_back(opt);
        return opt;
    };
    const auto flag = [&](const std::string& name, const std::string& help) {
        CLI::Option* opt = app.add_flag(name)->description(help);
        all.push_back(opt);
        return opt;
    };

    app.option_defaults()->group("Playing");
    auto* data = value("--data", "PATH", "data file (zip archive) or directory to play (default: glimmerQ.dat "
                                         "beside the program, else the installed one)");
    auto* start = value("--start", "TIME", "begin at this timeline time (75, 1:15.5), on the frame playing "
                                           "from the beginning draws there");
    auto* loop = flag("--loop", "start again from the beginning at the end");
    auto* watch = flag("--watch", "in a window: reload the data directory whenever a file in it changes");
    auto* mute = flag("--mute", "play no sound (and write none into a video); the timeline follows the wall clock");

    app.option_defaults()->group("Window");
    auto* size = value("--size", "WxH", "render size, fixed for the run (default 1280x720, or the desktop's "
                                        "size with --fullscreen)");
    auto* fullscreen = flag("--fullscreen", "start full screen");
    auto* windowed = flag("--windowed", "start in a window (the default)");
    auto* noVsync = flag("--no-vsync", "do not wait for the display's refresh");
    auto* maxFps = value("--max-fps", "N", "draw at most N frames a second (default 60; 0 = the display's "
                                           "rate), 0 to 1000");

    app.option_defaults()->group("Without a window");
    auto* headless = flag("--headless", "play without a window or display");
    auto* fps = value("--fps", "N", "fixed time step: frame n is drawn at n * 1000 / N ms, 1 to 1000");
    auto* frames = value("--frames", "N", "stop after N frames");
    auto* render = value("--render", "DIR", "headless, fixed step (60 fps unless --fps): write every frame "
                                            "to DIR/000000.png, 000001.png, ...");
    auto* video = value("--video", "FILE", "headless, fixed step (60 fps unless --fps): encode the show into "
                                           "FILE (.mp4, .mkv or .webm)");
    auto* benchmark = flag("--benchmark", "headless, fixed step, no vsync, as fast as possible: print frame "
                                          "times per set of running effects");
    auto* benchmarkJson = value("--benchmark-json", "FILE", "the same, also written as JSON to FILE");

    app.option_defaults()->group("Other");
    auto* checkGl = flag("--check-gl", "report OpenGL errors after every effect's frame");
    auto* listEffects = flag("--list-effects", "print the registered effect names and exit");
    auto* timeline = value("--timeline", "FILE", "draw the script's timeline chart (layers, runs, bars, the "
                                                 "music's waveform) into the PNG file FILE and exit");
    app.set_version_flag("--version", std::string("glimmerq ") + GLIMMERQ_VERSION, "print the version and exit");
    app.set_help_flag("-h,--help", "print this help and exit");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), out);
        *exitCode = 0;
        return false;
    } catch (const CLI::CallForVersion& e) {
        std::fprintf(out, "%s\n", e.what());
        *exitCode = 0;
        return false;
    } catch (const CLI::ParseError& e) {
        return fail(describe(e) + " (try --help)");
    }

    for (const CLI::Option* opt : all) {
        const std::string name = opt->get_name();
        if (opt->count() == 2) return fail(name + " is given twice");
        if (opt->count() > 2) return fail(name + " is given " + std::to_string(opt->count()) + " times");
    }
    const auto isValue = [&](const CLI::Option* opt) {
        return std::find(values.begin(), values.end(), opt) != values.end();
    };
    for (const CLI::Option* opt : all) {
        if (opt->count() == 0) continue;
        // CLI11 keeps neither a missing value nor an empty one; a flag's own value is "true".
        const bool empty = opt->results().empty() || opt->results()[0].empty();
        if (isValue(opt) && empty) return fail(opt->get_name() + " needs a value (" + opt->get_type_name() + ")");
        if (!isValue(opt) && !empty && opt->results()[0] != "true")
            return fail(opt->get_name() + " takes no value, not " + opt->results()[0]);
    }
    for (const std::string& extra : app.remaining()) {
        if (extra.size() > 1 && extra[0] == '-')
            return fail("there is no option " + extra.substr(0, extra.find('=')) + " (try --help)");
        return fail("unexpected argument '" + extra + "': glimmerq takes only options (try --help)");
    }
    const auto given = [](const CLI::Option* opt) { return opt->count() > 0; };
    // The one value of an option given once; empty when the option is absent.
    const auto text = [](const CLI::Option* opt) { return opt->results().empty() ? "" : opt->results()[0]; };
    if (given(fullscreen) && given(windowed)) return fail("--fullscreen and --windowed exclude each other");
    if (given(size) && !parseSize(text(size), &options->width, &options->height))
        return fail("--size must be WxH with sides from 1 to " + std::to_string(kMaxRenderSide) + ", not " +
                    text(size));
    if (given(start)) {
        std::string reason;
        if (!parseShowTime(text(start), &options->startMs, &reason))
            return fail("--start must be a show time, not " + text(start) + " (" + reason + ")");
    }
    int64_t number = 0;
    if (given(fps)) {
        if (!parseWhole(text(fps), 1, kMaxFps, &number))
            return fail("--fps must be a whole number from 1 to " + std::to_string(kMaxFps) + ", not " + text(fps));
        options->fps = int(number);
    }
    if (given(maxFps)) {
        if (!parseWhole(text(maxFps), 0, kMaxFps, &number))
            return fail("--max-fps must be a whole number from 0 to " + std::to_string(kMaxFps) + ", not " +
                        text(maxFps));
        options->maxFps = int(number);
    }
    if (given(frames)) {
        if (!parseWhole(text(frames), 1, INT64_MAX, &options->maxFrames))
            return fail("--frames must be a whole number of at least 1, not " + text(frames));
    }
    if (given(benchmarkJson)) {
        const std::string path = text(benchmarkJson);
        const std::string problem = writeProblem(path);
        if (!problem.empty()) return fail("--benchmark-json " + path + " cannot be written: " + problem);
        options->benchmarkJson = path;
    }
    if (given(timeline)) {
        const std::string path = text(timeline);
        if (!endsWithPng(path)) return fail("--timeline writes a PNG picture: its FILE must end in .png, not " + path);
        const std::string problem = writeProblem(path);
        if (!problem.empty()) return fail("--timeline " + path + " cannot be written: " + problem);
        options->timelinePath = path;
    }

    // Only the window's loop looks for changes; without one --watch would do nothing, silently.
    for (const CLI::Option* windowless : {headless, render, video, benchmark, benchmarkJson})
        if (given(watch) && given(windowless))
            return fail("--watch reloads only in a window; it cannot be used with " + windowless->get_name());

    options->dataPath = text(data);
    options->renderDir = text(render);
    options->videoPath = text(video);  // checked with the render size, before anything plays (session.cpp)
    options->fullscreen = given(fullscreen);
    options->vsync = !given(noVsync);
    options->loop = given(loop);
    options->watch = given(watch);
    options->mute = given(mute);
    options->headless = given(headless);
    options->benchmark = given(benchmark) || given(benchmarkJson);
    options->checkGl = given(checkGl);
    options->listEffects = given(listEffects);
    if (!options->renderDir.empty() || !options->videoPath.empty() || options->benchmark) {
        options->headless = true;
        if (options->fps == 0) options->fps = kDefaultRenderFps;
    }
    if (options->benchmark) options->vsync = false;
    return true;
}

}  // namespace glimmerq
