// tools/show_sections, which the measuring tools read the show's sections from: the shipped
// script's sections at their bar lines, a second tempo that begins inside a bar, and a script
// the program refuses, refused with the program's message.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Finished {
    std::string out;
    int status = -1;
};

Finished run(const std::string& command) {
    Finished result;
    FILE* in = popen(command.c_str(), "r");
    if (!in) return result;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) result.out.append(buffer, n);
    const int status = pclose(in);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

TEST(ShowSections, PrintsEachSectionsStartFromTheProgramsParser) {
    const std::string scratch = (fs::temp_directory_path() / ("glimmerq-sections-" + std::to_string(getpid()))).string();
    struct Row {
        const char* what;
        std::string script;   // empty: the shipped one
        std::string printed;  // stdout
        int status;
        std::string error;    // a part of stderr
    };
    const Row rows[] = {
        {"shipped", "",
         "0 Opening\n16 cube_row\n28 stone_cross\n40 Glow\n52 tunnel\n64 icosahedron\n76 coil\n88 Split_screen\n"
         "104 land\n120 Greetings_over_the_tunnel\n136 Outro\n152 end\n",
         0, ""},
        {"a tempo inside a bar",
         "0 tempo 120 4\n"
         "# --- First, bars 1-2\n@1 start CLEAR layer 0\n"
         "@2.2 tempo 90 3\n"  // 2.5 s, inside bar 2: bar 3 begins here, beats of 2/3 s
         "# --- Second\n@3.3 int CLEAR METHOD 1\n"
         "# --- Third\n1:00.5 int CLEAR METHOD 0\n"
         "@40 end\n",
         "0 First\n3.833 Second\n60.5 Third\n76.5 end\n", 0, ""},
        {"refused", "0 start CLEAR layer 0\n1 start NOPE layer 1\n2 end\n", "", 1, ":2:9: unknown effect 'NOPE'"},
    };
    for (const Row& row : rows) {
        const std::string path = row.script.empty() ? std::string(GLIMMERQ_SOURCE_DIR "/data/demoflow") : scratch;
        if (!row.script.empty()) std::ofstream(scratch, std::ios::binary) << row.script;
        const Finished done = run("'" GLIMMERQ_SHOW_SECTIONS "' '" + path + "' $('" GLIMMERQ_PROGRAM "' --list-effects) 2>'" +
                             scratch + ".err'");
        std::ifstream errIn(scratch + ".err");
        const std::string err((std::istreambuf_iterator<char>(errIn)), std::istreambuf_iterator<char>());
        EXPECT_EQ(done.out, row.printed) << row.what;
        EXPECT_EQ(done.status, row.status) << row.what;
        EXPECT_NE(err.find(row.error), std::string::npos) << row.what << ": " << err;
        if (!row.error.empty()) {
            EXPECT_EQ(err.rfind("glimmerq: ", 0), 0u) << err;
        }
    }
    fs::remove(scratch);
    fs::remove(scratch + ".err");
}
