#include "runtime/options.h"

#include "runtime/script.h"

#include <CLI/CLI.hpp>

#include <cstdio>

namespace glimmerq {

namespace {
constexpr int kMaxRenderSide = 16384;
}

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

bool parseOptions(int argc, char** argv, Options* options, int* exitCode) {
    CLI::App app{"glimmerQ by quorV0!xe: a real-time OpenGL demo", "glimmerq"};
    app.set_version_flag("--version", std::string("glimmerq ") + GLIMMERQ_VERSION);

    std::string size, start;
    app.add_option("--data", options->dataPath, "data file (zip archive) or directory to read the demo from");
    app.add_option("--size", size, "render size WxH (default 1280x720, or the desktop's size with --fullscreen)");
    auto* fullscreen = app.add_flag("--fullscreen", options->fullscreen, "play full screen");
    auto* windowed = app.add_flag("--windowed", "play in a window (the default)");
    fullscreen->excludes(windowed);
    bool noVsync = false;
    app.add_flag("--no-vsync", noVsync, "do not wait for the display's refresh");
    app.add_option("--start", start, "begin at this timeline time (seconds, or M:SS.mmm)");
    app.add_flag("--loop", options->loop, "start again from the beginning at the end");
    app.add_flag("--headless", options->headless, "play without a window or display");
    app.add_option("--fps", options->fps, "fixed time step in frames per second")->check(CLI::Range(1, 1000));
    app.add_option("--frames", options->maxFrames, "stop after N frames")->check(CLI::Range(int64_t(1), INT64_MAX));
    app.add_option("--render", options->renderDir, "headless: write every frame to DIR/000000.png, ... (60 fps unless --fps)");
    app.add_flag("--benchmark", options->benchmark, "headless, fixed step, as fast as possible; print frame times per set of running effects");
    app.add_option("--benchmark-json", options->benchmarkJson, "also write the benchmark as JSON to FILE (implies --benchmark)");
    app.add_flag("--check-gl", options->checkGl, "report OpenGL errors after every effect's frame");
    app.add_flag("--list-effects", options->listEffects, "print the registered effect names and exit");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        *exitCode = app.exit(e);
        return false;
    } catch (const CLI::CallForVersion& e) {
        *exitCode = app.exit(e);
        return false;
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "glimmerq: %s (try --help)\n", e.what());
        *exitCode = 2;
        return false;
    }

    if (!size.empty() && !parseSize(size, &options->width, &options->height)) {
        std::fprintf(stderr, "glimmerq: --size: '%s' is not WxH with sides from 1 to %d\n", size.c_str(),
                     kMaxRenderSide);
        *exitCode = 2;
        return false;
    }
    if (!start.empty()) {
        std::string error;
        if (!parseTime(start, &options->startMs, &error)) {
            std::fprintf(stderr, "glimmerq: --start: '%s': %s\n", start.c_str(), error.c_str());
            *exitCode = 2;
            return false;
        }
    }
    options->vsync = !noVsync;
    if (!options->benchmarkJson.empty()) options->benchmark = true;
    if (!options->renderDir.empty() || options->benchmark) {
        options->headless = true;
        if (options->fps == 0) options->fps = kDefaultRenderFps;
    }
    if (options->benchmark) options->vsync = false;
    return true;
}

}  // namespace glimmerq
