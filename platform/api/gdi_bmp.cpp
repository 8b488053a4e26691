#include "gdi_bmp.h"

#include <algorithm>
#include <array>
#include <bit>

#include "gdi_colour.h"

namespace platform {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kV4HeaderSize = 108;
constexpr size_t kV5HeaderSize = 124;

uint32_t U16(const BYTE* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// One colour channel of a direct-colour pixel, widened to 8 bits through a
// table made once a bitmap, so that a pixel costs no division and no branch.
// Fields wider than 8 bits keep their top 8.
struct Field {
    unsigned shift = 0;
    uint32_t mask = 0;
    std::array<BYTE, 256> widened{};

    Field() = default;
    Field(unsigned lowest, unsigned bits) {
        const unsigned kept = std::min(bits, 8u);
        shift = lowest + bits - kept;
        mask = (uint32_t{1} << kept) - 1;
        for (uint32_t value = 1; value <= mask; ++value) widened[value] = WidenField(value, kept);
    }

    BYTE From(uint32_t pixel) const { return widened[(pixel >> shift) & mask]; }
};

std::optional<Field> FieldOf(uint32_t mask) {
    if (mask == 0) return Field{};
    const unsigned shift = std::countr_zero(mask);
    const uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0) return std::nullopt;  // gaps in the mask
    return Field{shift, static_cast<unsigned>(std::popcount(run))};
}

// What the header says, checked for sense.
struct Layout {
    int64_t width = 0;
    int64_t height = 0;  // rows, always positive
    bool topDown = false;
    unsigned bitCount = 0;
    uint32_t compression = BI_RGB;
    Field red, green, blue;
    size_t tableOffset = 0;  // from the start of the header
    size_t entrySize = 4;    // bytes per colour-table entry
    int64_t colours = 0;     // colour-table entries the header announces
};

bool ReadMasks(const BYTE* masks, Layout& layout) {
    const auto red = FieldOf(U32(masks)), green = FieldOf(U32(masks + 4)), blue = FieldOf(U32(masks + 8));
    if (!red || !green || !blue) return false;
    layout.red = *red;
    layout.green = *green;
    layout.blue = *blue;
    return true;
}

void DefaultMasks(Layout& layout) {
    if (layout.bitCount == 16) {
        layout.red = Field(10, 5);
        layout.green = Field(5, 5);
        layout.blue = Field(0, 5);
    } else if (layout.bitCount == 32) {
        layout.red = Field(16, 8);
        layout.green = Field(8, 8);
        layout.blue = Field(0, 8);
    }
}

bool KnownFormat(const Layout& layout) {
    switch (layout.compression) {
    case BI_RGB:
        return layout.bitCount == 1 || layout.bitCount == 4 || layout.bitCount == 8 || layout.bitCount == 16 ||
               layout.bitCount == 24 || layout.bitCount == 32;
    case BI_RLE8:
        return layout.bitCount == 8 && !layout.topDown;
    case BI_RLE4:
        return layout.bitCount == 4 && !layout.topDown;
    case BI_BITFIELDS:
        return layout.bitCount == 16 || layout.bitCount == 32;
    default:
        return false;
    }
}

std::optional<Layout> ReadHeader(const BYTE* dib, size_t size) {
    if (size < 4) return std::nullopt;
    const size_t headerSize = U32(dib);
    Layout layout;
    uint32_t planes = 0;
    if (headerSize == kCoreHeaderSize && size >= headerSize) {
        layout.width = U16(dib + 4);
        layout.height = U16(dib + 6);
        planes = U16(dib + 8);
        layout.bitCount = U16(dib + 10);
        layout.entrySize = 3;
        layout.colours = layout.bitCount <= 8 ? int64_t{1} << layout.bitCount : 0;
    } else if ((headerSize == kInfoHeaderSize || headerSize == kV4HeaderSize || headerSize == kV5HeaderSize) &&
               size >= headerSize) {
        layout.width = static_cast<int32_t>(U32(dib + 4));
        const int64_t height = static_cast<int32_t>(U32(dib + 8));
        layout.topDown = height < 0;
        layout.height = height < 0 ? -height : height;
        planes = U16(dib + 12);
        layout.bitCount = U16(dib + 14);
        layout.compression = U32(dib + 16);
        const int64_t used = U32(dib + 32);
        layout.colours = layout.bitCount <= 8 && used == 0 ? int64_t{1} << layout.bitCount : used;
    } else {
        return std::nullopt;
    }
    layout.tableOffset = headerSize;

    if (planes != 1 || !KnownFormat(layout)) return std::nullopt;
    if (layout.width < 1 || layout.height < 1 || layout.width > kMaxBitmapSide || layout.height > kMaxBitmapSide ||
        layout.width * layout.height > kMaxBitmapPixels)
        return std::nullopt;
    if (layout.bitCount <= 8 && layout.colours > 256) return std::nullopt;

    if (layout.compression != BI_BITFIELDS) {
        DefaultMasks(layout);
        return layout;
    }
    // Masks follow a 40-byte header; the longer headers carry them inside.
    const BYTE* masks = dib + kInfoHeaderSize;
    if (headerSize == kInfoHeaderSize) {
        if (size < kInfoHeaderSize + 12) return std::nullopt;
        layout.tableOffset += 12;
    }
    return ReadMasks(masks, layout) ? std::optional(layout) : std::nullopt;
}

void ReadColourTable(const BYTE* table, size_t entries, size_t entrySize, DibImage& image) {
    image.colours.resize(entries);
    for (size_t i = 0; i < entries; ++i) {
        const BYTE* entry = table + i * entrySize;
        image.colours[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
    }
}

// Pixel k of a row of 4-bit pixels, the high nibble first.
BYTE Nibble(const BYTE* row, int64_t k) { return (k & 1) ? row[k >> 1] & 0x0F : row[k >> 1] >> 4; }

int64_t FileStride(const Layout& layout) { return (layout.width * layout.bitCount + 31) / 32 * 4; }

// Uncompressed rows must all be there; the last may lack its padding.
bool PixelsFit(const Layout& layout, size_t available) {
    const int64_t lastRow = (layout.width * layout.bitCount + 7) / 8;
    return static_cast<uint64_t>(FileStride(layout) * (layout.height - 1) + lastRow) <= available;
}

// One row of the file into one row of the image; the depth is looked at once
// a row, not once a pixel.
void DecodeRow(const BYTE* from, const Layout& layout, BYTE* to) {
    const int64_t width = layout.width;
    switch (layout.bitCount) {
    case 32:
    case 16: {
        const bool wide = layout.bitCount == 32;
        const Field &red = layout.red, &green = layout.green, &blue = layout.blue;
        for (int64_t x = 0; x < width; ++x, from += wide ? 4 : 2, to += 4) {
            const uint32_t pixel = wide ? U32(from) : U16(from);
            to[0] = blue.From(pixel);
            to[1] = green.From(pixel);
            to[2] = red.From(pixel);
            to[3] = 0;
        }
        break;
    }
    case 24:
        for (int64_t x = 0; x < width; ++x, from += 3, to += 4) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = 0;
        }
        break;
    case 8:
        std::copy(from, from + width, to);
        break;
    case 4:
        for (int64_t x = 0; x < width; ++x) to[x] = Nibble(from, x);
        break;
    default:  // 1 bit, the highest first
        for (int64_t x = 0; x < width; ++x) to[x] = (from[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

void DecodeUncompressed(const BYTE* pixels, const Layout& layout, DibImage& image) {
    const int64_t stride = FileStride(layout);
    for (int64_t r = 0; r < layout.height; ++r)
        DecodeRow(pixels + r * stride, layout,
                  image.bits.data() + (layout.topDown ? r : layout.height - 1 - r) * image.Stride());
}

// Run-length encoded rows, bottom row first. Pixels that the stream skips
// keep index 0. A run or a jump past the edge of the image, or a stream that
// ends before its end-of-bitmap code, makes the file unreadable.
bool DecodeRunLength(const BYTE* stream, size_t size, const Layout& layout, DibImage& image) {
    const bool fourBit = layout.bitCount == 4;
    const int64_t stride = image.Stride();
    int64_t x = 0, y = 0;
    // `count` pixels from (x, y) on, the k-th being index(k); none when they
    // would run past the edge.
    auto put = [&](unsigned count, auto index) {
        if (y >= layout.height || x + count > layout.width) return false;
        BYTE* row = image.bits.data() + (layout.height - 1 - y) * stride + x;
        for (unsigned k = 0; k < count; ++k) row[k] = index(k);
        x += count;
        return true;
    };
    size_t at = 0;
    while (at + 2 <= size) {
        const unsigned count = stream[at], value = stream[at + 1];
        at += 2;
        if (count > 0) {
            if (!put(count, [&](unsigned k) -> BYTE { return !fourBit ? value : (k & 1) ? value & 0x0F : value >> 4; }))
                return false;
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // jump right and up
            if (at + 2 > size) return false;
            x += stream[at];
            y += stream[at + 1];
            at += 2;
            if (x > layout.width || y >= layout.height) return false;
        } else {  // `value` literal pixels, padded to a whole number of 16-bit words
            const size_t bytes = fourBit ? (value + 1) / 2 : value;
            if (at + bytes > size) return false;
            if (!put(value, [&](unsigned k) { return !fourBit ? stream[at + k] : Nibble(stream + at, k); })) return false;
            at += (bytes + 1) & ~size_t{1};
        }
    }
    return false;
}

std::optional<DibImage> Decode(const Layout& layout, const BYTE* dib, size_t size, size_t tableEntries,
                               size_t pixelOffset) {
    const bool runLength = layout.compression == BI_RLE8 || layout.compression == BI_RLE4;
    if (!runLength && !PixelsFit(layout, size - pixelOffset)) return std::nullopt;
    DibImage image = BlankImage(static_cast<LONG>(layout.width), static_cast<LONG>(layout.height),
                                layout.bitCount <= 8 ? 8 : 32);
    if (layout.bitCount <= 8)
        ReadColourTable(dib + layout.tableOffset,
                        std::min<size_t>(tableEntries, size_t{1} << layout.bitCount), layout.entrySize, image);
    if (!runLength) {
        DecodeUncompressed(dib + pixelOffset, layout, image);
    } else if (!DecodeRunLength(dib + pixelOffset, size - pixelOffset, layout, image)) {
        return std::nullopt;
    }
    return image;
}

}  // namespace

std::optional<DibImage> DecodeBitmapFile(const BYTE* data, size_t size) {
    if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') return std::nullopt;
    const BYTE* dib = data + kFileHeaderSize;
    const size_t dibSize = size - kFileHeaderSize;
    const auto layout = ReadHeader(dib, dibSize);
    if (!layout) return std::nullopt;
    // The pixels lie where the file header says; the colour table is what
    // fits between the header and them, up to what the header announces.
    const uint32_t offBits = U32(data + 10);
    if (offBits < kFileHeaderSize + layout->tableOffset || offBits > size) return std::nullopt;
    const size_t pixelOffset = offBits - kFileHeaderSize;
    const size_t fitting = (pixelOffset - layout->tableOffset) / layout->entrySize;
    return Decode(*layout, dib, dibSize, std::min<size_t>(fitting, layout->colours), pixelOffset);
}

std::optional<DibImage> DecodePackedBitmap(const BYTE* data, size_t size) {
    const auto layout = ReadHeader(data, size);
    if (!layout) return std::nullopt;
    const uint64_t pixelOffset = layout->tableOffset + static_cast<uint64_t>(layout->colours) * layout->entrySize;
    if (pixelOffset > size) return std::nullopt;
    return Decode(*layout, data, size, layout->colours, pixelOffset);
}

}  // namespace platform
