// The whole-degree sine table, for as long as the shell does not provide it.
#include "shell/sinetable.h"

#include <cmath>

double SineTable[360];

void BuildSineTable() {
    for (int i = 0; i < 360; ++i) {
        SineTable[i] = std::sin(i / 360.0 * 6.2831852);
    }
}

double SinDeg(int32_t angle) {
    const int32_t r = angle >= 0 ? angle % 360 : (360 - static_cast<int32_t>(-static_cast<int64_t>(angle) % 360)) % 360;
    return SineTable[r];
}

double CosDeg(int32_t angle) { return SinDeg(static_cast<int32_t>(static_cast<int64_t>(angle) + 90)); }
