// The packer: the same files give the same archive, byte for byte, whenever they were made.
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {
std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
}  // namespace

TEST(PackDatafile, TheSameFilesMadeAtOtherTimesGiveTheSameBytes) {
    const fs::path work = glimmerq::testing::scratchFolder("pack");
    fs::create_directories(work / "in");
    std::ofstream(work / "in" / "demoflow") << "0 end\n";
    std::ofstream(work / "in" / "b.jpg") << "not really a picture";
    const auto pack = [&](const std::string& out) {
        const std::string command = "'" GLIMMERQ_PACKER "' '" + (work / out).string() + "' '" + (work / "in").string() +
                                    "' >/dev/null";
        return std::system(command.c_str());
    };
    ASSERT_EQ(pack("first.dat"), 0);
    for (const char* name : {"demoflow", "b.jpg"})
        fs::last_write_time(work / "in" / name, fs::last_write_time(work / "in" / name) - std::chrono::hours(30));
    ASSERT_EQ(pack("second.dat"), 0);
    const std::string first = bytesOf(work / "first.dat");
    EXPECT_GT(first.size(), 0u);
    EXPECT_TRUE(first == bytesOf(work / "second.dat"));
    fs::remove_all(work);
}
