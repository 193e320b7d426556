// Musical time in the script: tempo lines and @BAR.BEAT times, good rows and bad rows.
#include "runtime/script/script.h"

#include <gtest/gtest.h>

using glimmerq::parseScript;

namespace {

const std::vector<std::string> kEffects = {"CLEAR", "CKREUZ"};

struct GoodRow {
    const char* what;
    const char* text;
    std::vector<int64_t> timesMs;  // of the events, in file order
};

struct BadRow {
    const char* text;
    const char* error;
};

}  // namespace

TEST(ScriptTempo, BarAndBeatTimesResolveAgainstTheLatestTempoLine) {
    const GoodRow rows[] = {
        {"downbeats and beats at 120/4", "0 tempo 120 4\n@1 start CLEAR layer 0\n@9 stop CLEAR\n@9.3 end",
         {0, 16000, 17000}},
        {"a grid starting late", "0.25 tempo 120 4\n@2 end", {2250}},
        {"three beats a bar at 90, rounded to the millisecond", "0 tempo 90 3\n@2.2 end", {2667}},
        {"a tempo with decimals", "0 tempo 127.5 4\n@2 end", {1882}},
        {"seconds and minutes keep working", "0 tempo 120 4\n@2 start CLEAR layer 0\n1:00 end", {2000, 60000}},
        {"a change on a downbeat keeps its bar's number", "0 tempo 120 4\n@5 tempo 60 4\n@6 end", {12000}},
        {"a change inside a bar starts the next bar", "0 tempo 120 4\n@5.3 tempo 60 4\n@6 end", {9000}},
        {"a change on a bar time resolved in the grid before", "0 tempo 120 4\n@3 tempo 100 4\n@4.2 end", {7000}},
        {"a second line at the same time replaces the grid", "0 tempo 120 4\n0 tempo 60 2\n@2 end", {2000}},
        {"tempo lines are no events", "# intro\n0 tempo 120 4 # the grid\n\n@1.4 end", {1500}},
    };
    for (const GoodRow& row : rows) {
        std::string error;
        const auto script = parseScript(row.text, kEffects, &error);
        ASSERT_TRUE(script) << row.what << ": " << error;
        std::vector<int64_t> times;
        for (const auto& event : script->events) times.push_back(event.timeMs);
        EXPECT_EQ(times, row.timesMs) << row.what;
    }
}

TEST(ScriptTempo, MistakesNameLineAndColumn) {
    const BadRow rows[] = {
        {"@1 end", "demoflow:1:1: bar time '@1' before the first tempo line"},
        {"0 tempo 120 4\n@9.0 end", "demoflow:2:4: beats count from 1, not 0"},
        {"0 tempo 120 4\n@9.5 end", "demoflow:2:4: beat 5 in a bar of 4 beats"},
        {"0 tempo 90 3\n@10.4 end", "demoflow:2:5: beat 4 in a bar of 3 beats"},
        {"0 tempo 120 4\n@0 end", "demoflow:2:2: bars count from 1, not 0"},
        {"0 tempo 120 4\n@9. end", "demoflow:2:1: bad time '@9.': expected a bar like @9 or a bar and beat like @9.3"},
        {"0 tempo 120 4\n@9.3.1 end", "demoflow:2:1: bad time '@9.3.1': expected a bar like @9 or a bar and beat like @9.3"},
        {"0 tempo 120 4\n@ end", "demoflow:2:1: bad time '@': expected a bar like @9 or a bar and beat like @9.3"},
        {"0 tempo 120 4\n@-2 end", "demoflow:2:1: bad time '@-2': expected a bar like @9 or a bar and beat like @9.3"},
        {"0 tempo 60 4\n@999999 end", "demoflow:2:1: bad time '@999999': too far in the future"},
        {"0 tempo 120 4\n@5 tempo 120 4\n@3 end",
         "demoflow:3:2: bar 3 comes before the tempo line at line 2, which starts bar 5"},
        {"0 tempo 120 4\n@3 start CLEAR layer 0\n@2.4 end", "demoflow:3:1: time @2.4 goes backwards"},
        {"0 tempo 0 4\n1 end", "demoflow:1:9: tempo must be above 0 beats a minute, not 0"},
        {"0 tempo 0.000 4\n1 end", "demoflow:1:9: tempo must be above 0 beats a minute, not 0.000"},
        {"0 tempo 1000.5 4\n1 end", "demoflow:1:9: tempo 1000.5 is above 1000 beats a minute"},
        {"0 tempo fast 4\n1 end", "demoflow:1:9: bad tempo 'fast': beats a minute like 120 or 127.5"},
        {"0 tempo 120.1234 4\n1 end", "demoflow:1:9: bad tempo '120.1234': beats a minute like 120 or 127.5"},
        {"0 tempo 120 0\n1 end", "demoflow:1:13: beats a bar must be a whole number from 1 to 64, not '0'"},
        {"0 tempo 120 65\n1 end", "demoflow:1:13: beats a bar must be a whole number from 1 to 64, not '65'"},
        {"0 tempo 120\n1 end", "demoflow:1:12: missing argument for 'tempo'"},
        {"0 tempo 120 4 4\n1 end", "demoflow:1:15: unexpected '4'"},
        {"0 tempo 120 4\n\"@2\" end", "demoflow:2:1: bad time '@2': a time takes no quotes"},
        {"0 tempo 120 4\n@2 end\n@3 tempo 120 4", "demoflow:3:1: event after 'end'"},
    };
    for (const BadRow& row : rows) {
        std::string error;
        EXPECT_FALSE(parseScript(row.text, kEffects, &error)) << row.text;
        EXPECT_EQ(error, row.error) << row.text;
    }
}

TEST(ScriptTempo, KeepsTheGridsForTheRuler) {
    std::string error;
    const auto script = parseScript("0 tempo 120 4\n@1 start CLEAR layer 0\n@5.3 tempo 60 4\n@8 end", kEffects, &error);
    ASSERT_TRUE(script) << error;
    const auto& grids = script->tempo.grids();
    ASSERT_EQ(grids.size(), 2u);
    EXPECT_EQ(grids[0].line, 1);
    EXPECT_EQ(grids[1].line, 3);
    EXPECT_EQ(grids[1].startMs, 9000);
    EXPECT_EQ(grids[1].firstBar, 6);
    EXPECT_EQ(script->endMs(), 9000 + 2 * 4000);
}
