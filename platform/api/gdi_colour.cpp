#include "gdi_colour.h"

#include <algorithm>
#include <climits>

namespace platform {
namespace {

constexpr int kCellSide = 16;

int Square(int value) { return value * value; }

// Per channel, the least and the greatest distance from an entry's value to
// the values lo..lo + kCellSide - 1 of a cell.
int NearestInCell(int value, int lo) {
    const int hi = lo + kCellSide - 1;
    return value < lo ? lo - value : value > hi ? value - hi : 0;
}

int FarthestInCell(int value, int lo) { return std::max(value - lo, lo + kCellSide - 1 - value); }

}  // namespace

BYTE WidenField(DWORD value, unsigned bits) {
    return static_cast<BYTE>(value * 255 / ((DWORD{1} << bits) - 1));
}

BYTE NearestEntry(const PALETTEENTRY* palette, COLORREF colour) {
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    unsigned best = 0;
    int bestDistance = 3 * 256 * 256;
    for (unsigned i = 0; i < 256; ++i) {
        const int dr = palette[i].peRed - r, dg = palette[i].peGreen - g, db = palette[i].peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

// An entry can be the nearest to a colour of the cell only if its least
// distance to the cell is no more than some entry's greatest distance to the
// cell. Ties stay in and the list keeps index order, so the lowest index still
// wins among equals.
void NearestEntries::ListCandidates(unsigned cell) {
    const int r = static_cast<int>(cell >> 8) * kCellSide, g = static_cast<int>((cell >> 4) & 15) * kCellSide,
              b = static_cast<int>(cell & 15) * kCellSide;
    int bound = INT_MAX;
    for (unsigned i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = palette_[i];
        bound = std::min(bound, Square(FarthestInCell(e.peRed, r)) + Square(FarthestInCell(e.peGreen, g)) +
                                    Square(FarthestInCell(e.peBlue, b)));
    }
    first_[cell] = static_cast<uint32_t>(candidates_.size());
    for (unsigned i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = palette_[i];
        if (Square(NearestInCell(e.peRed, r)) + Square(NearestInCell(e.peGreen, g)) +
                Square(NearestInCell(e.peBlue, b)) <= bound)
            candidates_.push_back(static_cast<BYTE>(i));
    }
    count_[cell] = static_cast<uint16_t>(candidates_.size() - first_[cell]);
}

BYTE NearestEntries::Find(COLORREF colour) {
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    const unsigned cell = (r / kCellSide) << 8 | (g / kCellSide) << 4 | b / kCellSide;
    if (count_[cell] == 0) ListCandidates(cell);
    const BYTE* candidate = candidates_.data() + first_[cell];
    BYTE best = candidate[0];
    int bestDistance = INT_MAX;
    for (unsigned k = 0; k < count_[cell]; ++k) {
        const PALETTEENTRY& e = palette_[candidate[k]];
        const int distance = Square(e.peRed - r) + Square(e.peGreen - g) + Square(e.peBlue - b);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate[k];
        }
    }
    return best;
}

COLORREF EntryColour(const PALETTEENTRY& entry) { return RGB(entry.peRed, entry.peGreen, entry.peBlue); }

DWORD PackColour(DWORD bitCount, COLORREF colour) {
    const DWORD r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    if (bitCount == 16) return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    return (r << 16) | (g << 8) | b;
}

COLORREF UnpackColour(DWORD bitCount, DWORD pixel) {
    if (bitCount == 16)
        return RGB(WidenField((pixel >> 11) & 0x1F, 5), WidenField((pixel >> 5) & 0x3F, 6),
                   WidenField(pixel & 0x1F, 5));
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

DWORD ReadPixel(const BYTE* at, DWORD bytesPerPixel) {
    DWORD pixel = 0;
    for (DWORD i = 0; i < bytesPerPixel; ++i) pixel |= static_cast<DWORD>(at[i]) << (8 * i);
    return pixel;
}

void WritePixel(BYTE* at, DWORD bytesPerPixel, DWORD pixel) {
    for (DWORD i = 0; i < bytesPerPixel; ++i) at[i] = static_cast<BYTE>(pixel >> (8 * i));
}

}  // namespace platform
