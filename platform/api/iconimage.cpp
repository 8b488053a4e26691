#include "iconimage.h"

#include "bytes.h"

#include <utility>

namespace platform {

namespace {

constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr int MAX_SIDE = 256;
constexpr uint32_t NO_COMPRESSION = 0;

}  // namespace

bool DecodeIconImage(const uint8_t* data, size_t size, std::vector<uint32_t>* rgba, int* width, int* height) {
    if (!data || size < INFO_HEADER_SIZE) return false;
    uint32_t headerSize = LoadLE32(data);
    int32_t w = static_cast<int32_t>(LoadLE32(data + 4));
    int32_t doubledHeight = static_cast<int32_t>(LoadLE32(data + 8));
    uint16_t bitCount = LoadLE16(data + 14);
    uint32_t compression = LoadLE32(data + 16);
    if (headerSize < INFO_HEADER_SIZE || headerSize > size) return false;
    if (w < 1 || w > MAX_SIDE || doubledHeight < 2 || doubledHeight > 2 * MAX_SIDE || doubledHeight % 2 != 0)
        return false;
    if (bitCount != 32 || compression != NO_COMPRESSION) return false;

    // Sides of at most 256 keep every size below far from overflow.
    int h = doubledHeight / 2;
    size_t colourStride = static_cast<size_t>(w) * 4;
    size_t maskStride = static_cast<size_t>((w + 31) / 32) * 4;
    size_t colourSize = colourStride * h;
    if (size - headerSize < colourSize + maskStride * h) return false;
    const uint8_t* colours = data + headerSize;
    const uint8_t* mask = colours + colourSize;

    // Images made before alpha channels leave it zero and say what shows
    // through the mask alone.
    bool hasAlpha = false;
    for (size_t i = 3; i < colourSize; i += 4) hasAlpha = hasAlpha || colours[i] != 0;

    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = colours + colourStride * (h - 1 - y);
        const uint8_t* maskRow = mask + maskStride * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const uint8_t* bgra = row + 4 * x;
            uint32_t alpha = bgra[3];
            if (!hasAlpha) alpha = (maskRow[x / 8] >> (7 - x % 8) & 1) ? 0 : 255;
            pixels[static_cast<size_t>(y) * w + x] = static_cast<uint32_t>(bgra[2]) |
                                                     static_cast<uint32_t>(bgra[1]) << 8 |
                                                     static_cast<uint32_t>(bgra[0]) << 16 | alpha << 24;
        }
    }
    *rgba = std::move(pixels);
    *width = w;
    *height = h;
    return true;
}

}  // namespace platform
