// The frame clock's arithmetic: counter differences into whole ticks of
// 1/15360 s, the rest carried, at any frequency and interval.
#include <gtest/gtest.h>

#include <cstdint>

#include "shell/frame.h"
#include "shell/program.h"

static void NoScene(LPDIRECTDRAWSURFACE4, int32_t) {}
extern const char ProgramClassName[] = "FrameClockTest";
extern const char ProgramTitle[] = "Frame clock test";
extern const LPCSTR TextureName = NULL;
extern const BOOL ResetClockAfterIdleWait = TRUE;
extern void (*const SceneRoutine)(LPDIRECTDRAWSURFACE4, int32_t) = NoScene;

namespace {

void StartClock(LONGLONG frequency, LONGLONG counter) {
    CounterFrequency = frequency;
    LastCounter = counter;
    TickRemainder = 0;
}

TEST(FrameClock, NoCounterChangeGivesNoTicksAndKeepsTheRemainder) {
    StartClock(10000000, 1000);
    EXPECT_EQ(AdvanceFrameClock(1000 + 166667), 256);
    const LONGLONG remainder = TickRemainder;
    EXPECT_NE(remainder, 0);
    EXPECT_EQ(AdvanceFrameClock(1000 + 166667), 0);
    EXPECT_EQ(AdvanceFrameClock(1000 + 166667), 0);
    EXPECT_EQ(TickRemainder, remainder);
}

TEST(FrameClock, EachCountIsOneTickAt15360Hz) {
    StartClock(15360, 0);
    for (LONGLONG step : {1, 7, 256, 15360, 100000}) {
        const LONGLONG before = LastCounter;
        EXPECT_EQ(AdvanceFrameClock(before + step), step);
        EXPECT_EQ(TickRemainder, 0);
    }
}

TEST(FrameClock, CarriedRemainderNeitherGainsNorLoses) {
    // Sixty frames of a 10 MHz counter at irregular intervals hand the scene
    // exactly the whole ticks of the total time.
    StartClock(10000000, 5);
    LONGLONG counter = 5;
    int64_t sum = 0;
    for (int frame = 0; frame < 60; frame++) {
        counter += 166667 + (frame % 7) * 1013;
        sum += AdvanceFrameClock(counter);
        EXPECT_LT(TickRemainder, CounterFrequency);
    }
    EXPECT_EQ(sum, (counter - 5) * 15360 / 10000000);
}

TEST(FrameClock, IntervalsOf2To31CountsAndMoreAreTakenInFull) {
    StartClock(10000000, 0);
    // 2^31 counts are 214.7 s: 3,298,534 whole ticks, not a wrapped negative.
    EXPECT_EQ(AdvanceFrameClock(INT64_C(1) << 31), 3298534);
    StartClock(10000000, 0);
    EXPECT_EQ(AdvanceFrameClock(INT64_C(3) << 32), 19791209);
}

TEST(FrameClock, TicksAreClampedToWhatTheSceneTakes) {
    StartClock(10000000, 0);
    EXPECT_EQ(AdvanceFrameClock(INT64_MAX), INT32_MAX);
    // Just past the largest count of ticks that fits.
    StartClock(15360, 0);
    EXPECT_EQ(AdvanceFrameClock(INT32_MAX), INT32_MAX);
    StartClock(15360, 0);
    EXPECT_EQ(AdvanceFrameClock(LONGLONG(INT32_MAX) + 1), INT32_MAX);
}

TEST(FrameClock, NoFrequencyOrABackwardCounterLetsNoTimePass) {
    StartClock(0, 0);
    EXPECT_EQ(AdvanceFrameClock(123456789), 0);
    EXPECT_EQ(LastCounter, 123456789);
    StartClock(10000000, 5000000);
    EXPECT_EQ(AdvanceFrameClock(1000), 0);
    EXPECT_EQ(LastCounter, 1000);
    EXPECT_EQ(AdvanceFrameClock(1000 + 10000000), 15360);
}

}  // namespace
