// The timeline script: what parses, and the line:column of what doesn't.
#include "runtime/script/script.h"

#include <gtest/gtest.h>

using glimmerq::Event;
using glimmerq::parseScript;

namespace {

const std::vector<std::string> kEffects = {"CLEAR", "CKREUZ", "CBLUR"};

std::string errorOf(const std::string& text) {
    std::string error;
    const auto script = parseScript(text, kEffects, &error);
    EXPECT_FALSE(script.has_value()) << "parsed: " << text;
    return error;
}

}  // namespace

TEST(Script, ParsesEveryVerbWithCommentsBlankLinesAndCrlf) {
    const std::string text =
        "\xEF\xBB\xBF# a comment line\r\n"
        "\r\n"
        "0 start CLEAR layer 0   # trailing comment\r\n"
        "0.5\tint CLEAR METHOD -2\r\n"
        "1:00.5 float CBLUR SPEED 2.5\n"
        "61 string CBLUR TEXT \"say \\\"hi\\\" # not a comment\"\n"
        "61 start CBLUR layer -3\n"
        "70 stop CBLUR\n"
        "80 end\n";
    std::string error;
    const auto script = parseScript(text, kEffects, &error);
    ASSERT_TRUE(script) << error;
    const auto& e = script->events;
    ASSERT_EQ(e.size(), 7u);
    EXPECT_EQ(e[0].verb, Event::Verb::Start);
    EXPECT_EQ(e[0].effect, 0);
    EXPECT_EQ(e[0].line, 3);
    EXPECT_EQ(e[1].verb, Event::Verb::Int);
    EXPECT_EQ(e[1].name, "METHOD");
    EXPECT_EQ(e[1].intValue, -2);
    EXPECT_EQ(e[1].timeMs, 500);
    EXPECT_EQ(e[2].verb, Event::Verb::Float);
    EXPECT_FLOAT_EQ(e[2].floatValue, 2.5f);
    EXPECT_EQ(e[2].timeMs, 60500);
    EXPECT_EQ(e[3].verb, Event::Verb::String);
    EXPECT_EQ(e[3].text, "say \"hi\" # not a comment");
    EXPECT_EQ(e[4].layer, -3);
    EXPECT_EQ(e[5].verb, Event::Verb::Stop);
    EXPECT_EQ(e[6].verb, Event::Verb::End);
    EXPECT_EQ(script->endMs(), 80000);
}

TEST(Script, EffectsMayStartAgainAfterStopping) {
    std::string error;
    EXPECT_TRUE(parseScript("0 start CLEAR layer 0\n1 stop CLEAR\n1 start CLEAR layer 2\n2 end\n", kEffects, &error))
        << error;
}

TEST(Script, MusicTakesOneMemberName) {
    std::string error;
    const auto script = parseScript("0 music theme.ogg\n1:00 music sub/outro.ogg # the end\n2:00 end\n", kEffects, &error);
    ASSERT_TRUE(script) << error;
    const auto& e = script->events;
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].verb, Event::Verb::Music);
    EXPECT_EQ(e[0].text, "theme.ogg");
    EXPECT_EQ(e[0].effect, -1);
    EXPECT_EQ(e[1].verb, Event::Verb::Music);
    EXPECT_EQ(e[1].text, "sub/outro.ogg");
    EXPECT_EQ(e[1].timeMs, 60000);
}

TEST(Script, MusicErrorsNameLineAndColumn) {
    EXPECT_EQ(errorOf("0 music\n1 end\n"), "demoflow:1:8: missing argument for 'music'");
    EXPECT_EQ(errorOf("0 music   # no name\n1 end\n"), "demoflow:1:8: missing argument for 'music'");
    EXPECT_EQ(errorOf("0 music a.ogg b.ogg\n1 end\n"), "demoflow:1:15: unexpected 'b.ogg'");
    EXPECT_EQ(errorOf("0 start CLEAR layer 0\n1 music \"a b.ogg\"\n2 end\n"), "demoflow:2:9: bad member name 'a b.ogg'");
    EXPECT_EQ(errorOf("0 music ../x.ogg\n1 end\n"), "demoflow:1:9: bad member name '../x.ogg'");
    EXPECT_EQ(errorOf("0 music /etc/x.ogg\n1 end\n"), "demoflow:1:9: bad member name '/etc/x.ogg'");
}

TEST(Script, ErrorsNameLineAndColumn) {
    EXPECT_EQ(errorOf("0 start CLEAR layer 0\n1 jump CLEAR\n2 end\n"), "demoflow:2:3: unknown verb 'jump'");
    EXPECT_EQ(errorOf("0 start NOPE layer 0\n2 end\n"), "demoflow:1:9: unknown effect 'NOPE'");
    EXPECT_EQ(errorOf("0 start clear layer 0\n2 end\n"), "demoflow:1:9: unknown effect 'clear'");
    EXPECT_EQ(errorOf("x start CLEAR layer 0\n2 end\n").substr(0, 14), "demoflow:1:1: ");
    EXPECT_EQ(errorOf("5 start CLEAR layer 0\n4 end\n"), "demoflow:2:1: time 4 goes backwards");
    EXPECT_EQ(errorOf("0 start CLEAR layer 0\n1 start CLEAR layer 1\n2 end\n"),
              "demoflow:2:9: effect 'CLEAR' is already running");
    EXPECT_EQ(errorOf("0 stop CLEAR\n2 end\n"), "demoflow:1:8: effect 'CLEAR' is not running");
    EXPECT_EQ(errorOf("0 start CLEAR layer 0\n"), "demoflow:2:1: missing 'end'");
    EXPECT_EQ(errorOf("0 end\n1 start CLEAR layer 0\n"), "demoflow:2:1: event after 'end'");
    EXPECT_EQ(errorOf("0 end\n0 end\n"), "demoflow:2:1: event after 'end'");
    EXPECT_EQ(errorOf("0 int CLEAR METHOD two\n1 end\n"), "demoflow:1:20: bad integer 'two'");
    EXPECT_EQ(errorOf("0 int CLEAR METHOD 99999999999\n1 end\n"), "demoflow:1:20: bad integer '99999999999'");
    EXPECT_EQ(errorOf("0 float CLEAR X nan\n1 end\n"), "demoflow:1:17: bad number 'nan'");
    EXPECT_EQ(errorOf("0 start CLEAR layer x\n1 end\n"), "demoflow:1:21: bad layer 'x'");
    EXPECT_EQ(errorOf("0 start CLEAR level 0\n1 end\n"), "demoflow:1:15: expected 'layer', found 'level'");
    EXPECT_EQ(errorOf("0 start CLEAR layer 0 now\n1 end\n"), "demoflow:1:23: unexpected 'now'");
    EXPECT_EQ(errorOf("0 stop\n1 end\n"), "demoflow:1:7: missing argument for 'stop'");
    EXPECT_EQ(errorOf("0 string CLEAR T \"open\n1 end\n"), "demoflow:1:18: unterminated string");
    EXPECT_EQ(errorOf("0 string CLEAR T bare\n1 end\n"), "demoflow:1:18: expected a quoted text");
    EXPECT_EQ(errorOf("7\n"), "demoflow:1:2: missing verb");
    for (const char* eventless : {"", "\n\n", "# --- The opening\n  # nothing yet\n", "0 tempo 120 4\n"})
        EXPECT_EQ(errorOf(eventless), "demoflow:1:1: the script has no events (it needs at least an 'end')")
            << "for: " << eventless;
    EXPECT_EQ(errorOf(std::string("0 end\0x\n", 8)), "demoflow:1:6: unexpected NUL byte");
}
