// Every registered effect returns to a kept moment of its run: with its kept state put back
// (when it keeps one), it draws the frames it drew from there again, byte for byte, and so
// does a fresh instance given that state. An effect that keeps none must do the same from
// the elapsed time alone. Any frame-to-frame field missing from a KeepState shows here.
#include "demo/entry.h"
#include "effects/texture/splash.h"
#include "runtime/display/render_target.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using glimmerq::RenderTarget;
using glimmerq::testing::GlFixture;
using glimmerq::testing::TestHost;

namespace {

constexpr int kWidth = 96;          // pixels
constexpr int kHeight = 54;
constexpr double kFramesPerSecond = 60.0;
// A run starts at 4 s, where the icosahedron is in view (about 0.9 s on it passes behind the eye).
constexpr int kFirstFrame = 240;
constexpr int kWarmUpFrames = 40;   // the run's frames 0 ... 39 are drawn before the moment is kept
constexpr int kWindowFrames = 20;   // its frames 40 ... 59 are drawn, then drawn again from it

// The run's frame n as frame kFirstFrame + n of a fixed-step show, in ms.
LONG frameTime(int n) { return LONG(std::lround((kFirstFrame + n) * 1000.0 / kFramesPerSecond)); }

class SavingArchive : public CStateArchive {
public:
    std::vector<unsigned char> bytes;
    void Bytes(void* data, size_t size) override {
        const auto* from = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), from, from + size);
    }
};

class RestoringArchive : public CStateArchive {
public:
    explicit RestoringArchive(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
    size_t unread() const { return bytes_.size() - at_; }
    bool overrun = false;  // asked for more than was saved
    void Bytes(void* data, size_t size) override {
        if (size > unread()) {
            overrun = true;
            return;
        }
        std::memcpy(data, bytes_.data() + at_, size);
        at_ += size;
    }

private:
    const std::vector<unsigned char>& bytes_;
    size_t at_ = 0;
};

std::vector<unsigned char> saveState(CEffectState& effect) {
    SavingArchive archive;
    effect.KeepState(archive);
    return archive.bytes;
}

// What the host keeps of a moment besides the effects: the picture the next frame draws over
// (the trails, the sparks and the blur's capture read it) and the scissor test, which CLEAR
// leaves on for its next frame's clear.
class KeptPicture {
public:
    explicit KeptPicture(std::string* error) {
        GLint target = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &target);
        target_ = GLuint(target);
        store_.create(kWidth, kHeight, error);  // binds the store
        glBindFramebuffer(GL_FRAMEBUFFER, target_);
    }
    void keep() {
        scissorTest_ = glIsEnabled(GL_SCISSOR_TEST);
        copy(target_, store_.framebuffer());
    }
    void putBack() {
        copy(store_.framebuffer(), target_);
        if (scissorTest_)
            glEnable(GL_SCISSOR_TEST);
        else
            glDisable(GL_SCISSOR_TEST);
    }

private:
    // Colour and depth; a blit is clipped by the scissor test, so that is off meanwhile.
    void copy(GLuint from, GLuint to) {
        const GLboolean scissorTest = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
        glBlitFramebuffer(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight,
                          GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, target_);
        if (scissorTest) glEnable(GL_SCISSOR_TEST);
    }
    GLuint target_ = 0;
    RenderTarget store_;
    GLboolean scissorTest_ = GL_FALSE;
};

// Something the script does to an effect just before the run's frame `frame` is drawn: an
// integer parameter, or (name null) the end of one run and the start of the next.
struct SCue {
    int frame;
    const char* name;
    int value;
};

struct SScenario {
    std::string effect;
    std::string what;
    // False: every frame starts black, as under CLEAR (an additive effect would otherwise
    // saturate the picture, and frames would stop telling anything apart).
    bool overItsLastFrame;
    std::vector<SCue> cues;
};

// Effects that need more than a plain run to show their state. Every other effect of the
// table runs once without cues, each frame starting black.
const std::vector<SScenario> kDrivenScenarios = {
    // Kept mid fade up under the letterbox; the window goes black (the scissor test off) and
    // fades down, so the method, the level and the letterbox must all come back.
    {"CLEAR", "letterboxed fade up", true,
     {{0, "SCISSOR", 1}, {0, "METHOD", 2}, {50, "METHOD", 0}, {51, "METHOD", 3}}},
    // Kept while trails darken a fading picture; the window fades up instead.
    {"CLEAR", "trails over a fade down", true, {{0, "METHOD", 3}, {30, "METHOD", 1}, {50, "METHOD", 2}}},
    // A second run inside the window restarts the clock, which must come back too.
    {"SPLASH", "a second run, over its own last frames", true, {{50, nullptr, 0}}},
};

