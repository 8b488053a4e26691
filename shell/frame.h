// The frame clock and the per-frame clear, scene call and flip.
#ifndef SHELL_FRAME_H
#define SHELL_FRAME_H

#include <windows.h>

#include <cstdint>

// The unit of frame time is 1/15360 second.
constexpr int64_t TICKS_PER_SECOND = 15360;

extern LONGLONG CounterFrequency;
extern LONGLONG LastCounter;
extern LONGLONG TickRemainder;

void ResetFrameClock();
int32_t AdvanceFrameClock(LONGLONG now);
void RenderFrame();

#endif
