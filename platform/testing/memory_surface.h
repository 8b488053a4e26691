// Surfaces for tests: any size, bit count and pitch, optionally over memory that
// the test owns (so that it can surround the surface with guard bytes).
#ifndef PLATFORM_TESTING_MEMORY_SURFACE_H
#define PLATFORM_TESTING_MEMORY_SURFACE_H

#include <ddraw.h>

namespace platform {

LPDIRECTDRAWSURFACE4 CreateMemorySurface(DWORD width, DWORD height, DWORD bitCount, LONG pitch,
                                         BYTE* memory = nullptr);

}  // namespace platform

#endif
