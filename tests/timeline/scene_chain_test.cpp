// The gating and hand-over step and the chain, on a scripted clock. Which scene claimed a
// frame is told by the flags each leaves behind.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/recording/recording_backend.h"
#include "timeline/demo_clock.h"
#include "timeline/scene_sequencer.h"

namespace {

class SceneChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        SysUseRecordingBackend();
        Recorder().frequency = 1 << 20;  // exact ticks: samples are the seconds set below
        Recorder().counterScript = [this] {
            ++samples;
            return static_cast<int64_t>(std::llround(seconds * (1 << 20)));
        };
        gClock = DemoClock();
        ResetSceneState();
        samples = 0;
    }
    void TearDown() override { SysUseBackend(nullptr); }

    // The index (0..4) of the scene that is running, or 5 once the chain has finished.
    static int Running() {
        const bool locked[] = {gScenes.introLocked, gScenes.titleLocked, gScenes.circusLocked,
                               gScenes.flipBookLocked, gScenes.creditsLocked};
        for (int i = 0; i < 5; ++i)
            if (!locked[i]) return i;
        return 5;
    }

    double seconds = 0.0;
    int samples = 0;
};

TEST_F(SceneChainTest, EndTimesAreTheFixedOnes) {
    EXPECT_EQ(gScenes.introEnd, 26.0f);
    EXPECT_EQ(gScenes.titleEnd, 35.5f);
    EXPECT_EQ(gScenes.circusEnd, 39.0f);
    EXPECT_EQ(gScenes.flipBookEnd, 68.0f);
    EXPECT_EQ(gScenes.creditsEnd, 114.0f);
    EXPECT_FALSE(gScenes.introLocked);  // scene 1 runs from the first frame
}

TEST_F(SceneChainTest, EndTimeItselfEndsTheSceneWhichStillDrawsThatFrame) {
    seconds = 25.999998;
    EXPECT_TRUE(SceneIntro());
    EXPECT_EQ(Running(), 0);
    seconds = 26.0;
    EXPECT_TRUE(SceneIntro());  // equality counts as ended, and the frame is drawn
    EXPECT_TRUE(gScenes.introLocked);
    EXPECT_FALSE(gScenes.titleLocked);
    EXPECT_FALSE(SceneIntro());  // finished for good
    EXPECT_TRUE(SceneTitle());   // the successor takes the next frame
    EXPECT_EQ(Running(), 1);
}

TEST_F(SceneChainTest, EachSceneSamplesTheClockOncePerCallEvenWhenLocked) {
    seconds = 10.0;
    EXPECT_FALSE(SceneTitle());
    EXPECT_EQ(samples, 1);
    EXPECT_TRUE(RunSceneChain());
    EXPECT_EQ(samples, 2);  // the chain stopped at the intro
}

TEST_F(SceneChainTest, LateFirstEvaluationGivesOneFrameToEachSceneAlreadyOver) {
    seconds = 40.0;
    const int expected[] = {1, 2, 3, 3, 3};  // running scene after each evaluation
    for (int frame = 0; frame < 5; ++frame) {
        EXPECT_TRUE(RunSceneChain()) << frame;
        EXPECT_EQ(Running(), expected[frame]) << frame;
    }
    seconds = 67.9;
    EXPECT_TRUE(RunSceneChain());
    EXPECT_EQ(Running(), 3);
    seconds = 68.0;
    EXPECT_TRUE(RunSceneChain());
    EXPECT_EQ(Running(), 4);
}

TEST_F(SceneChainTest, WholeTimelineHandsOverAtEachEndTime) {
    struct Step {
        double t;
        int running;  // after the evaluation at t
    };
    const Step steps[] = {{0.0, 0},   {25.9, 0},  {26.0, 1},   {26.01, 1},  {35.49, 1},
                          {35.5, 2},  {36.0, 2},  {39.0, 3},   {39.5, 3},   {68.0, 4},
                          {70.0, 4},  {113.9, 4}, {114.0, 5}};
    for (const Step& s : steps) {
        seconds = s.t;
        EXPECT_TRUE(RunSceneChain()) << s.t;
        EXPECT_EQ(Running(), s.running) << s.t;
    }
    for (double t : {114.0, 200.0, 0.0}) {
        seconds = t;
        EXPECT_FALSE(RunSceneChain()) << t;
    }
    EXPECT_FALSE(SceneIntro());
    EXPECT_FALSE(SceneCredits());
}

TEST_F(SceneChainTest, NotANumberNeverEndsAScene) {
    // A counter with no frequency gives NaN samples (0 ticks times an infinite tick).
    Recorder().frequency = 0;
    Recorder().counterScript = [] { return int64_t{0}; };
    gClock = DemoClock();
    ASSERT_TRUE(std::isnan(gClock.Elapsed()));
    for (int frame = 0; frame < 3; ++frame) EXPECT_TRUE(RunSceneChain());
    EXPECT_EQ(Running(), 0);
}

}  // namespace
