// How the graphics device interface turns colours into the pixel values of a
// surface and back.
#ifndef PLATFORM_API_GDI_COLOUR_H
#define PLATFORM_API_GDI_COLOUR_H

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

namespace platform {

// The entry of a 256-entry palette nearest to the colour: least squared
// distance in red, green and blue, the lowest index among equals.
BYTE NearestEntry(const PALETTEENTRY* palette, COLORREF colour);

// NearestEntry for many colours against one palette, with the same answers.
// The colour cube is cut into 16 x 16 x 16 cells; the first colour to fall
// into a cell lists the entries that can be nearest to anything in it, so
// later colours there compare with those few instead of all 256.
class NearestEntries {
public:
    explicit NearestEntries(const PALETTEENTRY* palette) : palette_(palette) {}
    BYTE Find(COLORREF colour);

private:
    static constexpr unsigned kCells = 16 * 16 * 16;

    void ListCandidates(unsigned cell);

    const PALETTEENTRY* palette_;
    std::array<uint32_t, kCells> first_{};  // where a cell's entries start in candidates_
    std::array<uint16_t, kCells> count_{};  // 0: not listed yet
    std::vector<BYTE> candidates_;
};

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
