// Playing a script: event order, drawing order, and the upload/release bracket of each run.
#include "runtime/script/timeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using glimmerq::parseScript;
using glimmerq::RegisteredEffect;
using glimmerq::Timeline;

namespace {

class LoggingEffect : public CEffect {
public:
    LoggingEffect(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
    void UploadTextures() override { log_->push_back(name_ + " upload"); }
    void ReleaseTextures() override { log_->push_back(name_ + " release"); }
    void DrawFrame(LONG elapsed) override { log_->push_back(name_ + " draw " + std::to_string(elapsed)); }
    void ReceiveInt(char* name, int value, LONG when) override {
        log_->push_back(name_ + " int " + name + "=" + std::to_string(value) + " at " + std::to_string(when));
    }
    void ReceiveFloat(char* name, float value, LONG) override {
        log_->push_back(name_ + " float " + name + "=" + std::to_string(value));
    }
    void ReceiveString(char* name, char* value, LONG) override {
        log_->push_back(name_ + " string " + name + "=" + value);
    }

private:
    std::string name_;
    std::vector<std::string>* log_;
};

class TimelineTest : public ::testing::Test {
protected:
    std::vector<std::string> log;
    LoggingEffect a{"A", &log}, b{"B", &log}, c{"C", &log};
    std::vector<RegisteredEffect> effects{{"A", &a}, {"B", &b}, {"C", &c}, {"NULL", nullptr}};

