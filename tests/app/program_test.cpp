// The program end to end, through its command line, headless.
#include "runtime/script/script.h"
#include "tests/app/program_fixture.h"

#include <unistd.h>
#include <zip.h>

using namespace program_test;

namespace {

// Where xvfb-run starts looking for a free display: apart for each process, so that two test
// processes starting servers at once do not both take the same one.
std::string xvfbStart() { return std::to_string(100 + getpid() % 800); }

// A shell loop that waits, up to 20 s, for `text` in the file: a loaded machine (the
// sanitizers, parallel tests) may take far longer than usual to notice a change.
std::string waitFor(const std::string& text, const fs::path& file) {
    return "for i in $(seq 200); do grep -q '" + text + "' '" + file.string() + "' && break; sleep 0.1; done";
}

}  // namespace

TEST_F(ProgramTest, RendersTheRequestedFramesOfTheDemoAtTheRenderSize) {
    const Result r = run("--data '" GLIMMERQ_DATAFILE "' --render '" + (work / "frames").string() +
                         "' --frames 120 --size 320x240 --check-gl");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err.find("GL error"), std::string::npos) << r.err;
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(work / "frames")) count += entry.path().extension() == ".png";
    EXPECT_EQ(count, 120u);
    const Png last = readPng(work / "frames" / "000119.png");
    EXPECT_EQ(last.width, 320);
    EXPECT_EQ(last.height, 240);
}

TEST_F(ProgramTest, FixedStepFramesShowTheFadeAtTheirExactTimes) {
    // At 10 fps frame n is drawn at n * 100 ms; the fade starts with frame 5 and rises 1 % a frame.
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n0.5 int CLEAR METHOD 2\n0.8 int CLEAR SCISSOR 1\n9 end\n");
    const Result r = run("--data '" + data.string() + "' --render '" + (work / "f").string() +
                         "' --fps 10 --frames 12 --size 40x100 --check-gl");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readPng(work / "f" / "000004.png").red(20, 50), 0);
    EXPECT_EQ(readPng(work / "f" / "000005.png").red(20, 50), 0);  // level 0.00
    EXPECT_NEAR(readPng(work / "f" / "000007.png").red(20, 50), 5, 1);
    // The letterbox set at the end of frame 8 (level 0.03) clips the clears from frame 9 on:
    // the top and bottom rows keep frame 8's grey while the band goes on fading.
    const Png letterboxed = readPng(work / "f" / "000011.png");
    EXPECT_NEAR(letterboxed.red(20, 50), 15, 1);
    EXPECT_NEAR(letterboxed.red(20, 0), 8, 1);
    EXPECT_NEAR(letterboxed.red(20, 99), 8, 1);
}

TEST_F(ProgramTest, StartSkipsEarlierEventsWithoutDrawingAndLoopReplays) {
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n1 int CLEAR METHOD 3\n2 end\n");
    Result r = run("--data '" + data.string() + "' --render '" + (work / "s").string() +
                   "' --start 1.5 --fps 10 --frames 3 --size 8x8");
    ASSERT_EQ(r.code, 0) << r.err;
    // The first frame drawn is the show's own at 1.5 s: the sixth of the fade begun at 1.0 s.
    EXPECT_EQ(readPng(work / "s" / "000000.png").red(4, 4), 242);
    // With --loop the 2-second script plays on past its end.
    r = run("--data '" + data.string() + "' --render '" + (work / "l").string() + "' --loop --fps 10 --frames 45 --size 8x8");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(work / "l" / "000044.png"));
    // Every pass is the show from its beginning: black until the fade from white at 1.0 s.
    EXPECT_EQ(readPng(work / "l" / "000029.png").red(4, 4), 0);
    EXPECT_EQ(readPng(work / "l" / "000030.png").red(4, 4), 255);
    // A script that ends before its first frame does not loop forever.
    const fs::path instant = dataWithScript("0 start CLEAR layer 0\n0 end\n", "instant");
    r = run("--data '" + instant.string() + "' --headless --loop --fps 10 --size 8x8");
    EXPECT_EQ(r.code, 0) << r.err;
    // Without --loop the program stops at the end.
    r = run("--data '" + data.string() + "' --render '" + (work / "e").string() + "' --fps 10 --size 8x8");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(work / "e" / "000019.png"));
    EXPECT_FALSE(fs::exists(work / "e" / "000020.png"));
}

