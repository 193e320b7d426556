// soak: the program's peak memory after 1, 3 and 10 loops of the show.
//
//   soak [--data PATH] [-- EXTRA PROGRAM ARGUMENTS]
//
// Runs the glimmerq program built beside it with --headless --loop --fps 60 --no-vsync
// --size 128x128 and --frames set to whole loops of the show, three times, and prints each
// run's peak resident memory (from the kernel's accounting of the finished child). Memory
// that the GL queues frame after frame, or that a run leaks per loop, shows as a peak that
// grows with the loops; a bounded run stays within a few per cent of its one-loop peak.
// Extra arguments go to the program after the fixed ones.
//
// Not a test: it takes minutes. Exit status 1 when the 10-loop peak exceeds the 1-loop peak
// by more than 5 %.
#include "runtime/data/data_source.h"
#include "runtime/script/script.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kFramesPerSecond = 60;
constexpr int kLoopCounts[] = {1, 3, 10};
constexpr double kAllowedGrowth = 0.05;
const char* const kBaseArguments[] = {"--headless", "--loop", "--fps", "60", "--no-vsync", "--size", "128x128"};

// Peak resident memory of one run in MiB, or a negative number when it failed.
double peakMiB(const std::string& program, const std::vector<std::string>& arguments) {
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return double(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path here = fs::read_symlink("/proc/self/exe").parent_path();
    const std::string program = (here / "glimmerq").string();
    std::string data = (here / "glimmerQ.dat").string();
    std::vector<std::string> extra;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else if (arg == "--") {
            for (++i; i < argc; ++i) extra.push_back(argv[i]);
        } else {
            std::fprintf(stderr, "usage: soak [--data PATH] [-- EXTRA PROGRAM ARGUMENTS]\n");
            return 2;
        }
    }

    // The show's length, from its script, checked against the program's own effect names.
    std::vector<std::string> names;
    if (FILE* list = popen(("'" + program + "' --list-effects").c_str(), "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, list)) names.emplace_back(line, std::strcspn(line, "\n"));
        pclose(list);
    }
    std::string error;
    const auto source = glimmerq::openDataSource(data, &error);
    const auto text = source ? source->read("demoflow") : std::nullopt;
    const auto script =
        text ? glimmerq::parseScript(std::string(text->begin(), text->end()), names, &error) : std::nullopt;
    if (!script) {
        std::fprintf(stderr, "soak: %s: %s\n", data.c_str(), error.empty() ? "no script" : error.c_str());
        return 1;
    }
    const int64_t endMs = script->endMs();
    const int64_t framesPerLoop = endMs * kFramesPerSecond / 1000;

    std::printf("loops  frames  peak MiB\n");
    std::vector<double> peaks;
    for (int loops : kLoopCounts) {
        std::vector<std::string> arguments(std::begin(kBaseArguments), std::end(kBaseArguments));
        arguments.insert(arguments.end(), {"--data", data, "--frames", std::to_string(framesPerLoop * loops)});
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const double peak = peakMiB(program, arguments);
        if (peak < 0) {
            std::fprintf(stderr, "soak: %s failed after %d loop(s)\n", program.c_str(), loops);
            return 1;
        }
        peaks.push_back(peak);
        std::printf("%5d  %6lld  %8.1f\n", loops, (long long)(framesPerLoop * loops), peak);
        std::fflush(stdout);
    }
    const double growth = peaks.back() / peaks.front() - 1.0;
    std::printf("10 loops against 1: %+.1f %%\n", growth * 100.0);
    return growth > kAllowedGrowth ? 1 : 0;
}
