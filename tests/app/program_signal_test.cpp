// The program stopped by a signal mid-run, as a closed terminal, Ctrl+C or kill stop it: it
// exits with the signal's code and leaves no partial video, no ffmpeg and no temporary file.
#include "tests/app/program_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

using namespace program_test;

namespace {

constexpr int kReadyTries = 600;  // of 100 ms: start-up is slow under the sanitizers
constexpr std::chrono::milliseconds kReadyPoll{100};

// The processes whose parent is `parent`, from /proc.
std::vector<pid_t> childrenOf(pid_t parent) {
    std::vector<pid_t> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        // "pid (command) state ppid ...": the command may hold spaces, so read after its ')'.
        const std::string stat = slurp(entry.path() / "stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 1));
        std::string state;
        pid_t ppid = 0;
        if (rest >> state >> ppid && ppid == parent) children.push_back(pid_t(std::stoi(name)));
    }
    return children;
}

// Whether `pid` has a handler for `number` (the SigCgt mask in /proc/PID/status).
bool catches(pid_t pid, int number) {
    std::istringstream status(slurp(fs::path("/proc") / std::to_string(pid) / "status"));
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (number - 1)) & 1;
    return false;
}

struct StopCase {
    const char* mode;  // "video", or "window" (SDL's offscreen driver: a window without a display)
    int signal;
    int exitCode;
};

}  // namespace

TEST_F(ProgramTest, ASignalEndsTheRunWithItsExitCodeAndLeavesNothingBehind) {
    // Music, so that the video's run also makes its temporary copy of the soundtrack.
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n0 music soundtrack.ogg\n0 int CLEAR METHOD 1\n"
                                         "6000:00 end\n");
    const StopCase cases[] = {{"video", SIGHUP, 129}, {"video", SIGINT, 130}, {"video", SIGTERM, 143},
                              {"window", SIGHUP, 129}, {"window", SIGINT, 130}, {"window", SIGTERM, 143}};
    for (const StopCase& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + strsignal(c.signal));
        const bool video = std::strcmp(c.mode, "video") == 0;
        const fs::path tmp = work / ("tmp-" + std::string(c.mode) + "-" + std::to_string(c.signal));
        fs::create_directories(tmp);
        // Named after this test process, so that no other run's file or ffmpeg is mistaken for ours.
        const fs::path file = work / ("show-" + std::to_string(getpid()) + ".mp4");
        const fs::path part = file.string() + ".part";
        const fs::path log = work / "log.txt";

        // env execs the program in the same process, so `pid` below is the program's.
        std::vector<std::string> args = {"/usr/bin/env", "TMPDIR=" + tmp.string()};
        if (!video) args.insert(args.end(), {"SDL_VIDEODRIVER=offscreen", "ASAN_OPTIONS=detect_leaks=0"});
        args.insert(args.end(), {GLIMMERQ_PROGRAM, "--data", data.string(), "--size", "32x32"});
        if (video) args.insert(args.end(), {"--video", file.string()});
        else args.push_back("--mute");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);

        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // As from a terminal: nothing ignored (a test run under nohup would ignore SIGHUP).
            for (int number : {SIGHUP, SIGINT, SIGTERM}) signal(number, SIG_DFL);
            const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            dup2(fd, 2);
            execv(argv[0], argv.data());
            _exit(127);
        }
        // Playing: a video's ffmpeg is writing the file; a window watches for the stop signals.
        std::vector<pid_t> encoders;
        bool ready = false;
        for (int i = 0; i < kReadyTries && !ready; ++i) {
            std::this_thread::sleep_for(kReadyPoll);
            if (video) encoders = childrenOf(pid);
            ready = video ? !encoders.empty() && fs::exists(part) : catches(pid, SIGHUP);
        }
        if (!ready) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            ADD_FAILURE() << "the run never got to playing: " << slurp(log);
            continue;
        }

        kill(pid, c.signal);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << slurp(log);
        for (pid_t encoder : encoders) EXPECT_NE(kill(encoder, 0), 0) << "ffmpeg " << encoder << " outlived the program";
        EXPECT_FALSE(fs::exists(part));
        EXPECT_FALSE(fs::exists(file));
        for (const auto& left : fs::directory_iterator(tmp)) ADD_FAILURE() << "left in TMPDIR: " << left.path();
    }
}
