// Reading Windows bitmaps: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed,
// with bit-field masks or run-length encoded (4 and 8 bits), either row order,
// with the 12-byte core header or the 40-, 108- and 124-byte info headers.
// Anything else, and any file that is cut short or whose numbers do not fit
// together, gives no image; nothing is read outside the bytes given.
#ifndef PLATFORM_API_GDI_BMP_H
#define PLATFORM_API_GDI_BMP_H

#include <cstddef>
#include <optional>

#include "gdi_dib.h"

namespace platform {

// Bounds on what a bitmap may claim, so that a damaged header cannot make us
// allocate absurd amounts: 16384 pixels a side and 16 million pixels in all.
inline constexpr int64_t kMaxBitmapSide = 16384;
inline constexpr int64_t kMaxBitmapPixels = int64_t{1} << 24;

// A .bmp file: BITMAPFILEHEADER, header, colour table, pixels at bfOffBits.
std::optional<DibImage> DecodeBitmapFile(const BYTE* data, size_t size);

// A bitmap resource: header, colour table and pixels straight after it.
std::optional<DibImage> DecodePackedBitmap(const BYTE* data, size_t size);

}  // namespace platform

#endif
