// The parser's line model: each line's kind, bytes, fields, time notation, section and event,
// read back from a script written with CRLF, tabs, comments after events and three kinds of
// times; and the text rebuilt from the lines byte for byte, whatever its line endings.
#include "runtime/script/script.h"
#include "tests/runtime/edit/hostile_script.h"

#include <gtest/gtest.h>

using namespace glimmerq;
using glimmerq::testing::kHostileEffects;
using glimmerq::testing::kHostileScript;

namespace {

std::string joined(const Script& script) {
    std::string text;
    for (const ScriptLine& line : script.lines) text += line.raw;
    return text;
}

}  // namespace

TEST(ScriptLines, EachLineKeepsItsKindFieldsNotationAndSection) {
    std::string error;
    const auto script = parseScript(kHostileScript, kHostileEffects, &error);
    ASSERT_TRUE(script) << error;
    ASSERT_EQ(script->lines.size(), 15u);
    using Form = TimeNotation::Form;
    struct Row {
        int number;
        LineKind kind;
        const char *time, *verb, *effect, *name, *value, *comment;
        Form form;
        int decimals;
        bool withBeat;
        int64_t timeMs;
        int section;
    };
    const Row rows[] = {
        {1, LineKind::Comment, "", "", "", "", "", "# hostile", Form::Seconds, 0, false, 0, -1},
        {2, LineKind::Tempo, "0", "tempo", "", "120", "4", "# two tempos", Form::Seconds, 0, false, 0, -1},
        {3, LineKind::Blank, "", "", "", "", "", "", Form::Seconds, 0, false, 0, -1},
        {4, LineKind::Section, "", "", "", "", "", "# --- First, bars 1-8", Form::Seconds, 0, false, 0, 0},
        {5, LineKind::Event, "@1", "start", "CLEAR", "layer", "0", "# clear", Form::Bar, 0, false, 0, 0},
        {6, LineKind::Event, "@1.1", "int", "CLEAR", "METHOD", "1", "", Form::Bar, 0, true, 0, 0},
        {7, LineKind::Event, "0:02.500", "start", "SPLASH", "layer", "1", "", Form::MinutesSeconds, 3, false, 2500, 0},
        {8, LineKind::Event, "4.25", "stop", "SPLASH", "", "", "# sparks out", Form::Seconds, 2, false, 4250, 0},
        {9, LineKind::Event, "@5", "start", "CKREUZ", "layer", "2", "", Form::Bar, 0, false, 8000, 0},
        {10, LineKind::Section, "", "", "", "", "", "# --- Second, from bar 9", Form::Seconds, 0, false, 0, 1},
        {11, LineKind::Tempo, "@9", "tempo", "", "90", "3", "", Form::Bar, 0, false, 16000, 1},
        {12, LineKind::Event, "@9.2", "stop", "CKREUZ", "", "", "# cross", Form::Bar, 0, true, 16667, 1},
        {13, LineKind::Event, "20.125", "start", "EASYONE", "layer", "1", "", Form::Seconds, 3, false, 20125, 1},
        {14, LineKind::Event, "0:25", "stop", "EASYONE", "", "", "", Form::MinutesSeconds, 0, false, 25000, 1},
        {15, LineKind::End, "@14", "end", "", "", "", "", Form::Bar, 0, false, 26000, 1},
    };
    for (const Row& row : rows) {
        const ScriptLine& line = script->lines[size_t(row.number - 1)];
        SCOPED_TRACE("line " + std::to_string(row.number) + ": " + line.text());
        EXPECT_EQ(line.number, row.number);
        EXPECT_EQ(line.kind, row.kind);
        EXPECT_EQ(line.lineEnding, 2u);
        EXPECT_EQ(line.field(line.time), row.time);
        EXPECT_EQ(line.field(line.verb), row.verb);
        EXPECT_EQ(line.field(line.effect), row.effect);
        EXPECT_EQ(line.field(line.name), row.name);
        EXPECT_EQ(line.field(line.value), row.value);
        EXPECT_EQ(line.field(line.comment), row.comment);
        EXPECT_EQ(line.section, row.section);
        if (!line.timed()) continue;
        EXPECT_EQ(line.notation.form, row.form);
        EXPECT_EQ(line.notation.decimals, row.decimals);
        EXPECT_EQ(line.notation.withBeat, row.withBeat);
        EXPECT_EQ(line.timeMs, row.timeMs);
        // An event line names the event it produced, and that event names the line.
        if (line.kind == LineKind::Tempo) {
            EXPECT_EQ(line.event, -1);
        } else {
            ASSERT_GE(line.event, 0);
            EXPECT_EQ(script->events[size_t(line.event)].line, row.number);
        }
    }
    ASSERT_EQ(script->sections.size(), 2u);
    EXPECT_EQ(script->sections[0].title, "First");
    EXPECT_EQ(script->sections[0].startMs, 0);
    EXPECT_EQ(script->sections[0].endMs, 16667);  // the second begins with its first event, not its tempo line
    EXPECT_EQ(script->sections[1].line, 10);
}

TEST(ScriptLines, JoinedGiveTheTextBackByteForByte) {
    const std::string texts[] = {
        kHostileScript,
        "0 start CLEAR layer 0\n1 end",                      // no line ending on the last line
        "\xEF\xBB\xBF" "0 start CLEAR layer 0\r\n1 end\n",   // a byte-order mark
        "0 start CLEAR layer 0\n\n\n  \t\n1 end\n# after\n",  // blank lines, a comment after the end
        "0 string CLEAR TEXT \"a # b\"   # c\n1 end\n",        // a hash inside a quoted value
    };
    for (const std::string& text : texts) {
        std::string error;
        const auto script = parseScript(text, kHostileEffects, &error);
        ASSERT_TRUE(script) << error;
        EXPECT_EQ(joined(*script), text);
    }
    std::string error;
    const auto quoted = parseScript(texts[4], kHostileEffects, &error);
    const ScriptLine& line = quoted->lines[0];
    EXPECT_EQ(line.field(line.value), "\"a # b\"");
    EXPECT_EQ(line.field(line.comment), "# c");
    const auto marked = parseScript(texts[2], kHostileEffects, &error);
    EXPECT_EQ(marked->lines[0].field(marked->lines[0].time), "0");  // the mark is no part of a field
}
