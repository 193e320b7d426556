// The edit model over a hostile script (CRLF, tabs, comments after events, seconds, m:ss and
// bar times under two tempo lines) and over the shipped show: each edit rewrites exactly the
// lines it must, in their notation and columns, moves a line only where the time order
// demands, parses to the script it should, and undoes back to the loaded bytes.
#include "runtime/edit/edit_model.h"
#include "runtime/edit/line_merge.h"
#include "demo/entry.h"
#include "runtime/host/screen_flash.h"
#include "tests/runtime/edit/hostile_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>

using namespace glimmerq;
using glimmerq::testing::kHostileEffects;
using glimmerq::testing::kHostileScript;

namespace {

// The names the shipped script may use: the demo's effects and the runtime's FLASH.
std::vector<std::string> demoEffects() {
    int count = 0;
    const EffectEntry* table = DemoEffectTable(&count);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(table[i].name);
    names.push_back(kScreenFlashName);
    return names;
}

std::string shippedScript() {
    std::ifstream in(GLIMMERQ_SOURCE_DIR "/data/demoflow", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The hostile script with some lines replaced ({line, new bytes}, "" removes it) and new
// lines put after others ({after line, bytes}).
std::string hostileWith(const std::vector<std::pair<int, std::string>>& replaced,
                        const std::vector<std::pair<int, std::string>>& inserted = {},
                        const std::vector<int>& order = {}) {
    std::vector<std::string> lines = splitLines(kHostileScript);
    for (const auto& [number, bytes] : replaced) lines[size_t(number - 1)] = bytes;
    std::vector<int> numbers = order;
    if (numbers.empty())
        for (size_t i = 1; i <= lines.size(); ++i) numbers.push_back(int(i));
    std::string text;
    for (int number : numbers) {
        text += lines[size_t(number - 1)];
        for (const auto& [after, bytes] : inserted)
            if (after == number) text += bytes;
    }
    return text;
}

// What plays, as comparable tuples: time, verb, effect, layer, parameter, values.
using Played = std::tuple<int64_t, int, int, int, std::string, int, float, std::string>;
std::vector<Played> played(const Script& script) {
    std::vector<Played> events;
    for (const Event& e : script.events)
        events.emplace_back(e.timeMs, int(e.verb), e.effect, e.layer, e.name, e.intValue, e.floatValue, e.text);
    std::sort(events.begin(), events.end());
    return events;
}

int lineWith(const Script& script, const std::string& text, int nth = 0) {
    for (const ScriptLine& line : script.lines)
        if (line.text().find(text) != std::string::npos && nth-- == 0) return line.number;
    ADD_FAILURE() << "no line with " << text;
    return 1;
}

}  // namespace

TEST(EditModel, RewritesOnlyTheLinesAnEditTouchesInTheirNotationAndColumns) {
    struct Row {
        const char* what;
        Edit edit;
        std::string expected;
        std::vector<int> lines;  // the items afterwards
        std::string message;
    };
    const Row rows[] = {
        {"a run half a beat on: a bar time gains its beat, one off the grid becomes seconds",
         Edit::move({9}, 500),
         hostileWith({{9, "\t@5.2 start CKREUZ layer 2\r\n"}, {12, "17.167  stop CKREUZ # cross\r\n"}}), {9}, ""},
        {"a tick past its neighbour moves to stand beside the line before its time",
         Edit::move({6}, 3000), hostileWith({{6, "@2.3    int CLEAR METHOD 1\r\n"}}, {}, {1, 2, 3, 4, 5, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15}),
         {7}, ""},
        {"a run into the next section goes beside its neighbours there, m:ss and decimals kept",
         Edit::move({8}, 15000),
         hostileWith({{7, "0:17.500 start SPLASH layer 1\r\n"}, {8, "19.25   stop SPLASH     # sparks out\r\n"}}, {},
                     {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 7, 8, 13, 14, 15}),
         {11}, ""},
        {"a run two rows up", Edit::move({13}, 0, 2), hostileWith({{13, "20.125  start EASYONE layer 3\r\n"}}), {13}, ""},
        {"its start edge: seconds keep three decimals", Edit::moveStart(14, 21000),
         hostileWith({{13, "21.000  start EASYONE layer 1\r\n"}}), {13}, ""},
        {"the stop edge of a run that lasts to the end gets a stop line like its start",
         Edit::moveStop(5, 10000), hostileWith({}, {{9, "@6\tstop CLEAR\r\n"}}), {5}, ""},
        {"a run past the end is clamped to it", Edit::move({13}, 5000),
         hostileWith({{13, "21.125  start EASYONE layer 1\r\n"}, {14, "0:26    stop EASYONE\r\n"}}), {13},
         "moved only as far as the end (0:26.000)"},
        {"a start past its stop stops a millisecond before it", Edit::moveStart(12, 20000),
         hostileWith({{9, "\t16.666 start CKREUZ layer 2\r\n"}}, {}, {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 9, 12, 13, 14, 15}),
         {11}, "the start moved only as far as 0:16.666"},
        {"delete a run: its start and stop lines", Edit::remove({7}), hostileWith({{7, ""}, {8, ""}}), {}, ""},
        {"duplicate a run: the copy begins at its stop, laid out like the original",
         Edit::duplicate({7}), hostileWith({}, {{8, "0:04.250 start SPLASH layer 1\r\n6.00    stop SPLASH\r\n"}}), {9}, ""},
        {"add a run: the lowest free layer, each line like the one above it",
         Edit::addRun("EASYONE", 4000, 2000),
         hostileWith({}, {{7, "0:04.000 start EASYONE layer 2\r\n"}, {8, "6.00    stop EASYONE\r\n"}}), {8}, ""},
        {"nudge a tick a bar on: it still comes before the next line's time, so it stays",
         Edit::nudge({6}, 1, Snap::Bar), hostileWith({{6, "@2.1    int CLEAR METHOD 1\r\n"}}), {6}, ""},
        {"nudge a run a beat back by its stop line: each end a beat of its own tempo line's grid",
         Edit::nudge({12}, -1, Snap::Beat),
         hostileWith({{9, "\t@4.4 start CKREUZ layer 2\r\n"}, {12, "@9.1    stop CKREUZ # cross\r\n"}}), {9}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string error;
        auto model = EditModel::load(kHostileScript, kHostileEffects, "demoflow", &error);
        ASSERT_TRUE(model) << error;
        const EditOutcome outcome = model->apply(row.edit);
        EXPECT_TRUE(outcome.changed) << outcome.message;
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(model->text(), row.expected);
        EXPECT_EQ(outcome.lines, row.lines);
        // The model's script is the parse of its text.
        const auto reparsed = parseScript(model->text(), kHostileEffects, &error);
        ASSERT_TRUE(reparsed) << error;
        EXPECT_EQ(played(model->script()), played(*reparsed));
        EXPECT_TRUE(model->undo());
        EXPECT_EQ(model->text(), kHostileScript);
    }
}

TEST(EditModel, RefusesAnEditThatWouldMakeAnInvalidScript) {
    struct Row {
        Edit edit;
        std::string message;
    };
    const Row rows[] = {
        {Edit::addRun("SPLASH", 3000, 1000), "SPLASH already runs at 0:03.000"},
        {Edit::addRun("NOPE", 3000, 1000), "there is no effect named 'NOPE'"},
        {Edit::addRun("SPLASH", 26000, 1000), "a new run starts between 0:00 and the end (0:26.000)"},
        {Edit::duplicate({13}), "the copy would go past the end (0:26.000)"},
        {Edit::duplicate({5}), "CLEAR lasts to the end: there is no room after it"},
        {Edit::nudge({5}, -1, Snap::Beat), "that would move demoflow:5 before the beginning"},
        {Edit::nudge({14}, 3, Snap::Bar), "that would move demoflow:14 past the end (0:26.000)"},
        {Edit::move({2}, 500), "demoflow:2 is neither a run nor a parameter change"},
        {Edit::move({99}, 500), "there is no line 99 in demoflow"},
        {Edit::moveStop(6, 500), "only a run's edge can be dragged"},
        {Edit::move({}, 500), "nothing is selected"},
    };
    for (const Row& row : rows) {
        std::string error;
        auto model = EditModel::load(kHostileScript, kHostileEffects, "demoflow", &error);
        ASSERT_TRUE(model) << error;
        const EditOutcome outcome = model->apply(row.edit);
        EXPECT_FALSE(outcome.changed) << row.message;
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(model->text(), kHostileScript);
        EXPECT_FALSE(model->canUndo());
    }
}

TEST(EditModel, EditsOfTheShippedShowPlayAsExpectedAndUndoToItsBytes) {
    const std::vector<std::string> effects = demoEffects();
    const std::string shipped = shippedScript();
    std::string error;
    auto model = EditModel::load(shipped, effects, "demoflow", &error);
    ASSERT_TRUE(model) << error;
    const Script original = model->script();
    const int strahlen = lineWith(original, "start STRAHLEN layer 2");  // the cube row's shaft, bars 11-15
    const int strahlenStop = lineWith(original, "stop STRAHLEN");
    const int splash = lineWith(original, "start SPLASH layer 3");      // the stone cross's sparks, bars 15-21
    const int flash = lineWith(original, "@21.2   int CLEAR METHOD 0");

    struct Row {
        const char* what;
        Edit edit;
        std::vector<int> touched;        // the shipped lines that change
        std::vector<std::pair<int, int64_t>> retimed;  // shipped line -> its event's new time
        std::string message;
    };
    const Row rows[] = {
        {"the shaft a bar later", Edit::nudge({strahlen}, 1, Snap::Bar), {strahlen, strahlenStop},
         {{strahlen, 22000}, {strahlenStop, 30000}}, ""},
        {"the sparks onto the opening's sparks", Edit::move({splash}, -16000), {}, {},
         "SPLASH would play twice at once: its runs from 0:00.000 and from 0:12.000 would overlap"},
        {"the black clear a beat later", Edit::nudge({flash}, 1, Snap::Beat), {flash}, {{flash, 41000}}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const EditOutcome outcome = model->apply(row.edit);
        EXPECT_EQ(outcome.message, row.message);
        ASSERT_EQ(outcome.changed, !row.touched.empty());
        if (!outcome.changed) {
            EXPECT_EQ(model->text(), shipped);
            continue;
        }
        // Every line but the touched ones is still there, byte for byte.
        const std::vector<int> where = matchLines(shipped, model->text());
        std::vector<int> changed;
        for (size_t i = 0; i < where.size(); ++i)
            if (where[i] == 0) changed.push_back(int(i) + 1);
        EXPECT_EQ(changed, row.touched);
        std::vector<Event> expected = original.events;
        for (const auto& [line, timeMs] : row.retimed)
            expected[size_t(original.lines[size_t(line - 1)].event)].timeMs = timeMs;
        Script expectedScript;
        expectedScript.events = expected;
        EXPECT_EQ(played(model->script()), played(expectedScript));
        EXPECT_TRUE(model->undo());
        EXPECT_EQ(model->text(), shipped);
    }
}

TEST(EditModel, UndoAndRedoWalkEveryStepBackToTheLoadedBytes) {
    std::string error;
    auto model = EditModel::load(kHostileScript, kHostileEffects, "demoflow", &error);
    ASSERT_TRUE(model) << error;
    std::vector<std::string> texts{model->text()};
    for (const Edit& edit : {Edit::move({9}, 500), Edit::remove({6}), Edit::addRun("SPLASH", 5000, 1000)}) {
        ASSERT_TRUE(model->apply(edit).changed);
        texts.push_back(model->text());
    }
    for (size_t i = texts.size() - 1; i-- > 0;) {
        EXPECT_TRUE(model->undo());
        EXPECT_EQ(model->text(), texts[i]);
    }
    EXPECT_FALSE(model->undo());
    for (size_t i = 1; i < texts.size(); ++i) {
        EXPECT_TRUE(model->redo());
        EXPECT_EQ(model->text(), texts[i]);
    }
    EXPECT_FALSE(model->redo());
    // A new step after an undo drops what could be redone.
    model->undo();
    model->apply(Edit::move({13}, 0, 1));
    EXPECT_FALSE(model->canRedo());
}

TEST(EditModel, AdoptsAnotherEditorsTextAndCarriesItsUndoStepsOver) {
    std::string error;
    auto model = EditModel::load(kHostileScript, kHostileEffects, "demoflow", &error);
    ASSERT_TRUE(model) << error;
    ASSERT_TRUE(model->apply(Edit::move({13}, 0, 1)).changed);  // EASYONE's layer, line 13
    const std::string ours = model->text();

    // They retitle the first heading: our step undoes on top of theirs.
    std::string theirs = ours;
    theirs.replace(theirs.find("First"), 5, "Opening");
    ASSERT_TRUE(model->adopt(theirs, &error)) << error;
    EXPECT_EQ(model->text(), theirs);
    ASSERT_TRUE(model->undo());
    std::string expected = kHostileScript;
    expected.replace(expected.find("First"), 5, "Opening");
    EXPECT_EQ(model->text(), expected);

    // They change the line our step changed: the step cannot be carried over.
    auto second = EditModel::load(kHostileScript, kHostileEffects, "demoflow", &error);
    ASSERT_TRUE(second->apply(Edit::move({13}, 0, 1)).changed);
    std::string clash = second->text();
    clash.replace(clash.find("layer 2\r\n0:25"), 7, "layer 5");
    ASSERT_TRUE(second->adopt(clash, &error)) << error;
    EXPECT_FALSE(second->canUndo());

    // A text that does not parse is not taken.
    EXPECT_FALSE(second->adopt("0 strat CLEAR\n", &error));
    EXPECT_EQ(error, "demoflow:1:3: unknown verb 'strat'");
    EXPECT_EQ(second->text(), clash);
}
