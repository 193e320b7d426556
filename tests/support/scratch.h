// scratch.h: an empty folder of a test's own under the temporary folder, named by the test
// and the process, so that two suites running at once (a plain and a sanitized build) never
// clear each other's files.
//
//   const fs::path work = glimmerq::testing::scratchFolder("video");   // glimmerq-video-PID-TestName
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace glimmerq::testing {

inline std::filesystem::path scratchFolder(const std::string& kind) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("glimmerq-" + kind + "-" + std::to_string(getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace glimmerq::testing
