// The sine table over every 32-bit angle; the frame clock's counter differences into whole ticks, the rest carried.
#include <gtest/gtest.h>
#include <cstdint>
#include "shell/frame.h"
#include "shell/program.h"
#include "shell/sinetable.h"
static void NoScene(LPDIRECTDRAWSURFACE4, int32_t) {}
extern const char ProgramClassName[] = "ShellTest";
extern const char ProgramTitle[] = "Shell test";
extern const LPCSTR TextureName = NULL;
extern const BOOL ResetClockAfterIdleWait = TRUE;
extern void (*const SceneRoutine)(LPDIRECTDRAWSURFACE4, int32_t) = NoScene;
namespace {
// The table keeps the values of its slightly short full turn; 2147483647 = 5965232 * 360 + 127; the cosine is the
// sine a quarter turn on.
TEST(SineTable, EntriesCarryTheShortTurnAndAnyAngleReducesIntoOneTurn) {
    BuildSineTable();
    const std::pair<int, double> entries[] = {
        {0, 0.0}, {1, 0.017452406139607784}, {90, 0.9999999999999997}, {180, 5.3589793e-8}, {270, -0.9999999999999968}};
    for (const auto& [i, value] : entries) EXPECT_NEAR(SineTable[i], value, i == 180 ? 5e-16 : 0.0) << i;
    for (int i = 1; i < 180; ++i) EXPECT_NEAR(SineTable[i], -SineTable[180 + i], 1e-6) << i;
    const int32_t angles[][3] = {  // angle, the sine's entry, the cosine's
        {0, 0, 90}, {360, 0, 90}, {-360, 0, 90}, {-720, 0, 90}, {-90, 270, 0}, {450, 90, 180}, {-1, 359, 89}, {-359, 1, 91},
        {359, 359, 89}, {-361, 359, 89}, {INT32_MAX, 127, 217}, {INT32_MIN, 232, 322}, {270, 270, 0}, {-180, 180, 270},
        {-91, 269, 359}, {INT32_MAX - 89, 38, 128}};
    for (const auto& [angle, sine, cosine] : angles)
        EXPECT_TRUE(SinDeg(angle) == SineTable[sine] && CosDeg(angle) == SineTable[cosine]) << angle;
}
// (frequency, start, then each frame's counter and ticks): 2^31 counts and more taken in full, a count beyond
// 32 bits held at the most the scene takes; no frequency lets no time pass.
TEST(FrameClock, CountsBecomeWholeTicksWithTheRestCarried) {
    const struct { LONGLONG frequency, start; std::vector<std::pair<LONGLONG, int32_t>> frames; } cases[] = {
        {15360, 0, {{1, 1}, {8, 7}, {264, 256}, {15624, 15360}}},
        {10000000, 1000, {{167667, 256}, {167667, 0}, {167667, 0}, {168318, 1}}},  // 651 counts: a tick with the rest
        {10000000, 0, {{INT64_C(1) << 31, 3298534}}},
        {10000000, 0, {{INT64_C(3) << 32, 19791209}}},
        {10000000, 0, {{INT64_MAX, INT32_MAX}}},
        {15360, 0, {{INT32_MAX, INT32_MAX}, {LONGLONG(INT32_MAX) * 2 + 1, INT32_MAX}}},
        {0, 0, {{123456789, 0}}},
        {10000000, 5000000, {{1000, 0}, {10001000, 15360}}},
    };
    for (const auto& c : cases) {
        CounterFrequency = c.frequency, LastCounter = c.start, TickRemainder = 0;
        for (const auto& [counter, ticks] : c.frames) {
            EXPECT_EQ(AdvanceFrameClock(counter), ticks) << c.frequency << " at " << counter;
            EXPECT_EQ(LastCounter, counter);
        }
    }
}
}  // namespace
