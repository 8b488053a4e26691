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
// The colour cube is cut into eighths, and those again, where colours keep
// arriving; each part lists only the entries that can be nearest to some
// colour inside it, so that a colour is compared with a few entries instead
// of all 256. Colours already matched are remembered.
class NearestEntries {
public:
    explicit NearestEntries(const PALETTEENTRY* palette);
    BYTE Find(COLORREF colour);

private:
    struct Part {
        uint32_t first;    // its entries' place in entries_
        uint32_t count;    // kUnlisted until a colour arrives in it
        int32_t children;  // the first of its eight in parts_, or -1 until cut
        uint32_t visits;   // colours searched for in it
    };
    static constexpr uint32_t kUnlisted = UINT32_MAX;
    static constexpr unsigned kRemembered = 4096;

    void List(size_t part, const Part& parent, const int low[3], int side);
    BYTE Search(COLORREF colour);

    const PALETTEENTRY* palette_;
    std::vector<Part> parts_;
    std::vector<BYTE> entries_;
    std::array<COLORREF, kRemembered> colours_;
    std::array<BYTE, kRemembered> found_;
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
