// program_fixture.h: runs the built program through its command line, headless, in a
// folder of its own per test, and reads back what it wrote.
#pragma once

#include "tests/support/scratch.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace program_test {

namespace fs = std::filesystem;


struct Result {
    int code = -1;
    std::string out, err;
};

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ProgramTest : public ::testing::Test {
protected:
    fs::path work;

    void SetUp() override {
        work = glimmerq::testing::scratchFolder("program");
    }
    void TearDown() override { fs::remove_all(work); }

    // Runs the built program with the given arguments (and environment prefix).
    Result run(const std::string& args, const std::string& environment = "") {
        const fs::path out = work / "stdout.txt", err = work / "stderr.txt";
        const std::string command = environment + " '" GLIMMERQ_PROGRAM "' " + args + " >'" + out.string() + "' 2>'" +
                                    err.string() + "'";
        const int status = std::system(command.c_str());
        Result r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }

    // A data directory holding the built data with a script of our own.
    fs::path dataWithScript(const std::string& script, const std::string& folder = "data") {
        const fs::path dir = work / folder;
        fs::create_directories(dir);
        for (const auto& entry : fs::directory_iterator(GLIMMERQ_DATA_DIR)) fs::copy(entry.path(), dir / entry.path().filename());
        std::ofstream(dir / "demoflow", std::ios::trunc) << script;
        return dir;
    }
};

struct Png {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    int red(int x, int y) const { return rgb[(size_t(y) * width + x) * 3]; }  // y from the top
};

inline Png readPng(const fs::path& path) {
    Png p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return p;
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr)) {
        p.width = int(image.width);
        p.height = int(image.height);
    }
    return p;
}


// Every line the program prints on stderr is its own, one line a problem.
inline void expectOwnLines(const std::string& err) {
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) EXPECT_EQ(line.rfind("glimmerq: ", 0), 0u) << line;
}

}  // namespace program_test
