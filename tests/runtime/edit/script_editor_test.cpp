// The editor on a real file: each step written safely (nothing left beside the file, its
// permissions kept), another editor's save merged when it left the edited lines alone and
// kept untouched when it did not, and a refused edit writing nothing.
#include "runtime/edit/script_editor.h"
#include "tests/runtime/edit/hostile_script.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace glimmerq;
using glimmerq::testing::kHostileEffects;
using glimmerq::testing::kHostileScript;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace

TEST(ScriptEditor, WritesEachStepSafelyAndUndoesToTheFileAsRead) {
    const fs::path folder = glimmerq::testing::scratchFolder("editor");
    const fs::path path = folder / "demoflow";
    writeFile(path, kHostileScript);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    std::string error;
    auto editor = ScriptEditor::open(path.string(), kHostileEffects, "mydata/demoflow", &error);
    ASSERT_TRUE(editor) << error;

    const EditOutcome moved = editor->apply(Edit::move({13}, 0, 1));
    ASSERT_TRUE(moved.changed) << moved.message;
    const std::string edited = replaced(kHostileScript, "EASYONE layer 1", "EASYONE layer 2");
    EXPECT_EQ(readFile(path), edited);
    EXPECT_EQ(editor->file().known(), edited);
    EXPECT_EQ(editor->model().text(), edited);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "a temporary file is left";

    // Refused: nothing written, no undo step.
    const EditOutcome refused = editor->apply(Edit::addRun("SPLASH", 3000, 1000));
    EXPECT_FALSE(refused.changed);
    EXPECT_EQ(refused.message, "SPLASH already runs at 0:03.000");
    EXPECT_EQ(readFile(path), edited);

    EXPECT_TRUE(editor->undo().changed);
    EXPECT_EQ(readFile(path), kHostileScript);
    EXPECT_EQ(editor->undo().message, "nothing to undo");
    EXPECT_TRUE(editor->redo().changed);
    EXPECT_EQ(readFile(path), edited);
    fs::remove_all(folder);
}

TEST(ScriptEditor, MergesAnotherEditorsSaveOnlyWhereItLeftTheEditsLinesAlone) {
    const std::string theirsElsewhere =  // a new comment at the top and a retitled heading
        "# saved in a text editor\r\n" + replaced(kHostileScript, "# --- Second", "# --- The second");
    const std::string theirsHere = replaced(kHostileScript, "20.125  start EASYONE", "20.5    start EASYONE");
    struct Row {
        const char* what;
        std::string theirs;
        bool applied;
        std::string file;        // what the file holds afterwards
        std::vector<int> lines;  // the edited run's lines
    };
    const Row rows[] = {
        {"they changed other lines: the edit goes on their text, at the lines' new places", theirsElsewhere, true,
         replaced(theirsElsewhere, "EASYONE layer 1", "EASYONE layer 2"), {14}},
        {"they changed the edited line: refused, their text stays", theirsHere, false, theirsHere, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path folder = glimmerq::testing::scratchFolder("editor");
        const fs::path path = folder / "demoflow";
        writeFile(path, kHostileScript);
        std::string error;
        auto editor = ScriptEditor::open(path.string(), kHostileEffects, "demoflow", &error);
        ASSERT_TRUE(editor) << error;
        writeFile(path, row.theirs);

        const EditOutcome outcome = editor->apply(Edit::move({13}, 0, 1));
        EXPECT_EQ(outcome.changed, row.applied) << outcome.message;
        EXPECT_EQ(readFile(path), row.file);
        EXPECT_EQ(editor->model().text(), row.file);  // the show plays what the file holds
        EXPECT_EQ(outcome.lines, row.lines);
        if (!row.applied)
            EXPECT_EQ(outcome.message, path.string() + " was changed on disk where this edit goes; nothing written, "
                                                       "the file is as the other editor left it");
        fs::remove_all(folder);
    }
}

TEST(ScriptEditor, UndoAfterAnotherEditorsSaveKeepsTheirChange) {
    const fs::path folder = glimmerq::testing::scratchFolder("editor");
    const fs::path path = folder / "demoflow";
    writeFile(path, kHostileScript);
    std::string error;
    auto editor = ScriptEditor::open(path.string(), kHostileEffects, "demoflow", &error);
    ASSERT_TRUE(editor) << error;
    ASSERT_TRUE(editor->apply(Edit::move({13}, 0, 1)).changed);
    writeFile(path, replaced(readFile(path), "# hostile", "# hostile, saved elsewhere"));

    EXPECT_TRUE(editor->undo().changed);
    EXPECT_EQ(readFile(path), replaced(kHostileScript, "# hostile", "# hostile, saved elsewhere"));

    // A save that does not parse is never written over: the step is refused.
    writeFile(path, "0 strat CLEAR\n");
    const EditOutcome refused = editor->redo();
    EXPECT_FALSE(refused.changed);
    EXPECT_EQ(refused.message, path.string() + " changed on disk: demoflow:1:3: unknown verb 'strat'");
    EXPECT_EQ(readFile(path), "0 strat CLEAR\n");
    fs::remove_all(folder);
}
