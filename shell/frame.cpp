#include "frame.h"

#include <cstring>

#include "display.h"
#include "program.h"

LONGLONG CounterFrequency = 0;
LONGLONG LastCounter = 0;
LONGLONG TickRemainder = 0;

void ResetFrameClock()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    LastCounter = now.QuadPart;
    TickRemainder = 0;
}

// Whole ticks since the last frame; the scaled counts that do not make a whole
// tick are carried into the next frame, so over many frames nothing is lost.
// The counter difference is taken in full (a 10 MHz counter passes 2^31 counts
// in 214 s), and the result is clamped to what the scene can take. A counter
// that stands still or has no frequency lets no time pass.
int32_t AdvanceFrameClock(LONGLONG now)
{
    LONGLONG elapsed = static_cast<LONGLONG>(static_cast<ULONGLONG>(now) - static_cast<ULONGLONG>(LastCounter));
    LastCounter = now;
    if (CounterFrequency <= 0) {
        TickRemainder = 0;
        return 0;
    }
    if (elapsed < 0) elapsed = 0;
    // Whole seconds and the rest apart, so that no product leaves 64 bits
    // whatever the interval and the frequency.
    const uint64_t frequency = static_cast<uint64_t>(CounterFrequency);
    const uint64_t counts = static_cast<uint64_t>(elapsed);
    const uint64_t seconds = counts / frequency;
    if (seconds > INT32_MAX / TICKS_PER_SECOND) {
        TickRemainder = 0;
        return INT32_MAX;
    }
    const uint64_t scaledRest = (counts % frequency) * TICKS_PER_SECOND + static_cast<uint64_t>(TickRemainder);
    const uint64_t ticks = seconds * TICKS_PER_SECOND + scaledRest / frequency;
    TickRemainder = static_cast<LONGLONG>(scaledRest % frequency);
    return ticks > INT32_MAX ? INT32_MAX : static_cast<int32_t>(ticks);
}

static HRESULT ClearBackBuffer()
{
    DDBLTFX fill;
    std::memset(&fill, 0, sizeof fill);
    fill.dwSize = sizeof fill;
    fill.dwFillColor = BackgroundPixel;
    return BackSurface->Blt(NULL, NULL, NULL, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

// A frame whose clear fails ends without drawing; its ticks are dropped, and
// after a restoration the clock has been reset as well. A restored back buffer
// holds whatever the display left in it, so it is cleared again before the
// scene is drawn over it.
void RenderFrame()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const int32_t ticks = AdvanceFrameClock(now.QuadPart);

    HRESULT cleared = ClearBackBuffer();
    if (cleared == DDERR_SURFACELOST) {
        if (!RestoreSurfaces()) return;
        cleared = ClearBackBuffer();
    }
    if (cleared != DD_OK) return;

    SceneRoutine(BackSurface, ticks);

    if (PrimarySurface->Flip(NULL, DDFLIP_WAIT) == DDERR_SURFACELOST) RestoreSurfaces();
}
