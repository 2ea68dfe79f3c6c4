// The clock's numeric path on a scripted counter.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/recording/recording_backend.h"
#include "timeline/demo_clock.h"

namespace {

class DemoClockTest : public ::testing::Test {
protected:
    void SetUp() override { SysUseRecordingBackend(); }
    void TearDown() override { SysUseBackend(nullptr); }
};

TEST_F(DemoClockTest, CountsSecondsFromConstruction) {
    Recorder().frequency = 1000000;
    Recorder().counter = 5000000;  // the counter's own zero is long past
    DemoClock clock;
    EXPECT_EQ(clock.frequency, 1000000);
    EXPECT_EQ(clock.secondsPerTick, static_cast<float>(1e-6));
    EXPECT_EQ(clock.startSeconds, 5.0f);
    Recorder().counter = 7000000;
    EXPECT_NEAR(clock.Elapsed(), 2.0f, 1e-6);
}

TEST_F(DemoClockTest, TickLengthIsHeldInSinglePrecision) {
    Recorder().frequency = 3;
    Recorder().counter = 0;
    DemoClock clock;
    EXPECT_EQ(clock.secondsPerTick, static_cast<float>(1.0 / 3.0));
    // Readings use the narrowed tick, so the rate is off, by under one part in 2^24.
    Recorder().counter = 3 * 1000;
    const double rate = clock.Now() / 1000.0;
    EXPECT_NE(rate, 1.0);
    EXPECT_NEAR(rate, 1.0, 1.0 / (1 << 24));
}

TEST_F(DemoClockTest, ElapsedIsTheSampleItLeavesAndSinceLastSampleMeasuresFromIt) {
    Recorder().frequency = 1000000;
    Recorder().counter = 123456789;
    DemoClock clock;
    Recorder().counter += 2345678;
    const float sample = clock.Elapsed();
    EXPECT_EQ(sample, clock.lastElapsed);
    // Right after the sample, only the narrowing of the sample itself separates them.
    EXPECT_NEAR(clock.SinceLastSample(), 0.0, 1e-6);
    Recorder().counter += 250000;
    EXPECT_NEAR(clock.SinceLastSample(), 0.25, 1e-6);
    EXPECT_EQ(clock.lastElapsed, sample);  // SinceLastSample stores nothing
}

struct NarrowingCase {
    double counterSeconds;   // the counter's reading at construction
    double maxZeroShift;     // half the float spacing at that magnitude
};

TEST_F(DemoClockTest, NarrowedStartShiftsTheZeroByUpToHalfAFloatStep) {
    // A power-of-two frequency keeps the tick exact, so the shift seen is the narrowing of
    // startSeconds alone.
    const NarrowingCase cases[] = {
        {8388608.25, 0.5},     // 2^23 + 0.25 s: float spacing 1 s
        {12582911.75, 0.5},    // between 2^23 and 2^24
        {40000.0007, 0.002},   // below 2^16 s: spacing under 4 ms
        {100.3, 1e-5},
    };
    for (const NarrowingCase& c : cases) {
        Recorder().frequency = 1 << 20;
        Recorder().counter = static_cast<int64_t>(std::llround(c.counterSeconds * (1 << 20)));
        DemoClock clock;
        const double exactStart = static_cast<double>(Recorder().counter) / (1 << 20);
        EXPECT_EQ(clock.startSeconds, static_cast<float>(exactStart));
        const float first = clock.Elapsed();
        EXPECT_LE(std::fabs(first), c.maxZeroShift) << c.counterSeconds;
        EXPECT_NEAR(first, exactStart - static_cast<double>(static_cast<float>(exactStart)),
                    1e-6)
            << c.counterSeconds;
    }
    // The example at 2^23 + 0.25 s: the first sample reads a quarter second, not zero.
    Recorder().counter = static_cast<int64_t>(8388608.25 * (1 << 20));
    DemoClock clock;
    EXPECT_EQ(clock.Elapsed(), 0.25f);
}

TEST_F(DemoClockTest, SamplesNearTheEndAreSpacedByTheFloatGrid) {
    Recorder().frequency = 1000000000;
    Recorder().counter = 0;
    DemoClock clock;
    Recorder().counter = 114000000000LL;
    const float a = clock.Elapsed();
    Recorder().counter += 3000;  // 3 microseconds: below the spacing near 114 s
    EXPECT_EQ(clock.Elapsed(), a);
    Recorder().counter += 6000;
    EXPECT_EQ(clock.Elapsed(), std::nextafter(a, 200.0f));  // 7.6 microseconds on
}

}  // namespace
