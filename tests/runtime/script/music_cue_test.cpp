// Which soundtrack plays at a timeline time: replacement, the end, before the first line.
#include "runtime/script/music_cue.h"

#include <gtest/gtest.h>

using glimmerq::MusicCue;
using glimmerq::musicAt;

namespace {

glimmerq::Script parse(const std::string& text) {
    std::string error;
    auto script = glimmerq::parseScript(text, {"CLEAR"}, &error);
    EXPECT_TRUE(script) << error;
    return script ? *script : glimmerq::Script{};
}

std::string describe(const std::optional<MusicCue>& cue) {
    return cue ? cue->member + "@" + std::to_string(cue->startMs) : "silence";
}

}  // namespace

TEST(MusicCue, LaterLinesReplaceEarlierOnesAndTheEndStopsThem) {
    const auto script = parse("0 start CLEAR layer 0\n2 music a.ogg\n10 music b.ogg\n10 music c.ogg\n20 end\n");
    const std::vector<std::pair<int64_t, std::string>> expected = {
        {0, "silence"},      {1999, "silence"},   {2000, "a.ogg@2000"}, {9999, "a.ogg@2000"},
        {10000, "c.ogg@10000"}, {19999, "c.ogg@10000"}, {20000, "silence"}, {99000, "silence"}};
    for (const auto& [ms, want] : expected) EXPECT_EQ(describe(musicAt(script, ms)), want) << "at " << ms << " ms";
}

TEST(MusicCue, TheOffsetIntoTheTrackFollowsASeek) {
    const auto script = parse("1.5 music theme.ogg\n1:00 end\n");
    const auto cue = musicAt(script, 45250);
    ASSERT_TRUE(cue);
    EXPECT_EQ(45250 - cue->startMs, 43750);
}

TEST(MusicCue, AScriptWithoutMusicIsSilentThroughout) {
    const auto script = parse("0 start CLEAR layer 0\n5 stop CLEAR\n9 end\n");
    for (int64_t ms : {0, 5000, 8999, 9000}) EXPECT_FALSE(musicAt(script, ms)) << "at " << ms << " ms";
    EXPECT_FALSE(musicAt(glimmerq::Script{}, 0));
}

TEST(MusicCue, MusicOnTheEndLineNeverPlays) {
    const auto script = parse("0 music a.ogg\n5 music b.ogg\n5 end\n");
    EXPECT_EQ(describe(musicAt(script, 4999)), "a.ogg@0");
    EXPECT_EQ(describe(musicAt(script, 5000)), "silence");
}
