#include "shell/sinetable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

class SineTableTest : public ::testing::Test {
protected:
    void SetUp() override { BuildSineTable(); }
};

// The table keeps the values of its slightly short full turn, not the exact
// sines of whole degrees.
TEST_F(SineTableTest, EntriesCarryTheShortTurn) {
    EXPECT_EQ(SineTable[0], 0.0);
    EXPECT_EQ(SineTable[1], 0.017452406139607784);
    EXPECT_EQ(SineTable[90], 0.9999999999999997);
    EXPECT_EQ(SineTable[270], -0.9999999999999968);
    EXPECT_NE(SineTable[180], 0.0);
    EXPECT_NEAR(SineTable[180], 5.3589793e-8, 5e-16);
}

TEST_F(SineTableTest, EntriesFollowTheSineCurve) {
    for (int i = 1; i < 180; ++i) {
        EXPECT_GT(SineTable[i], 0.0) << i;
        EXPECT_LT(SineTable[180 + i], 0.0) << i;
        // Mirror entries differ only by the shortfall of the turn.
        EXPECT_NEAR(SineTable[i], SineTable[180 - i], 1e-6) << i;
        EXPECT_NEAR(SineTable[i], -SineTable[180 + i], 1e-6) << i;
    }
    EXPECT_NEAR(SineTable[30], 0.5, 1e-6);
}

TEST_F(SineTableTest, SinDegReducesAnyAngleIntoOneTurn) {
    EXPECT_EQ(SinDeg(0), SineTable[0]);
    EXPECT_EQ(SinDeg(360), SineTable[0]);
    EXPECT_EQ(SinDeg(-360), SineTable[0]);
    EXPECT_EQ(SinDeg(-720), SineTable[0]);
    EXPECT_EQ(SinDeg(-90), SineTable[270]);
    EXPECT_EQ(SinDeg(450), SineTable[90]);
    EXPECT_EQ(SinDeg(-1), SineTable[359]);
    EXPECT_EQ(SinDeg(-359), SineTable[1]);
    EXPECT_EQ(SinDeg(359), SineTable[359]);
    EXPECT_EQ(SinDeg(-361), SineTable[359]);
}

TEST_F(SineTableTest, CosDegIsTheSineAQuarterTurnOn) {
    EXPECT_EQ(CosDeg(0), SineTable[90]);
    EXPECT_EQ(CosDeg(270), SineTable[0]);
    EXPECT_EQ(CosDeg(-90), SineTable[0]);
    EXPECT_EQ(CosDeg(-180), SineTable[270]);
    EXPECT_EQ(CosDeg(90), SineTable[180]);
    EXPECT_EQ(CosDeg(-91), SineTable[359]);
}

// 2147483647 = 5965232 * 360 + 127 and -2147483648 = -5965232 * 360 - 128.
TEST_F(SineTableTest, ExtremeAnglesReduceWithoutOverflow) {
    const int32_t most = std::numeric_limits<int32_t>::max();
    const int32_t least = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(SinDeg(most), SineTable[127]);
    EXPECT_EQ(SinDeg(least), SineTable[232]);
    EXPECT_EQ(CosDeg(most), SineTable[217]);
    EXPECT_EQ(CosDeg(least), SineTable[322]);
    // Near the top a quarter turn on still lands a quarter turn on.
    EXPECT_EQ(CosDeg(most - 89), SineTable[128]);
    EXPECT_EQ(CosDeg(most - 90), SineTable[127]);
}

}  // namespace
