// The bitmap reader on input cut short anywhere or with numbers that do not fit together: it may not step outside
// its data, allocate beyond the limits, or return a picture it did not read in full (random bytes: the fuzzer's).
#include <api/gdi_bmp.h>

#include <cstdint>

#include "fresh_platform.h"

namespace {
using Decoder = std::optional<platform::DibImage> (*)(const BYTE*, size_t);
TEST(DamagedBitmaps, NoCutCopyOfAFileOrAResourceLoads) {
    // Bytes at the end a reader can do without: the last row's padding; run-length files need every byte.
    const std::pair<const char*, size_t> files[] = {{"g/pal1.bmp", 0}, {"g/pal4rle.bmp", 0}, {"g/pal8rle.bmp", 0},
        {"g/pal8os2.bmp", 1}, {"g/rgb16-565.bmp", 2}, {"g/rgb24.bmp", 3}, {"g/rgb32bf.bmp", 0}, {"g/pal8v5.bmp", 1}};
    for (const auto& [name, spare] : files) {
        const std::vector<BYTE> file = Corpus(name);
        const std::vector<BYTE> resource(file.begin() + sizeof(BITMAPFILEHEADER), file.end());
        for (const auto& [bytes, decode] : {std::pair<const std::vector<BYTE>&, Decoder>{file, platform::DecodeBitmapFile},
                                            {resource, platform::DecodePackedBitmap}}) {
            const size_t needed = bytes.size() - spare;
            for (size_t size = 0; size < needed; ++size) {
                // A copy of exactly `size` bytes, so that the sanitizer sees a read past it.
                const std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
                ASSERT_FALSE(decode(cut.data(), cut.size())) << name << " cut to " << size << " bytes";
            }
            EXPECT_TRUE(decode(bytes.data(), needed)) << name;
        }
    }
}
// The pixels' indices, top row first; empty when the bytes are refused.
std::vector<BYTE> Indices(const Picture& picture) {
    const std::vector<BYTE> bytes = PackedBitmap(picture);
    const auto image = platform::DecodePackedBitmap(bytes.data(), bytes.size());
    std::vector<BYTE> indices;
    for (LONG y = 0; image && y < image->height; ++y) {
        const auto row = image->bits.begin() + y * image->Stride();
        indices.insert(indices.end(), row, row + image->width);
    }
    return indices;
}
TEST(HostileBitmaps, OnlyWhatFitsTheLimitsAndTheDataLoads) {
    // Indices top row first, none when refused.
    struct Case { const char* what; LONG width, height; WORD bitCount; DWORD compression; std::vector<BYTE> data, indices; };
    const std::vector<BYTE> some(64), wide(16388);
    const Case cases[] = {
        {"bottom-up rows", 1, 2, 8, BI_RGB, {1, 0, 0, 0, 2, 0, 0, 0}, {2, 1}},
        {"top-down rows", 1, -2, 8, BI_RGB, {1, 0, 0, 0, 2, 0, 0, 0}, {1, 2}},
        {"the last row without its padding", 2, 2, 8, BI_RGB, {1, 1, 0, 0, 2, 2}, {2, 2, 1, 1}},
        {"the last row cut", 2, 2, 8, BI_RGB, {1, 1, 0, 0, 2}, {}},
        {"as wide as the limit", 16384, 1, 8, BI_RGB, wide, std::vector<BYTE>(16384)},
        {"wider than the limit", 16385, 1, 8, BI_RGB, wide, {}},
        {"taller than the limit", 1, 16385, 8, BI_RGB, some, {}},
        {"more pixels than the limit", 16384, 1025, 8, BI_RGB, some, {}},
        {"the largest numbers", INT32_MAX, INT32_MAX, 8, BI_RGB, some, {}},
        {"no columns", 0, 4, 8, BI_RGB, some, {}},
        {"no rows", 4, 0, 8, BI_RGB, some, {}},
        {"negative width", -4, 4, 8, BI_RGB, some, {}},
        {"within the limits, not in the data", 4096, 4096, 8, BI_RGB, some, {}},
        // Run-length streams: pixels that a jump skips keep index 0.
        {"a row of 4, an empty row, end", 4, 2, 8, BI_RLE8, {4, 1, 0, 0, 0, 1}, {0, 0, 0, 0, 1, 1, 1, 1}},
        {"a jump right and up", 4, 2, 8, BI_RLE8, {1, 1, 0, 2, 2, 1, 1, 1, 0, 1}, {0, 0, 0, 1, 1, 0, 0, 0}},
        {"four bits, high nibble first, literals padded", 8, 1, 4, BI_RLE4,
         {3, 0x10, 0, 5, 0x23, 0x45, 0x60, 0, 0, 1}, {1, 0, 1, 2, 3, 4, 5, 6}},
        {"a run past the end of the row", 4, 2, 8, BI_RLE8, {5, 1, 0, 1}, {}},
        {"literal pixels past the end of the row", 4, 2, 8, BI_RLE8, {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}, {}},
        {"a jump past the top", 4, 2, 8, BI_RLE8, {0, 2, 0, 2, 0, 1}, {}},
        {"a jump past the right edge", 4, 2, 8, BI_RLE8, {0, 2, 5, 0, 0, 1}, {}},
        {"no end-of-bitmap code", 4, 2, 8, BI_RLE8, {4, 1, 0, 0}, {}},
        {"a literal cut short", 4, 2, 8, BI_RLE8, {0, 4, 1, 1}, {}},
        {"rows past the top", 4, 2, 8, BI_RLE8, {4, 1, 0, 0, 4, 1, 0, 0, 4, 1, 0, 1}, {}},
        {"top-down run lengths", 4, -2, 8, BI_RLE8, {4, 1, 0, 1}, {}},
    };
    for (const Case& c : cases) {
        Picture picture{c.width, c.height, c.bitCount, c.compression, 40, 2, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
        picture.data = c.data;
        EXPECT_EQ(Indices(picture), c.indices) << c.what;
    }
}
// The colour table is blue, green, red, and as long as the colours-used field says; past it come the pixels.
TEST(HostileBitmaps, TheColourTableIsAsLongAsAnnounced) {
    const std::vector<BYTE> bytes = PackedBitmap({2, 1, 8, BI_RGB, 40, 2, {{1, 2, 3, 0}, {4, 5, 6, 0}}, {1, 0}});
    const auto image = platform::DecodePackedBitmap(bytes.data(), bytes.size());
    ASSERT_TRUE(image && image->colours.size() == 2u);
    EXPECT_TRUE(image->ColourAt(0, 0) == RGB(6, 5, 4) && image->ColourAt(1, 0) == RGB(3, 2, 1));
}
// Narrower fields scale from their largest value to 8 bits, wider ones keep their top 8, a missing one is 0.
TEST(HostileBitmaps, BitFieldsOfEveryWidthWidenTo8Bits) {
    const struct { DWORD mask, pixel; BYTE red; } cases[] = {
        {0x1, 0x1, 255}, {0x6, 0x2, 85}, {0x6, 0x4, 170}, {0x3E0, 17 << 5, 139}, {0xFC, 33 << 2, 133},
        {0xFF00, 0xAB00, 0xAB}, {0x3FF, 0x201, 0x80}, {0xFFE00000, 0x5A5u << 21, 0xB4},
        {0xFFFFFFFF, 0x12345678, 0x12}, {0, 0xFFFFFFFF, 0}};
    for (const auto& c : cases) {
        Picture picture{1, 1, 32, BI_BITFIELDS};
        for (const DWORD word : {c.mask, 0u, 0u, c.pixel})
            for (int shift = 0; shift < 32; shift += 8) picture.data.push_back(static_cast<BYTE>(word >> shift));
        const std::vector<BYTE> bytes = PackedBitmap(picture);
        const auto image = platform::DecodePackedBitmap(bytes.data(), bytes.size());
        EXPECT_TRUE(image && image->ColourAt(0, 0) == RGB(c.red, 0, 0)) << std::hex << c.mask;
    }
}
}  // namespace
