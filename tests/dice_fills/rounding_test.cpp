#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <limits>

#include "dice/fillmath.h"
#include "fill_fixture.h"

namespace dice_fills_test {
namespace {

struct Case {
    double value;
    int32_t expected;
};

TEST(RoundHalfEvenTest, RoundsToNearestWithHalvesToEvenInEveryRoundingMode)
{
    const Case cases[] = {
        {0.5, 0},          {1.5, 2},          {2.5, 2},      {12.5, 12},     {13.5, 14},   {98.5, 98},
        {99.5, 100},       {-0.5, 0},         {-1.5, -2},    {-2.5, -2},     {0.49999999999999994, 0},
        {2.4999999999999996, 2}, {2.5000000000000004, 3}, {-2.5000000000000004, -3}, {7.0, 7}, {-7.25, -7},
        {100.35, 100},     {100.65, 101},     {-0.0, 0},     {4503599627370495.5, INT32_MAX},
    };
    for (int mode : kRoundingModes) {
        RoundingMode rounding(mode);
        for (const Case& c : cases) {
            // Read through a volatile so that nothing is worked out while compiling.
            volatile double value = c.value;
            EXPECT_EQ(c.expected, RoundHalfEven(value)) << "mode " << mode << ", value " << c.value;
        }
        EXPECT_EQ(mode, std::fegetround());
    }
}

TEST(RoundHalfEvenTest, EveryInputHasAResult)
{
    const Case cases[] = {
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), INT32_MAX},
        {-std::numeric_limits<double>::infinity(), INT32_MIN},
        {1e300, INT32_MAX},
        {-1e300, INT32_MIN},
        {2147483647.0, INT32_MAX},
        {2147483646.5, 2147483646},
        {2147483646.6, 2147483647},
        {-2147483648.0, INT32_MIN},
        {-2147483647.5, INT32_MIN},
        {-2147483647.4, -2147483647},
    };
    for (const Case& c : cases) {
        volatile double value = c.value;
        EXPECT_EQ(c.expected, RoundHalfEven(value)) << "value " << c.value;
    }
}

TEST(LimitToUnitTest, KeepsParametersWithinZeroToOneAndTakesNotANumberAsOne)
{
    EXPECT_EQ(0.25, LimitToUnit(0.25));
    EXPECT_EQ(0.0, LimitToUnit(-0.25));
    EXPECT_EQ(1.0, LimitToUnit(1.25));
    EXPECT_EQ(1.0, LimitToUnit(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(0.0, LimitToUnit(-std::numeric_limits<double>::infinity()));
}

}  // namespace
}  // namespace dice_fills_test
