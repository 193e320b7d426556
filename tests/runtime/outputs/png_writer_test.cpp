// writePng on a disk that fills up: the reason names the file, and no cut-off PNG remains.
#include "runtime/outputs/png_writer.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr int kSide = 64;                // pixels; noise does not compress, so about 12 KB
constexpr rlim_t kFileLimitBytes = 4096;  // the "disk" fills up within the first file

}  // namespace

TEST(PngWriter, AFileThatCannotBeFinishedIsRemovedAndTheReasonNamesIt) {
    const fs::path dir = fs::temp_directory_path() / ("glimmerq-png-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path path = dir / "000000.png";
    std::vector<unsigned char> noise(size_t(kSide) * kSide * 4);
    std::mt19937 random(7);
    for (unsigned char& byte : noise) byte = static_cast<unsigned char>(random());

    // A file size limit in a child stands in for a full disk: writes past it fail with EFBIG.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kFileLimitBytes, kFileLimitBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool written = glimmerq::writePng(path.string(), kSide, kSide, noise, &error);
        const bool named = error.rfind(path.string() + ": ", 0) == 0;
        _exit(written ? 1 : named ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_NE(WEXITSTATUS(status), 1) << "the write past the limit succeeded";
    EXPECT_NE(WEXITSTATUS(status), 2) << "the reason does not start with the file's name";
    EXPECT_FALSE(fs::exists(path)) << "the cut-off file stayed behind";
    fs::remove_all(dir);
}
