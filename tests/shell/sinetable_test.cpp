#include "shell/sinetable.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The table keeps the values of its slightly short full turn, not the exact
// sines of whole degrees.
TEST(SineTable, EntriesCarryTheShortTurn) {
    BuildSineTable();
    const std::pair<int, double> entries[] = {{0, 0.0},
                                              {1, 0.017452406139607784},
                                              {90, 0.9999999999999997},
                                              {180, 5.3589793e-8},
                                              {270, -0.9999999999999968}};
    for (const auto& [i, value] : entries) EXPECT_NEAR(SineTable[i], value, i == 180 ? 5e-16 : 0.0) << i;
    for (int i = 1; i < 180; ++i) EXPECT_NEAR(SineTable[i], -SineTable[180 + i], 1e-6) << i;
}

// Any 32-bit angle reduces into one turn; the cosine is the sine a quarter
// turn on, near the top of the range too. 2147483647 = 5965232 * 360 + 127.
TEST(SineTable, AnyAngleReducesIntoOneTurn) {
    BuildSineTable();
    const int32_t sines[][2] = {{0, 0},   {360, 0},   {-360, 0},  {-720, 0},  {-90, 270},         {450, 90},
                                {-1, 359}, {-359, 1}, {359, 359}, {-361, 359}, {INT32_MAX, 127}, {INT32_MIN, 232}};
    for (const auto& [angle, entry] : sines) EXPECT_EQ(SinDeg(angle), SineTable[entry]) << angle;
    const int32_t cosines[][2] = {{0, 90},         {270, 0},         {-90, 0},  {-180, 270},        {90, 180},
                                  {-91, 359},      {INT32_MAX, 217}, {INT32_MIN, 322}, {INT32_MAX - 89, 128}};
    for (const auto& [angle, entry] : cosines) EXPECT_EQ(CosDeg(angle), SineTable[entry]) << angle;
}

}  // namespace
