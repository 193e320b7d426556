// Reloading and watching a data directory, without a window: the watch asks for a reload
// only when a file read so far changed, and at most twice a second; a broken script is said
// and the old one plays on; an archive is never reloaded or watched.
#include "app/data_reload.h"
#include "app/show_data.h"
#include "tests/support/scratch.h"
#include "tests/support/stepped_clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace glimmerq;

namespace {

using glimmerq::testing::SteppedClock;

std::string slurp(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
    return text;
}

}  // namespace

TEST(DataReload, TheWatchAsksForAReloadWhenAFileReadChangedAndABrokenScriptKeepsTheOldOne) {
    const fs::path dir = glimmerq::testing::scratchFolder("reload");
    std::ofstream(dir / "demoflow") << "5 end\n";
    std::string error;
    auto data = openDataSource(dir.string(), &error);
    ASSERT_TRUE(data) << error;
    DataReads reads(*data);
    std::FILE* sink = std::tmpfile();
    const Messages messages(sink, sink);
    DemoGlHost host(messages);
    TextureStore textures(*data, {});
    auto script = readShowScript(*data, &reads, "demoflow", {}, &error);
    ASSERT_TRUE(script) << error;
    Timeline timeline({}, std::move(*script));
    int setUps = 0;
    DataReload reloading(*data, reads, textures, host, messages, [&](size_t) { ++setUps; });
    SteppedClock clock;
    auto watch = reloading.watch(clock);
    ASSERT_TRUE(watch);

    clock.micros += 600000;
    EXPECT_FALSE(watch->poll().reload) << "nothing changed";
    std::ofstream(dir / "demoflow", std::ios::trunc) << "0 strat\n";
    fs::last_write_time(dir / "demoflow", fs::last_write_time(dir / "demoflow") + std::chrono::minutes(1));
    clock.micros += 100000;
    EXPECT_FALSE(watch->poll().reload) << "looked at less than half a second ago";
    clock.micros += 500000;
    EXPECT_TRUE(watch->poll().reload);

    std::string shown;
    EXPECT_FALSE(reloading.reload(timeline, [&](const std::string& m) { shown = m; }));
    EXPECT_NE(shown.find("demoflow:1:3: unknown verb 'strat'"), std::string::npos) << shown;
    EXPECT_EQ(timeline.endMs(), 5000) << "the old script plays on";
    clock.micros += 600000;
    EXPECT_FALSE(watch->poll().reload) << "the broken script is not reloaded again until it changes";

    std::ofstream(dir / "demoflow", std::ios::trunc) << "7 end\n";
    fs::last_write_time(dir / "demoflow", fs::last_write_time(dir / "demoflow") + std::chrono::minutes(2));
    EXPECT_TRUE(reloading.reload(timeline, [](const std::string&) {}));
    EXPECT_EQ(timeline.endMs(), 7000);
    EXPECT_EQ(setUps, 0) << "no effect read the script";
    EXPECT_NE(slurp(sink).find("glimmerq: reloaded " + dir.string() + "\n"), std::string::npos) << slurp(sink);
    std::fclose(sink);
    fs::remove_all(dir);
}

TEST(DataReload, AnArchiveIsNeitherReloadedNorWatched) {
    MemoryDataSource data;
    data.put("demoflow", "5 end\n");
    DataReads reads(data);
    std::FILE* sink = std::tmpfile();
    const Messages messages(sink, sink);
    DemoGlHost host(messages);
    TextureStore textures(data, {});
    std::string error;
    auto script = readShowScript(data, &reads, "demoflow", {}, &error);
    ASSERT_TRUE(script) << error;
    Timeline timeline({}, std::move(*script));
    DataReload reloading(data, reads, textures, host, messages, [](size_t) {});
    SteppedClock clock;
    EXPECT_EQ(reloading.watch(clock), nullptr);
    std::string shown;
    EXPECT_FALSE(reloading.reload(timeline, [&](const std::string& m) { shown = m; }));
    EXPECT_NE(shown.find("only a data directory can be reloaded"), std::string::npos) << shown;
    EXPECT_NE(slurp(sink).find("watching nothing"), std::string::npos) << slurp(sink);
    std::fclose(sink);
}
