// SPLASH: the generator, the sparks' life cycle, the clock, the spiral and the state left.
#include "effects/texture/splash.h"
#include "effects/texture/strahlen.h"
#include "effects/texture/wobbel.h"
#include "tests/effects/texture/gl_readback.h"
#include "tests/support/test_host.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace glimmerq::testing;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// The reference sequence, written independently of the effect's generator.
struct ReferenceRandom {
    uint32_t state = 1;
    int next() {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
};

class SplashTest : public ::testing::Test {
protected:
    GlFixture gl{kWidth, kHeight};
    TestHost host;
    CSplash splash;
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        host.useDirectory(GLIMMERQ_DATA_DIR);
    }
    // Every spark keeps its life for ever: no reset draws from the generator.
    void freezeLives() {
        for (auto& slot : splash.slots)
            for (SSpark& spark : slot) spark.decay = 0.0f;
    }
};

// The angle (degrees, 0 ... 360) of the square's bottom edge, tex (0,0) -> (1,0), on screen.
float bottomEdgeAngle(const std::array<FeedbackVertex, 4>& q) {
    float degrees = float(std::atan2(q[1].y - q[0].y, q[1].x - q[0].x) * 180.0 / M_PI);
    return degrees < 0 ? degrees + 360.0f : degrees;
}

float angleDistance(float a, float b) {
    const float d = std::fabs(std::fmod(a - b + 720.0f, 360.0f));
    return std::min(d, 360.0f - d);
}

}  // namespace

