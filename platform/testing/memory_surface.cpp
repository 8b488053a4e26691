#include "memory_surface.h"

#include "../api/surface.h"

namespace platform {

LPDIRECTDRAWSURFACE4 CreateMemorySurface(DWORD width, DWORD height, DWORD bitCount, LONG pitch, BYTE* memory) {
    return new Surface(width, height, bitCount, pitch, memory);
}

}  // namespace platform
