#include "gdi_colour.h"

namespace platform {

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