void play(CEffect& effect, const SScenario& scenario, int frame) {
    if (!scenario.overItsLastFrame) {
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    for (const SCue& cue : scenario.cues) {
        if (cue.frame != frame) continue;
        if (cue.name == nullptr) {
            effect.ReleaseTextures();
            effect.UploadTextures();
        } else {
            std::string name = cue.name;
            effect.ReceiveInt(&name[0], cue.value, frameTime(frame));
        }
    }
    effect.DrawFrame(frameTime(frame));
}

std::vector<SScenario> scenariosFor(const EffectEntry* table, int count) {
    std::vector<SScenario> scenarios;
    for (int i = 0; i < count; ++i) {
        bool driven = false;
        for (const SScenario& scenario : kDrivenScenarios) {
            if (scenario.effect != table[i].name) continue;
            scenarios.push_back(scenario);
            driven = true;
        }
        if (!driven) scenarios.push_back({table[i].name, "a plain run", false, {}});
    }
    return scenarios;
}

std::unique_ptr<CEffect> create(const EffectEntry* table, int count, const std::string& name) {
    for (int i = 0; i < count; ++i)
        if (name == table[i].name) return std::unique_ptr<CEffect>(table[i].create());
    return nullptr;
}

// Pixels (RGBA quadruples) that differ between two pictures of the same size.
int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    int count = 0;
    for (size_t i = 0; i + 4 <= a.size() && i + 4 <= b.size(); i += 4)
        if (std::memcmp(&a[i], &b[i], 4) != 0) ++count;
    return count;
}

// Draws the warm-up, keeps the moment, draws the window, then draws the window again from the
// kept moment with the same instance and with a fresh one.
void checkScenario(const EffectEntry* table, int count, const SScenario& scenario) {
    const std::string label = scenario.effect + " (" + scenario.what + ")";
    GlFixture gl(kWidth, kHeight);
    ASSERT_TRUE(gl.ok()) << gl.error();
    TestHost host;
    host.useDirectory(GLIMMERQ_DATA_DIR);
    std::string error;
    KeptPicture picture(&error);
    ASSERT_EQ(error, "");

    std::unique_ptr<CEffect> effect = create(table, count, scenario.effect);
    ASSERT_NE(effect, nullptr) << label;
    auto* stateful = dynamic_cast<CEffectState*>(effect.get());
    const auto* splash = dynamic_cast<const CSplash*>(effect.get());
    effect->Setup(kWidth, kHeight);
    effect->UploadTextures();
    for (int n = 0; n < kWarmUpFrames; ++n) play(*effect, scenario, n);

    picture.keep();
    const std::vector<unsigned char> kept = stateful ? saveState(*stateful) : std::vector<unsigned char>();
    const uint32_t keptGenerator = splash ? splash->random.state : 0;

    std::vector<std::vector<unsigned char>> frames;
    for (int n = kWarmUpFrames; n < kWarmUpFrames + kWindowFrames; ++n) {
        play(*effect, scenario, n);
        frames.push_back(gl.picture());
    }

    if (stateful) {
        // Otherwise putting the state back would have nothing to do.
        EXPECT_NE(saveState(*stateful), kept) << label << ": the state did not move in the window";
        for (size_t i = 1; i < frames.size(); ++i)
            EXPECT_GT(differingPixels(frames[i], frames[i - 1]), 0)
                << label << ": frame " << kWarmUpFrames + int(i) << " (" << frameTime(kWarmUpFrames + int(i))
                << " ms) repeats the one before";
    }
    if (splash) {
        EXPECT_NE(splash->random.state, keptGenerator) << label << ": no spark was thrown again";
    }

    std::unique_ptr<CEffect> fresh = create(table, count, scenario.effect);
    ASSERT_NE(fresh, nullptr) << label;
    fresh->Setup(kWidth, kHeight);
    fresh->UploadTextures();
    for (CEffect* replay : {effect.get(), fresh.get()}) {
        const char* which = replay == effect.get() ? "the same instance" : "a fresh instance";
        picture.putBack();
        if (auto* replayState = dynamic_cast<CEffectState*>(replay)) {
            RestoringArchive archive(kept);
            replayState->KeepState(archive);
            EXPECT_FALSE(archive.overrun) << label << ": restoring reads more than saving wrote";
            EXPECT_EQ(archive.unread(), 0u) << label << ": restoring leaves saved bytes unread";
        }
        for (int i = 0; i < kWindowFrames; ++i) {
            const int n = kWarmUpFrames + i;
            play(*replay, scenario, n);
            const int differing = differingPixels(gl.picture(), frames[size_t(i)]);
            EXPECT_EQ(differing, 0) << label << ", " << which << ": frame " << n << " (" << frameTime(n)
                                    << " ms) differs from the first time it was drawn";
            if (differing != 0) break;  // the rest follow from it
        }
    }
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR)) << label;
}

}  // namespace

TEST(EffectState, EveryDrivenScenarioNamesARegisteredEffect) {
    int count = 0;
    const EffectEntry* table = DemoEffectTable(&count);
    for (const SScenario& scenario : kDrivenScenarios)
        EXPECT_NE(create(table, count, scenario.effect), nullptr) << scenario.effect;
}

TEST(EffectState, EveryEffectDrawsTheSameFramesAgainFromAKeptMoment) {
    int count = 0;
    const EffectEntry* table = DemoEffectTable(&count);
    for (const SScenario& scenario : scenariosFor(table, count)) checkScenario(table, count, scenario);
}
