#include "sinetable.h"

#include <cmath>

double SineTable[360];

// The full turn is taken as this constant, slightly short of two pi; the
// table keeps exactly the values it gives.
static const double FULL_TURN = 6.2831852;

void BuildSineTable()
{
    for (int i = 0; i < 360; ++i) {
        SineTable[i] = std::sin(i / 360.0 * FULL_TURN);
    }
}

// Reduced in 64 bits so that every 32-bit angle, and a 32-bit angle shifted by
// a quarter turn, reduces without overflow.
static double LookUpSine(int64_t angle)
{
    int64_t r;
    if (angle >= 0) {
        r = angle % 360;
    } else {
        r = (360 - (-angle) % 360) % 360;
    }
    return SineTable[r];
}

double SinDeg(int32_t angle) { return LookUpSine(angle); }

double CosDeg(int32_t angle) { return LookUpSine(static_cast<int64_t>(angle) + 90); }