TEST_F(ProgramTest, ScriptAndDataErrorsExitOneWithOneLine) {
    fs::path data = dataWithScript("0 start CLEAR layer 0\n1 jump CLEAR\n2 end\n");
    Result r = run("--data '" + data.string() + "' --headless");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "glimmerq: " + (data / "demoflow").string() + ":2:3: unknown verb 'jump'\n");

    r = run("--data '" + (work / "nothing.dat").string() + "' --headless");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("nothing.dat: no such file or directory"), std::string::npos) << r.err;

    fs::remove(data / "demoflow");
    r = run("--data '" + data.string() + "' --headless");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no timeline script \"demoflow\""), std::string::npos) << r.err;

    // The script is there, but encrypted: the message says so rather than calling it absent.
    const fs::path locked = work / "locked.dat";
    int code = 0;
    zip_t* zip = zip_open(locked.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(zip, nullptr);
    static const char kScript[] = "0 end\n";
    const zip_int64_t member = zip_file_add(zip, "demoflow", zip_source_buffer(zip, kScript, sizeof kScript - 1, 0), 0);
    ASSERT_EQ(zip_file_set_encryption(zip, zip_uint64_t(member), ZIP_EM_AES_256, "secret"), 0);
    ASSERT_EQ(zip_close(zip), 0);
    r = run("--data '" + locked.string() + "' --headless");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "glimmerq: " + locked.string() + ": member \"demoflow\" is encrypted: the data file cannot be "
                     "read (glimmerq reads unencrypted zip archives)\n");
}

TEST_F(ProgramTest, MissingSplashLeavesTheLoadingScreenWithoutIt) {
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n0.1 end\n");
    fs::remove(data / "cnslbg.jpg");
    const Result r = run("--data '" + data.string() + "' --headless --fps 60 --size 16x16");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("cnslbg.jpg: not found"), std::string::npos) << r.err;
}

TEST_F(ProgramTest, CommandLineErrorsExitTwoAndInformationalFlagsExitZero) {
    EXPECT_EQ(run("--size 320").code, 2);
    EXPECT_EQ(run("--size 0x10").code, 2);
    EXPECT_EQ(run("--fps 0").code, 2);
    EXPECT_EQ(run("--start soon").code, 2);
    EXPECT_EQ(run("--fullscreen --windowed").code, 2);
    const Result unknown = run("--bogus");
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("--bogus"), std::string::npos);
    EXPECT_EQ(run("--help").code, 0);
    const Result version = run("--version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("glimmerq ", 0), 0u) << version.out;
}

