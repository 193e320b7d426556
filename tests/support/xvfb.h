// xvfb.h: an X server of a test's own, for what only a real X server shows (the pointer
// moved by the server, not by events pushed into SDL's queue).
//
//   glimmerq::testing::Xvfb server;             // starts Xvfb on a free display
//   if (!server.ok()) GTEST_SKIP() << "Xvfb is not installed";
//   setenv("DISPLAY", server.display().c_str(), 1);
//
// The server picks its own free display number (-displayfd), so runs at the same time never
// share one; it is stopped, by its process id, when the object goes.
#pragma once

#include "tests/support/scratch.h"

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace glimmerq::testing {

class Xvfb {
public:
    Xvfb() {
        if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) return;
        folder_ = scratchFolder("xvfb");
        const std::filesystem::path number = folder_ / "display";
        const std::string command = "Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>'" + number.string() +
                                    "' >/dev/null 2>&1 & echo $!";
        std::FILE* started = popen(command.c_str(), "r");
        if (!started) return;
        long pid = 0;
        if (std::fscanf(started, "%ld", &pid) != 1) pid = 0;
        pclose(started);
        pid_ = pid_t(pid);
        // The server writes its display number once it accepts connections.
        for (int tries = 0; tries < 100 && pid_ > 0; ++tries) {
            std::ifstream in(number);
            int n = -1;
            if (in >> n && n >= 0) {
                display_ = ":" + std::to_string(n);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~Xvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool ok() const { return !display_.empty(); }
    const std::string& display() const { return display_; }

private:
    std::filesystem::path folder_;
    pid_t pid_ = 0;
    std::string display_;
};

}  // namespace glimmerq::testing
