#include "gdi_dib.h"

#include <cstring>

namespace platform {

LONG DibImage::Stride() const {
    const LONG bytes = bitCount == 8 ? width : width * 4;
    return (bytes + 3) & ~3;
}

COLORREF DibImage::ColourAt(LONG x, LONG y) const {
    const BYTE* pixel = bits.data() + static_cast<size_t>(y) * Stride();
    if (bitCount == 8) {
        const BYTE index = pixel[x];
        if (index >= colours.size()) return RGB(0, 0, 0);
        return RGB(colours[index].rgbRed, colours[index].rgbGreen, colours[index].rgbBlue);
    }
    pixel += static_cast<size_t>(x) * 4;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

DibImage BlankImage(LONG width, LONG height, WORD bitCount) {
    DibImage image;
    image.width = width;
    image.height = height;
    image.bitCount = bitCount;
    image.bits.assign(static_cast<size_t>(image.Stride()) * height, 0);
    return image;
}

int64_t SourcePixel(int64_t i, int64_t from, int64_t to) { return (2 * i + 1) * from / (2 * to); }

DibImage ScaleImage(const DibImage& image, LONG width, LONG height) {
    DibImage scaled = BlankImage(width, height, image.bitCount);
    scaled.colours = image.colours;
    const size_t pixelBytes = image.bitCount / 8;
    for (LONG y = 0; y < height; ++y) {
        const BYTE* from = image.bits.data() + SourcePixel(y, image.height, height) * image.Stride();
        BYTE* to = scaled.bits.data() + static_cast<size_t>(y) * scaled.Stride();
        for (LONG x = 0; x < width; ++x)
            std::memcpy(to + x * pixelBytes, from + SourcePixel(x, image.width, width) * pixelBytes, pixelBytes);
    }
    return scaled;
}

}  // namespace platform
