// Sine and cosine of whole degrees, looked up in a table filled once at set-up.
#ifndef SHELL_SINETABLE_H
#define SHELL_SINETABLE_H

#include <cstdint>

extern double SineTable[360];

void BuildSineTable();
double SinDeg(int32_t angle);
double CosDeg(int32_t angle);

#endif
