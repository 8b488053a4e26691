// The pixels of a device-independent bitmap section, in the two layouts that
// every loaded bitmap is brought to.
#ifndef PLATFORM_API_GDI_DIB_H
#define PLATFORM_API_GDI_DIB_H

#include <windows.h>

#include <cstdint>
#include <vector>

namespace platform {

// Bitmaps of up to 8 bits per pixel keep one byte per pixel (an index into
// their colour table); deeper ones keep four bytes per pixel, blue, green, red
// and 0. Rows are stored top row first, each padded to a multiple of 4 bytes.
struct DibImage {
    LONG width = 0;
    LONG height = 0;
    WORD bitCount = 0;              // 8 or 32
    std::vector<RGBQUAD> colours;   // 8 bits: the file's colour table, at most 256 entries
    std::vector<BYTE> bits;         // height rows of Stride() bytes

    LONG Stride() const;
    // The colour of a pixel inside the image; an index past the end of the
    // colour table shows black.
    COLORREF ColourAt(LONG x, LONG y) const;
};

// An image of that size and layout, every pixel 0.
DibImage BlankImage(LONG width, LONG height, WORD bitCount);

// Nearest-neighbour sampling, shared by scaled loading and StretchBlt: of
// `from` source pixels stretched over `to` destination pixels, destination
// pixel i shows the source pixel under its centre, floor((i + 0.5) * from / to).
int64_t SourcePixel(int64_t i, int64_t from, int64_t to);

// The image stretched or shrunk to width x height.
DibImage ScaleImage(const DibImage& image, LONG width, LONG height);

}  // namespace platform

#endif