TEST(SplashRandomTest, YieldsTheRuntimeGeneratorsSequenceFromStateOne) {
    CSplashRandom random;
    EXPECT_EQ(random.Next(), 41);
    EXPECT_EQ(random.state, 2745024u);
    EXPECT_EQ(random.Next(), 18467);
    EXPECT_EQ(random.Next(), 6334);
    EXPECT_EQ(random.Next(), 26500);
    EXPECT_EQ(random.Next(), 19169);
    ReferenceRandom reference;
    for (int i = 0; i < 5; ++i) reference.next();
    for (int i = 0; i < 10000; ++i) {
        const int value = random.Next();
        ASSERT_EQ(value, reference.next()) << "draw " << i + 6;
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST_F(SplashTest, SetupThrowsFortySparksWithFourDrawsEach) {
    EXPECT_EQ(splash.Setup(kWidth, kHeight), 0);
    EXPECT_FLOAT_EQ(splash.slots[0][0].decay, 0.044f);  // from the first draw, 41
    EXPECT_FLOAT_EQ(splash.slots[0][1].decay, 0.072f);  // from the fifth draw, 19169

    ReferenceRandom reference;
    for (int slot = 0; slot < CSplash::kSlotCount; ++slot) {
        for (int which = 0; which < 2; ++which) {
            const SSpark& spark = splash.slots[slot][which];
            const float expectedDecay = float(reference.next() % 100) / 1000.0f + 0.003f;
            for (int k = 0; k < 3; ++k) reference.next();
            SCOPED_TRACE(testing::Message() << "slot " << slot << " spark " << which);
            EXPECT_TRUE(spark.active);
            EXPECT_EQ(spark.life, 1.0f);
            EXPECT_FLOAT_EQ(spark.decay, expectedDecay);
            const float sign = which == 0 ? -1.0f : 1.0f;
            EXPECT_EQ(spark.acceleration[0], sign * 1000.0f);
            EXPECT_EQ(spark.acceleration[1], sign * 10.0f);
            EXPECT_EQ(spark.acceleration[2], sign * 10.0f);
            EXPECT_EQ(spark.velocity[0], 0.0f);
            EXPECT_EQ(spark.velocity[1], 0.0f);
            EXPECT_EQ(spark.velocity[2], 0.0f);
            EXPECT_EQ(spark.position[0], 0.0f);
            EXPECT_EQ(spark.position[1], 0.0f);
            EXPECT_EQ(spark.position[2], -40.0f);
        }
    }
    EXPECT_EQ(splash.random.state, reference.state) << "Setup must draw exactly 160 values";
    EXPECT_EQ(splash.spinCounter, 0);
    EXPECT_EQ(splash.timeDivisor, 500000.0f);
    EXPECT_EQ(splash.depthOffset, -25.0f);
}

TEST_F(SplashTest, SetupSucceedsEvenWithoutItsTexture) {
    TestHost emptyHost;  // no files at all
    CSplash lonely;
    EXPECT_EQ(lonely.Setup(kWidth, kHeight), 0);
    EXPECT_EQ(lonely.texture, 0u);
    ASSERT_EQ(emptyHost.textureRequests.size(), 1u);
    EXPECT_EQ(emptyHost.textureRequests[0], "qv01.jpg");
    EXPECT_EQ(emptyHost.textureParams[0].wrapS, GL_REPEAT);
    EXPECT_EQ(emptyHost.textureParams[0].minFilter, GL_LINEAR);
    EXPECT_EQ(emptyHost.textureParams[0].internalFormat, GL_RGB5_A1);
    lonely.UploadTextures();
    lonely.DrawFrame(16);  // draws untextured, without a GL error
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(SplashTest, TimeStepIsMeasuredFromZeroAfterEveryUploadTextures) {
    splash.Setup(kWidth, kHeight);
    splash.UploadTextures();
    splash.DrawFrame(5000);
    EXPECT_FLOAT_EQ(splash.timeStep, 5000.0f / 500000.0f);
    splash.DrawFrame(5020);
    EXPECT_FLOAT_EQ(splash.timeStep, 20.0f / 500000.0f);
    EXPECT_EQ(splash.lastTime, 5020);

    splash.ReleaseTextures();
    splash.UploadTextures();  // a second run of the effect restarts the clock only
    EXPECT_EQ(splash.lastTime, 0);
    const int spin = splash.spinCounter;
    splash.DrawFrame(3000);
    EXPECT_FLOAT_EQ(splash.timeStep, 3000.0f / 500000.0f);
    EXPECT_EQ(splash.spinCounter, spin + 1);
    EXPECT_EQ(host.uploads.size(), 2u);
    EXPECT_EQ(host.unUploads.size(), 1u);
}

TEST_F(SplashTest, SparkMovesByTheTimeStepThenSpeedsUpOncePerFrame) {
    splash.Setup(kWidth, kHeight);
    freezeLives();
    splash.UploadTextures();
    splash.DrawFrame(1000);  // velocity was 0: the position stays, the velocity gains one step
    const SSpark& left = splash.slots[7][0];
    EXPECT_EQ(left.position[0], 0.0f);
    EXPECT_EQ(left.velocity[0], -1000.0f);
    splash.DrawFrame(1500);  // time step 500 / 500000
    EXPECT_FLOAT_EQ(left.position[0], -1000.0f * 0.001f);
    EXPECT_FLOAT_EQ(left.position[1], -10.0f * 0.001f);
    EXPECT_FLOAT_EQ(left.position[2], -40.0f - 10.0f * 0.001f);
    EXPECT_EQ(left.velocity[0], -2000.0f);
    EXPECT_FLOAT_EQ(splash.slots[7][1].position[0], 1.0f);
}

TEST_F(SplashTest, SparkWhoseLifeReachesExactlyZeroIsDrawnOnceMoreBeforeItsReset) {
    splash.Setup(kWidth, kHeight);
    freezeLives();
    SSpark& spark = splash.slots[3][1];  // the 24th square drawn in a frame
    spark.life = 0.5f;
    spark.decay = 0.5f;                   // one frame to exactly 0, the next below it
    spark.velocity[0] = 1000.0f;          // ahead of its neighbours, so its square is found
    splash.UploadTextures();
    const uint32_t stateBefore = splash.random.state;

    splash.DrawFrame(1000);  // time step 0.002
    EXPECT_EQ(spark.life, 0.0f);
    EXPECT_FLOAT_EQ(spark.position[0], 2.0f) << "a life of 0 must not reset the spark";
    EXPECT_EQ(splash.random.state, stateBefore);

    bool overflowed = true;
    const auto quads = quadsFrom(captureFeedback([&] { splash.DrawFrame(2016); }, &overflowed));
    ASSERT_FALSE(overflowed);
    EXPECT_EQ(spark.life, 1.0f) << "below 0 the spark is thrown again";
    EXPECT_EQ(spark.position[0], 0.0f);
    EXPECT_EQ(spark.position[2], -40.0f);
    EXPECT_EQ(spark.velocity[0], 0.0f);
    ReferenceRandom reference;
    reference.state = stateBefore;
    EXPECT_FLOAT_EQ(spark.decay, float(reference.next() % 100) / 1000.0f + 0.003f);
    for (int k = 0; k < 3; ++k) reference.next();
    EXPECT_EQ(splash.random.state, reference.state) << "one reset draws exactly four values";

    // In its last frame it was still drawn, 2 units off centre, while its neighbour (slot 2)
    // had not moved yet.
    ASSERT_EQ(quads.size(), 40u);
    auto offCentre = [](const std::array<FeedbackVertex, 4>& q) {
        return std::hypot((q[0].x + q[2].x) / 2 - kWidth / 2.0f, (q[0].y + q[2].y) / 2 - kHeight / 2.0f);
    };
    EXPECT_GT(offCentre(quads[23]), 5.0f);
    EXPECT_LT(offCentre(quads[22]), 0.5f);
}

TEST_F(SplashTest, EachSquareIsTurnedFurtherThanTheOneBefore) {
    splash.Setup(kWidth, kHeight);
    splash.UploadTextures();
    // The same elapsed time every frame: a time step of 0 keeps all sparks at the centre.
    for (int frame = 0; frame < 49; ++frame) splash.DrawFrame(1000);
    for (auto& slot : splash.slots)
        for (SSpark& spark : slot) {
            spark.position[0] = spark.position[1] = 0.0f;
            spark.position[2] = -40.0f;
        }
    const auto quads = quadsFrom(captureFeedback([&] { splash.DrawFrame(1000); }));
    ASSERT_EQ(splash.spinCounter, 50);
    ASSERT_EQ(quads.size(), 40u);
    for (size_t n = 0; n < quads.size(); ++n) {
        const float expected = std::fmod(float(n + 1) * 50.0f / 5.0f, 360.0f);
        EXPECT_NEAR(angleDistance(bottomEdgeAngle(quads[n]), expected), 0.0f, 0.05f)
            << "square " << n + 1 << " at " << bottomEdgeAngle(quads[n]) << "°";
        EXPECT_EQ(quads[n][0].tex[0], 0.0f);
        EXPECT_EQ(quads[n][2].tex[0], 1.0f);
        EXPECT_EQ(quads[n][2].tex[1], 1.0f);
    }
}

TEST_F(SplashTest, SpiralTurnsTheOtherWayWhileTheAxisSineIsNegative) {
    splash.Setup(kWidth, kHeight);
    splash.UploadTextures();
    const LONG reversed = LONG(121515.0 * M_PI) + 1000;  // sin(t / 121515) < 0
    splash.DrawFrame(reversed);
    const auto quads = quadsFrom(captureFeedback([&] { splash.DrawFrame(reversed); }));
    ASSERT_EQ(splash.spinCounter, 2);
    ASSERT_EQ(quads.size(), 40u);
    EXPECT_NEAR(angleDistance(bottomEdgeAngle(quads[39]), -40.0f * 2.0f / 5.0f), 0.0f, 0.05f);
}

TEST_F(SplashTest, SpinCounterWrapsAfter360Frames) {
    splash.Setup(kWidth, kHeight);
    splash.UploadTextures();
    for (int frame = 0; frame < 359; ++frame) splash.DrawFrame(1000);
    EXPECT_EQ(splash.spinCounter, 359);
    splash.DrawFrame(1000);
    EXPECT_EQ(splash.spinCounter, 0);
}

TEST_F(SplashTest, FrameRestoresSavedGroupsAndLeavesItsPerspectiveAndViewport) {
    splash.Setup(kWidth, kHeight);
    splash.UploadTextures();
    glViewport(1, 2, 3, 4);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    const Matrix modelviewBefore = currentMatrix(GL_MODELVIEW_MATRIX);

    splash.DrawFrame(16);

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(currentInt(GL_BLEND_SRC), GL_ZERO);
    EXPECT_EQ(currentInt(GL_BLEND_DST), GL_SRC_COLOR);
    EXPECT_EQ(currentInts4(GL_POLYGON_MODE)[0], GL_LINE);
    EXPECT_EQ(currentInt(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(maxDifference(currentMatrix(GL_MODELVIEW_MATRIX), modelviewBefore), 0.0f);
    const Matrix perspective = matrixBuiltBy(GL_PROJECTION, [] {
        gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 200.0);
    });
    EXPECT_LT(maxDifference(currentMatrix(GL_PROJECTION_MATRIX), perspective), 1e-6f);
    EXPECT_EQ(currentInts4(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, kWidth, kHeight}));
    EXPECT_EQ(currentInt(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(currentInt(GL_POINT_SMOOTH_HINT), GL_NICEST);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(SplashTest, EnteringInProjectionModeKeepsBothMatrixStacksBalanced) {
    // The layer before may leave GL_PROJECTION current (STRAHLEN does).
    splash.Setup(kWidth, kHeight);
    splash.UploadTextures();
    glMatrixMode(GL_PROJECTION);
    for (int frame = 0; frame < 5; ++frame) {
        glMatrixMode(GL_PROJECTION);
        splash.DrawFrame(16 * frame);
    }
    EXPECT_EQ(currentInt(GL_PROJECTION_STACK_DEPTH), 1);
    EXPECT_EQ(currentInt(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

// The next layer draws under the model-view SPLASH leaves. Entered in GL_MODELVIEW, the frame
// pushes and pops it: the matrix comes back unchanged. Entered in another mode (STRAHLEN
// leaves GL_PROJECTION) nothing is pushed or popped: the model-view keeps the sparks' 40
// turns, and neither stack is disturbed.
TEST_F(SplashTest, ModelViewLeftForTheNextLayerDependsOnTheModeFoundOnEntry) {
    splash.Setup(kWidth, kHeight);
    splash.UploadTextures();
    for (int frame = 1; frame <= 4; ++frame) splash.DrawFrame(16 * frame);  // spin counter 4

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 300.0f);  // as STRAHLEN leaves it at its far end
    const Matrix shaft = currentMatrix(GL_MODELVIEW_MATRIX);
    splash.DrawFrame(80);
    EXPECT_EQ(maxDifference(currentMatrix(GL_MODELVIEW_MATRIX), shaft), 0.0f) << "entered in GL_MODELVIEW";
    EXPECT_EQ(currentInt(GL_MATRIX_MODE), GL_MODELVIEW);

    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 300.0f);
    glMatrixMode(GL_PROJECTION);
    splash.DrawFrame(96);  // spin counter 6: 40 turns of 6 / 5 degrees about +z (sin > 0)
    ASSERT_EQ(splash.spinCounter, 6);
    const Matrix turns = matrixBuiltBy(GL_MODELVIEW, [] {
        for (int n = 0; n < 40; ++n) glRotatef(6.0f / 5.0f, 0.0f, 0.0f, 1.0f);
    });
    EXPECT_LT(maxDifference(currentMatrix(GL_MODELVIEW_MATRIX), turns), 1e-5f)
        << "entered in GL_PROJECTION: the next layer gets the turns, element [1] = "
        << currentMatrix(GL_MODELVIEW_MATRIX)[1] << ", expected " << turns[1];
    EXPECT_EQ(currentInt(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(currentInt(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(currentInt(GL_PROJECTION_STACK_DEPTH), 1);
    const Matrix perspective = matrixBuiltBy(GL_PROJECTION, [] {
        gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 200.0);
    });
    EXPECT_LT(maxDifference(currentMatrix(GL_PROJECTION_MATRIX), perspective), 1e-6f);
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

// STRAHLEN, SPLASH, CWOBBEL in one frame, as the show layers them: the jelly must cover the
// screen, turned by the sparks' spiral, not vanish behind the shaft's far translation.
TEST_F(SplashTest, JellyAfterShaftAndBurstStillCoversTheScreen) {
    CStrahlen shaft;
    CWobbel jelly;
    ASSERT_EQ(shaft.Setup(kWidth, kHeight), 0);
    ASSERT_EQ(jelly.Setup(kWidth, kHeight), 0);
    splash.Setup(kWidth, kHeight);
    shaft.UploadTextures();
    splash.UploadTextures();
    jelly.UploadTextures();
    const LONG farEnd = LONG(11515.0 * M_PI / 2);  // the shaft's translation at its largest, 300
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 200.0);
    for (int frame = 0; frame < 30; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        shaft.DrawFrame(farEnd + frame * 16);
        splash.DrawFrame(farEnd + frame * 16);
    }
    const std::vector<unsigned char> without = gl.picture();
    jelly.DrawFrame(farEnd + 30 * 16);
    const std::vector<unsigned char> with = gl.picture();

    size_t brightened = 0;
    for (size_t i = 0; i < with.size(); i += 4)
        brightened += with[i] + with[i + 1] + with[i + 2] > without[i] + without[i + 1] + without[i + 2];
    EXPECT_GT(brightened, size_t(kWidth * kHeight) / 2) << "pixels the jelly brightened, of " << kWidth * kHeight;
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}

TEST_F(SplashTest, BurstAddsGlowingLogosAtTheCentreOntoBlack) {
    splash.Setup(kWidth, kHeight);
    ASSERT_NE(splash.texture, 0u) << "qv01.jpg missing from " << GLIMMERQ_DATA_DIR;
    splash.UploadTextures();
    splash.DrawFrame(16);
    const auto centre = gl.pixel(kWidth / 2, kHeight / 2);
    EXPECT_GT(std::max({centre[0], centre[1], centre[2]}), 200) << "the forty sparks overlap here";
    const auto corner = gl.pixel(2, 2);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 0) << "the logo's black border adds nothing";
    EXPECT_EQ(gl.glError(), unsigned(GL_NO_ERROR));
}