TEST_F(ProgramTest, ListEffectsPrintsTheRegisteredNamesInTableOrder) {
    const Result r = run("--list-effects");
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("CLEAR\n", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(ProgramTest, WithoutADisplayItSaysSoAndSuggestsRender) {
    const Result r = run("--data '" GLIMMERQ_DATAFILE "'", "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("--render"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(ProgramTest, PlaysInARealWindowUnderXvfb) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n0 int CLEAR SCISSOR 1\n0 int CLEAR METHOD 2\n9 end\n");
    const Result r = run("--data '" + data.string() + "' --frames 30 --size 160x90 --check-gl",
                         // SDL's D-Bus and the windowed GL driver keep allocations for the life of the
                         // process, unreachable once the driver is unloaded: no leak check here.
                         "env -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -n " + xvfbStart() + " -s '-screen 0 320x240x24'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err.find("GL error"), std::string::npos) << r.err;
}

// Window managers show _NET_WM_NAME; Xlib fills it only when it can convert the title,
// which takes a UTF-8 character type once the title holds more than ASCII (the em dash).
TEST_F(ProgramTest, TheWindowManagerSeesTheTitleChangeToTheTimeAndAReloadError) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xprop >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run or xprop is not installed";
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n60 end\n");
    const fs::path script = work / "title.sh";
    std::ofstream(script) << "'" GLIMMERQ_PROGRAM "' --data '" << data.string() << "' --watch --mute --size 160x90 &\n"
        "pid=$!; id=\n"
        "for i in $(seq 100); do id=$(xwininfo -root -children 2>/dev/null | awk '/glimmerq/ {print $1}'); [ -n \"$id\" ] && break; sleep 0.1; done\n"
        "printf 'strat CLEAR\\n' > '" << (data / "demoflow").string() << "'\n"
        "for i in $(seq 100); do\n"
        "  name=$(xprop -id \"$id\" _NET_WM_NAME 2>/dev/null); case $name in *demoflow*) break;; esac; sleep 0.1\n"
        "done\n"
        "kill $pid; wait $pid; echo \"$name\"\n";
    const fs::path out = work / "title.txt";
    std::system(("env -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -n " + xvfbStart() + " -s '-screen 0 320x240x24' sh '" +
                 script.string() + "' >'" + out.string() + "' 2>&1").c_str());
    const std::string title = slurp(out);
    EXPECT_NE(title.find("glimmerQ/quorV0!xe!!! \u2014 0:"), std::string::npos) << title;
    EXPECT_NE(title.find("demoflow:1:1"), std::string::npos) << title;
}

// Tools that read WM_NAME find the window by name: both names carry a type the standards name,
// while the title holds the em dash of the time shown after a seek.
TEST_F(ProgramTest, TheWindowsNamesHaveStandardTypesAndXdotoolFindsIt) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xprop >/dev/null 2>&1 && "
                    "command -v xdotool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run, xprop or xdotool is not installed";
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n60 end\n");
    const fs::path script = work / "name.sh";
    std::ofstream(script) << "'" GLIMMERQ_PROGRAM "' --data '" << data.string() << "' --start 5 --mute --size 160x90 &\n"
        "pid=$!; id=\n"
        "for i in $(seq 100); do id=$(xwininfo -root -children 2>/dev/null | awk '/glimmerq/ {print $1}'); [ -n \"$id\" ] && break; sleep 0.1; done\n"
        "for i in $(seq 50); do\n"
        "  names=$(xprop -id \"$id\" WM_NAME _NET_WM_NAME 2>/dev/null); case $names in *0:0*) break;; esac; sleep 0.1\n"
        "done\n"
        "echo \"$names\"; echo \"window $(printf %d \"$id\")\"\n"
        // The title is rewritten as the time moves on: a search can miss it mid-change.
        "for i in $(seq 20); do found=$(xdotool search --name glimmerQ); [ -n \"$found\" ] && break; sleep 0.1; done\n"
        "for f in $found; do echo \"found $f\"; done\n"
        "kill $pid; wait $pid\n";
    const fs::path out = work / "name.txt";
    std::system(("env -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -n " + xvfbStart() + " -s '-screen 0 320x240x24' sh '" +
                 script.string() + "' >'" + out.string() + "' 2>&1").c_str());
    const std::string shown = slurp(out);
    const bool standardType = shown.find("WM_NAME(STRING) = ") != std::string::npos ||
                              shown.find("WM_NAME(COMPOUND_TEXT) = ") != std::string::npos ||
                              shown.find("WM_NAME(UTF8_STRING) = ") != std::string::npos;
    EXPECT_TRUE(standardType) << shown;
    EXPECT_NE(shown.find("_NET_WM_NAME(UTF8_STRING) = \"glimmerQ/quorV0!xe!!! \u2014 0:0"), std::string::npos) << shown;
    const size_t window = shown.find("window ");
    ASSERT_NE(window, std::string::npos) << shown;
    const std::string id = shown.substr(window + 7, shown.find('\n', window) - window - 7);
    EXPECT_NE(shown.find("found " + id + "\n"), std::string::npos) << shown;
}

TEST_F(ProgramTest, BenchmarkPrintsATableAndWritesJson) {
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n0.5 int CLEAR METHOD 1\n1 end\n");
    const fs::path json = work / "bench.json";
    const Result r = run("--data '" + data.string() + "' --benchmark-json '" + json.string() + "' --size 64x64");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("median ms"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nCLEAR "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("overall: 60 frames"), std::string::npos) << r.out;
    const std::string written = slurp(json);
    EXPECT_NE(written.find("\"effects\": \"CLEAR\", \"frames\": 60"), std::string::npos) << written;
}

TEST_F(ProgramTest, StartPastTheEndIsABadCommandLineNamingTheShowsLength) {
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n2:31 end\n");
    const Result r = run("--data '" + data.string() + "' --render '" + (work / "r").string() + "' --start 99:00");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "glimmerq: --start 99:00 is past the end of the show (2:31)\n");
    EXPECT_FALSE(fs::exists(work / "r"));
    EXPECT_EQ(run("--data '" + data.string() + "' --render '" + (work / "r").string() + "' --start 2:31").code, 2);
    EXPECT_EQ(run("--data '" + data.string() + "' --render '" + (work / "r").string() + "' --start 2:30.9").code, 0);
}

TEST_F(ProgramTest, MissingTexturesAndModelsAreReportedOncePerEffectInPlainWords) {
    const fs::path data = dataWithScript("0 start EASYONE layer 0\n0.1 end\n");
    fs::remove(data / "voxe.jpg");
    fs::remove(data / "greetz.ms3d");
    const Result r = run("--data '" + data.string() + "' --render '" + (work / "r").string() + "' --size 32x32");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("glimmerq: EASYONE: voxe.jpg could not be loaded; playing without it\n"), std::string::npos)
        << r.err;
    const std::string model = "glimmerq: CGREETZ: Couldn't load the model dat\\greetz.ms3d\n";
    const size_t at = r.err.find(model);
    EXPECT_NE(at, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(model, at + 1), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Setup returned"), std::string::npos) << r.err;
    expectOwnLines(r.err);
}

TEST_F(ProgramTest, WithoutAnyDataFileItSaysWhereItLookedAndSuggestsData) {
    // A copy of the program with nothing beside it; the installed data may exist on this machine.
    const fs::path lonely = work / "bin" / "glimmerq";
    fs::create_directories(lonely.parent_path());
    fs::copy_file(GLIMMERQ_PROGRAM, lonely);
    const std::string command = "'" + lonely.string() + "' --headless 2>'" + (work / "err.txt").string() + "'";
    const int status = std::system(command.c_str());
    const std::string err = slurp(work / "err.txt");
    if (fs::exists(fs::path(GLIMMERQ_INSTALL_DATADIR) / "glimmerQ.dat")) GTEST_SKIP() << "an installed data file exists";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(err.find((work / "bin" / "glimmerQ.dat").string()), std::string::npos) << err;
    EXPECT_NE(err.find("--data"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    expectOwnLines(err);
}

TEST_F(ProgramTest, InterruptedRenderAndBenchmarkEndCleanlyWithExitCode130) {
    // A show far longer than the benchmark's 30000 frames a second can get through before the
    // interrupt, which comes once the first frame is written (slow under the sanitizers): the
    // benchmark writes frames too here, to say when it has begun. The shell starts the program
    // in the background with SIGINT ignored; the program takes it all the same.
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n0 int CLEAR METHOD 1\n6000:00 end\n");
    for (const std::string& mode : {std::string("--render"), std::string("--benchmark --render")}) {
        fs::remove_all(work / "r");
        const std::string firstFrame = (work / "r" / "000000.png").string();
        const std::string wait = "for i in $(seq 600); do [ -f '" + firstFrame + "' ] && break; sleep 0.1; done";
        const std::string command = "'" GLIMMERQ_PROGRAM "' --data '" + data.string() + "' " + mode + " '" +
                                    (work / "r").string() + "' --size 32x32 >'" + (work / "out.txt").string() +
                                    "' 2>&1 & pid=$!; " + wait + "; kill -INT $pid; wait $pid";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 130) << mode << ": " << slurp(work / "out.txt");
    }
    // The partial table of the benchmark is printed.
    EXPECT_NE(slurp(work / "out.txt").find("overall: "), std::string::npos) << slurp(work / "out.txt");
    EXPECT_TRUE(fs::exists(work / "r" / "000000.png"));
}

TEST_F(ProgramTest, AWindowKilledFromOutsideIsAQuit) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xkill >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run or xkill is not installed";
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n0 int CLEAR METHOD 1\n9:00 end\n");
    const fs::path script = work / "kill.sh";
    std::ofstream(script) << "'" GLIMMERQ_PROGRAM "' --data '" << data.string() << "' --size 160x90 & p=$!\n"
                          << "for i in $(seq 50); do\n"
                          << "  id=$(xwininfo -root -tree 2>/dev/null | grep 'glimmerQ' | awk '{print $1}' | head -n 1)\n"
                          << "  [ -n \"$id\" ] && break; sleep 0.2\n"
                          << "done\n"
                          << "sleep 0.5; xkill -id \"$id\" >/dev/null\n"
                          << "wait $p\n";
    const fs::path err = work / "err.txt";
    const int status = std::system(("env -u WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -n " + xvfbStart() + " -s '-screen 0 "
                                    "320x240x24' sh '" + script.string() + "' 2>'" + err.string() + "'")
                                       .c_str());
    EXPECT_EQ(WEXITSTATUS(status), 0) << slurp(err);
    EXPECT_EQ(slurp(err).find("X Error"), std::string::npos) << slurp(err);
    EXPECT_EQ(slurp(err).find("XIO"), std::string::npos) << slurp(err);
}

TEST_F(ProgramTest, AWatchedDirectoryReloadsWhenTheMusicChanges) {
    const fs::path data = dataWithScript("0 music soundtrack.ogg\n0 start CLEAR layer 0\n9:00 end\n");
    const fs::path err = work / "err.txt";
    const std::string command =
        "SDL_VIDEODRIVER=offscreen ASAN_OPTIONS=detect_leaks=0 '" GLIMMERQ_PROGRAM "' --data '" + data.string() +
        "' --watch --mute --size 32x32 2>'" + err.string() + "' & p=$!; sleep 1.5; "
        "touch -d '+1 minute' '" + (data / "soundtrack.ogg").string() + "'; " + waitFor("reloaded", err) +
        "; kill $p; wait $p";
    const int status = std::system(command.c_str());
    const std::string messages = slurp(err);
    EXPECT_EQ(WEXITSTATUS(status), 143) << messages;
    EXPECT_NE(messages.find("glimmerq: reloaded " + data.string() + "\n"), std::string::npos) << messages;
}

TEST_F(ProgramTest, AWatchedDirectoryReloadsTheScriptAndSetsUpOnlyWhatChanged) {
    const fs::path data = dataWithScript("0 start CLEAR layer 0\n0 int CLEAR METHOD 1\n9:00 end\n");
    const fs::path err = work / "err.txt";
    // SDL's offscreen driver gives the run a window (and so its controls) without a display.
    // Closing it unloads Mesa's driver, whose allocations are then unreachable: no leak check.
    const std::string command =
        "SDL_VIDEODRIVER=offscreen ASAN_OPTIONS=detect_leaks=0 '" GLIMMERQ_PROGRAM "' --data '" + data.string() + "' --watch --size 32x32 2>'" +
        err.string() + "' & p=$!; sleep 1.5; "
        "printf '0 start CLEAR layer 0\\n1 jump\\n' > '" + (data / "demoflow").string() + "'; " +
        waitFor("unknown verb", err) + "; "
        "touch -d '+1 minute' '" + (data / "voxe.jpg").string() + "'; "
        "printf '0 start CLEAR layer 0\\n0.5 end\\n' > '" + (data / "demoflow").string() + "'; "
        "( sleep 20; kill $p ) >/dev/null 2>&1 & watchdog=$!; wait $p; status=$?; kill $watchdog 2>/dev/null; "
        "exit $status";
    const int status = std::system(command.c_str());
    const std::string messages = slurp(err);
    // The broken script is reported and the old one plays on; the mended one, which ends
    // before the time the show had reached, ends the run.
    EXPECT_EQ(WEXITSTATUS(status), 0) << messages;
    EXPECT_NE(messages.find("glimmerq: " + (data / "demoflow").string() + ":2:3: unknown verb 'jump'\n"),
              std::string::npos)
        << messages;
    EXPECT_NE(messages.find("glimmerq: reloaded " + data.string() + "; set up again: EASYONE\n"), std::string::npos)
        << messages;
    expectOwnLines(messages);
}
