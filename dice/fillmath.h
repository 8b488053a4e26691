// Number helpers that both textured fills share.
#ifndef DICE_FILLMATH_H
#define DICE_FILLMATH_H

#include <cmath>
#include <cstdint>

// The nearest whole pixel or texel, halves to the even neighbour. Done by hand
// rather than by the floating-point unit so that the result does not depend on
// whatever rounding mode the caller has set: the conversion to an integer
// always truncates, and the remainder it leaves is exact. Values beyond the
// 32-bit range saturate and a value that is not a number gives 0, so every
// input has a defined result.
inline int32_t RoundHalfEven(double value)
{
    if (std::isnan(value)) return 0;
    if (!(value > -2147483648.0)) return INT32_MIN;
    if (!(value < 2147483647.0)) return INT32_MAX;
    const int32_t whole = static_cast<int32_t>(value);
    const double rest = value - static_cast<double>(whole);
    if (rest > 0.5 || (rest == 0.5 && (whole & 1))) return whole + 1;
    if (rest < -0.5 || (rest == -0.5 && (whole & 1))) return whole - 1;
    return whole;
}

// A triangle parameter or span fraction kept within 0 to 1. A quotient that is
// not a number (a vanishing denominator) counts as the far end.
inline double LimitToUnit(double value)
{
    if (!(value < 1.0)) return 1.0;
    if (value < 0.0) return 0.0;
    return value;
}

#endif
