// How the graphics device interface turns colours into the pixel values of a
// surface and back.
#ifndef PLATFORM_API_GDI_COLOUR_H
#define PLATFORM_API_GDI_COLOUR_H

#include <windows.h>

namespace platform {

// The entry of a 256-entry palette nearest to the colour: least squared
// distance in red, green and blue, the lowest index among equals.
BYTE NearestEntry(const PALETTEENTRY* palette, COLORREF colour);

COLORREF EntryColour(const PALETTEENTRY& entry);

// A colour field of 1 to 8 bits scaled to 0..255, rounding down.
BYTE WidenField(DWORD value, unsigned bits);

// Direct-colour pixels of 16 (5-6-5), 24 and 32 bits (8-8-8 with blue lowest).
DWORD PackColour(DWORD bitCount, COLORREF colour);
COLORREF UnpackColour(DWORD bitCount, DWORD pixel);

// A pixel of bitCount / 8 bytes, little-endian.
DWORD ReadPixel(const BYTE* at, DWORD bytesPerPixel);
void WritePixel(BYTE* at, DWORD bytesPerPixel, DWORD pixel);

}  // namespace platform

#endif