    Timeline make(const std::string& text) {
        std::vector<std::string> names;
        for (const auto& e : effects) names.push_back(e.name);
        std::string error;
        auto script = parseScript(text, names, &error);
        EXPECT_TRUE(script) << error;
        return Timeline(effects, script ? *script : glimmerq::Script{});
    }
};

}  // namespace

TEST_F(TimelineTest, DrawsInAscendingLayerWithTiesInStartOrder) {
    Timeline t = make("0 start B layer 1\n0 start C layer 0\n0 start A layer 1\n9 end\n");
    ASSERT_TRUE(t.advance(0));
    t.draw(0);
    EXPECT_EQ(log, (std::vector<std::string>{"C upload", "C draw 0", "B upload", "B draw 0", "A upload", "A draw 0"}));
    EXPECT_EQ(t.runningCombination(), "C+B+A");
}

TEST_F(TimelineTest, UploadsOncePerRunBeforeTheFirstDrawAndReleasesAfterTheLast) {
    Timeline t = make("0 start A layer 0\n1 stop A\n2 start A layer 0\n3 end\n");
    for (int64_t ms : {0, 500, 1000, 2000, 2500}) {
        ASSERT_TRUE(t.advance(ms));
        t.draw(ms);
    }
    EXPECT_FALSE(t.advance(3000));
    EXPECT_EQ(log, (std::vector<std::string>{"A upload", "A draw 0", "A draw 500", "A release", "A upload",
                                             "A draw 2000", "A draw 2500", "A release"}));
    EXPECT_TRUE(t.ended());
}

TEST_F(TimelineTest, AppliesEveryDueEventInFileOrderAndPassesValues) {
    Timeline t = make(
        "0 int A METHOD 2\n0 start A layer 0\n1 float B SPEED 0.5\n1 string C SAY \"hi\"\n1 int NULL X 1\n5 end\n");
    ASSERT_TRUE(t.advance(1200));
    EXPECT_EQ(log, (std::vector<std::string>{"A int METHOD=2 at 0", "B float SPEED=0.500000", "C string SAY=hi"}));
}

TEST_F(TimelineTest, RunsSkippedBeforeTheFirstDrawAreNeitherUploadedNorReleased) {
    // What --start does: events before the start time are applied without drawing.
    Timeline t = make("0 start A layer 0\n1 stop A\n1 start B layer 0\n5 end\n");
    ASSERT_TRUE(t.advance(2000));
    t.draw(2000);
    EXPECT_EQ(log, (std::vector<std::string>{"B upload", "B draw 2000"}));
}

TEST_F(TimelineTest, NullEffectsRunWithoutBeingCalled) {
    Timeline t = make("0 start NULL layer 0\n0 start A layer 1\n1 stop NULL\n5 end\n");
    ASSERT_TRUE(t.advance(0));
    t.draw(0);
    ASSERT_TRUE(t.advance(1000));
    EXPECT_EQ(log, (std::vector<std::string>{"A upload", "A draw 0"}));
}

TEST_F(TimelineTest, RewindReleasesRunningEffectsAndReplaysFromTheStart) {
    Timeline t = make("0 start A layer 0\n0 int B N 1\n5 end\n");
    ASSERT_TRUE(t.advance(0));
    t.draw(0);
    t.rewind();
    ASSERT_TRUE(t.advance(0));
    t.draw(0);
    EXPECT_EQ(log, (std::vector<std::string>{"B int N=1 at 0", "A upload", "A draw 0", "A release", "B int N=1 at 0",
                                             "A upload", "A draw 0"}));
}

TEST_F(TimelineTest, AfterEffectHookRunsAfterEachDraw) {
    Timeline t = make("0 start A layer 0\n0 start B layer 1\n5 end\n");
    t.advance(0);
    std::vector<std::string> hooks;
    t.draw(0, [&](const std::string& name) { hooks.push_back(name + " after " + std::to_string(log.size())); });
    EXPECT_EQ(hooks, (std::vector<std::string>{"A after 2", "B after 4"}));
}

TEST_F(TimelineTest, MusicLinesLeaveEffectsAndTheirOrderAlone) {
    Timeline t = make("0 music a.ogg\n0 start A layer 0\n1 music b.ogg\n1 int A N 1\n1 start B layer 1\n5 end\n");
    ASSERT_TRUE(t.advance(0));
    t.draw(0);
    ASSERT_TRUE(t.advance(1000));
    t.draw(1000);
    EXPECT_EQ(log, (std::vector<std::string>{"A upload", "A draw 0", "A int N=1 at 1000", "A draw 1000", "B upload",
                                             "B draw 1000"}));
    EXPECT_EQ(t.runningCombination(), "A+B");
    EXPECT_FALSE(t.advance(5000));
}

// Going back to a kept position: a run that runs on there keeps its textures, one that does not
// is released, one that ran and was drawn then is uploaded again; the next events are the
// position's, and each run is still bracketed once.
TEST_F(TimelineTest, RestoringAPositionBracketsEachRunOnceAndPlaysOnFromThere) {
    Timeline t = make("0 start A layer 0\n1 start B layer 1\n2 stop A\n2 start C layer 2\n3 stop B\n9 end\n");
    ASSERT_TRUE(t.advance(1000));
    t.draw(1000);
    const Timeline::Position atOne = t.position();  // A and B running, both drawn
    ASSERT_TRUE(t.advance(2000));
    t.draw(2000);  // A released; C uploaded
    log.clear();
    t.restore(atOne);
    EXPECT_EQ(log, (std::vector<std::string>{"C release", "A upload"}));  // B runs on untouched
    EXPECT_EQ(t.runningCombination(), "A+B");
    log.clear();
    ASSERT_TRUE(t.advance(2000));
    t.draw(2000);
    EXPECT_EQ(log, (std::vector<std::string>{"A release", "B draw 2000", "C upload", "C draw 2000"}));

    // Back to before anything started: everything uploaded is released, nothing uploaded.
    Timeline fresh = make("0 start A layer 0\n1 start B layer 1\n2 stop A\n2 start C layer 2\n3 stop B\n9 end\n");
    const Timeline::Position start = fresh.position();
    log.clear();
    t.restore(start);
    EXPECT_EQ(log, (std::vector<std::string>{"B release", "C release"}));
    EXPECT_EQ(t.runningCombination(), "");
    ASSERT_TRUE(t.advance(0));
    EXPECT_EQ(t.runningCombination(), "A");
}
