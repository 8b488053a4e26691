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

// Frequency, counter at the start, then counter at each frame and the ticks
// it hands the scene. Intervals of 2^31 counts and more are taken in full, a
// count beyond 32 bits is held at the most the scene takes, and no
// frequency or a counter that went back lets no time pass.
TEST(FrameClock, CountsBecomeWholeTicks) {
    const struct {
        LONGLONG frequency, start;
        std::vector<std::pair<LONGLONG, int32_t>> frames;
    } cases[] = {
        {15360, 0, {{1, 1}, {8, 7}, {264, 256}, {15624, 15360}}},
        // 651 counts are less than a tick at 10 MHz, but not with the rest carried.
        {10000000, 1000, {{167667, 256}, {167667, 0}, {167667, 0}, {168318, 1}}},
        {10000000, 0, {{INT64_C(1) << 31, 3298534}}},
        {10000000, 0, {{INT64_C(3) << 32, 19791209}}},
        {10000000, 0, {{INT64_MAX, INT32_MAX}}},
        {15360, 0, {{INT32_MAX, INT32_MAX}, {LONGLONG(INT32_MAX) * 2 + 1, INT32_MAX}}},
        {0, 0, {{123456789, 0}}},
        {10000000, 5000000, {{1000, 0}, {10001000, 15360}}},
    };
    for (const auto& c : cases) {
        StartClock(c.frequency, c.start);
        for (const auto& [counter, ticks] : c.frames) {
            EXPECT_EQ(AdvanceFrameClock(counter), ticks) << c.frequency << " at " << counter;
            EXPECT_EQ(LastCounter, counter);
        }
    }
}

// Irregular frames hand the scene exactly the whole ticks of the total time,
// whether or not a second is a whole number of ticks in counts.
TEST(FrameClock, CarriedRemainderNeitherGainsNorLoses) {
    for (LONGLONG frequency : {10000000, 3579545, 1193182}) {
        StartClock(frequency, 5);
        LONGLONG counter = 5;
        int64_t sum = 0;
        for (int frame = 0; frame < 60; frame++) {
            counter += frequency / 60 + (frame % 7) * 1013;
            sum += AdvanceFrameClock(counter);
            EXPECT_TRUE(TickRemainder >= 0 && TickRemainder < CounterFrequency);
        }
        EXPECT_EQ(sum, (counter - 5) * 15360 / frequency) << frequency;
    }
}

}  // namespace
