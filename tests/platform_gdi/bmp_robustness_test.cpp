// Damaged bitmaps: cut short anywhere, bytes changed at random, numbers that
// do not fit together. None may make the reader step outside its data (the
// sanitizer build watches that), allocate beyond the size limits, or return a
// picture it did not read in full.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <api/gdi_bmp.h>

#include "platform_test.h"

namespace {

std::vector<BYTE> ReadCorpusFile(const std::string& name) {
    std::ifstream file(TEST_DATA_DIR "/bmpsuite/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void ExpectSound(const platform::DibImage& image) {
    EXPECT_GT(image.width, 0);
    EXPECT_GT(image.height, 0);
    EXPECT_LE(int64_t{image.width} * image.height, platform::kMaxBitmapPixels);
    EXPECT_EQ(image.bits.size(), static_cast<size_t>(image.Stride()) * image.height);
    EXPECT_LE(image.colours.size(), 256u);
}

struct CutFile {
    const char* name;
    size_t spare;  // bytes at the end the reader can do without: the last row's padding
};

void PrintTo(const CutFile& file, std::ostream* out) { *out << file.name; }

class CutShort : public ::testing::TestWithParam<CutFile> {};

TEST_P(CutShort, NoPrefixOfTheFileLoads) {
    const std::vector<BYTE> bytes = ReadCorpusFile(GetParam().name);
    ASSERT_GT(bytes.size(), GetParam().spare);
    const size_t needed = bytes.size() - GetParam().spare;
    for (size_t size = 0; size < needed; ++size) {
        // A copy of exactly `size` bytes, so that the sanitizer sees a read past it.
        const std::vector<BYTE> prefix(bytes.begin(), bytes.begin() + size);
        EXPECT_FALSE(platform::DecodeBitmapFile(prefix.data(), prefix.size())) << "cut to " << size << " bytes";
    }
    EXPECT_TRUE(platform::DecodeBitmapFile(bytes.data(), needed));
}

TEST_P(CutShort, NoPrefixOfTheResourceLoads) {
    const std::vector<BYTE> file = ReadCorpusFile(GetParam().name);
    const std::vector<BYTE> bytes(file.begin() + sizeof(BITMAPFILEHEADER), file.end());
    const size_t needed = bytes.size() - GetParam().spare;
    for (size_t size = 0; size < needed; ++size) {
        const std::vector<BYTE> prefix(bytes.begin(), bytes.begin() + size);
        EXPECT_FALSE(platform::DecodePackedBitmap(prefix.data(), prefix.size())) << "cut to " << size << " bytes";
    }
    EXPECT_TRUE(platform::DecodePackedBitmap(bytes.data(), needed));
}

// Run-length files end in an end-of-bitmap code and need every byte; the
// others may lack the padding of their last row.
INSTANTIATE_TEST_SUITE_P(Corpus, CutShort,
                         ::testing::Values(CutFile{"g/pal1.bmp", 0}, CutFile{"g/pal4rle.bmp", 0},
                                           CutFile{"g/pal8rle.bmp", 0}, CutFile{"g/pal8os2.bmp", 1},
                                           CutFile{"g/rgb16-565.bmp", 2}, CutFile{"g/rgb24.bmp", 3},
                                           CutFile{"g/rgb32bf.bmp", 0}, CutFile{"g/pal8v5.bmp", 1}));

// A fixed-seed generator, so that a failure can be repeated.
class Scrambler {
public:
    uint32_t Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(state_ >> 33);
    }

private:
    uint64_t state_ = 0x5EED;
};

class Scrambled : public ::testing::TestWithParam<const char*> {};

TEST_P(Scrambled, ChangedBytesNeverLeadOutsideTheData) {
    const std::vector<BYTE> original = ReadCorpusFile(GetParam());
    ASSERT_GT(original.size(), 200u);
    Scrambler random;
    int loaded = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<BYTE> bytes = original;
        const int changes = 1 + random.Next() % 4;
        for (int i = 0; i < changes; ++i) {
            // Mostly the headers and the colour table, where the numbers are.
            const size_t span = random.Next() % 2 ? 160 : bytes.size();
            bytes[random.Next() % span] = static_cast<BYTE>(random.Next());
        }
        if (const auto image = platform::DecodeBitmapFile(bytes.data(), bytes.size())) {
            ExpectSound(*image);
            ++loaded;
        }
        if (const auto image = platform::DecodePackedBitmap(bytes.data() + 14, bytes.size() - 14)) ExpectSound(*image);
    }
    // Most changes land on bytes that do not matter to the reader.
    EXPECT_GT(loaded, 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, Scrambled,
                         ::testing::Values("g/pal1.bmp", "g/pal4.bmp", "g/pal4rle.bmp", "g/pal8rle.bmp",
                                           "g/pal8os2.bmp", "g/pal8topdown.bmp", "g/rgb16-565.bmp", "g/rgb24.bmp",
                                           "g/rgb32bf.bmp", "g/pal8v5.bmp", "q/pal8rletrns.bmp",
                                           "q/pal4rlecut.bmp"));

// A 40-byte header with the given fields, a two-entry colour table and then
// `pixels`.
std::vector<BYTE> PackedBitmap(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                               const std::vector<BYTE>& pixels) {
    std::vector<BYTE> bytes(40 + 8 + pixels.size());
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<BYTE>(value >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(width));
    put32(8, static_cast<uint32_t>(height));
    bytes[12] = 1;
    bytes[14] = static_cast<BYTE>(bitCount);
    put32(16, compression);
    put32(32, 2);
    bytes[40 + 4] = bytes[40 + 5] = bytes[40 + 6] = 0xFF;  // entry 1 white
    std::copy(pixels.begin(), pixels.end(), bytes.begin() + 48);
    return bytes;
}

TEST(BitmapHeader, ClaimsBeyondTheLimitsAreRefusedBeforeAnyAllocation) {
    // Far more pixels than the bytes could hold, and more than the limits allow.
    for (const auto& [width, height] : std::vector<std::pair<int32_t, int32_t>>{
             {16385, 1}, {1, 16385}, {16384, 1025}, {INT32_MAX, INT32_MAX}, {0, 4}, {4, 0}, {-4, 4}}) {
        const auto bytes = PackedBitmap(width, height, 8, BI_RGB, std::vector<BYTE>(64));
        EXPECT_FALSE(platform::DecodePackedBitmap(bytes.data(), bytes.size())) << width << " x " << height;
    }
    // Within the limits but not in the data.
    const auto bytes = PackedBitmap(4096, 4096, 8, BI_RGB, std::vector<BYTE>(64));
    EXPECT_FALSE(platform::DecodePackedBitmap(bytes.data(), bytes.size()));
}

TEST(BitmapHeader, TopDownHeightsAreReadTopRowFirst) {
    const auto bottomUp = PackedBitmap(1, 2, 8, BI_RGB, {1, 0, 0, 0, 0, 0, 0, 0});
    const auto topDown = PackedBitmap(1, -2, 8, BI_RGB, {1, 0, 0, 0, 0, 0, 0, 0});
    const auto a = platform::DecodePackedBitmap(bottomUp.data(), bottomUp.size());
    const auto b = platform::DecodePackedBitmap(topDown.data(), topDown.size());
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->height, 2);
    EXPECT_EQ(b->height, 2);
    EXPECT_EQ(a->bits[0 * a->Stride()], 0);  // the first stored row is the bottom one
    EXPECT_EQ(a->bits[1 * a->Stride()], 1);
    EXPECT_EQ(b->bits[0 * b->Stride()], 1);
    EXPECT_EQ(b->bits[1 * b->Stride()], 0);
}

TEST(RunLength, RunsAndJumpsStayInsideTheImage) {
    struct Stream {
        const char* what;
        std::vector<BYTE> codes;
        bool loads;
    };
    const Stream streams[] = {
        {"a row of 4, an empty row, end", {4, 1, 0, 0, 0, 1}, true},
        {"a run past the end of the row", {5, 1, 0, 1}, false},
        {"literal pixels past the end of the row", {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}, false},
        {"a jump past the top", {0, 2, 0, 2, 0, 1}, false},
        {"a jump past the right edge", {0, 2, 5, 0, 0, 1}, false},
        {"no end-of-bitmap code", {4, 1, 0, 0}, false},
        {"a literal cut short", {0, 4, 1, 1}, false},
        {"rows past the top", {4, 1, 0, 0, 4, 1, 0, 0, 4, 1, 0, 1}, false},
    };
    for (const Stream& stream : streams) {
        const auto bytes = PackedBitmap(4, 2, 8, BI_RLE8, stream.codes);
        const auto image = platform::DecodePackedBitmap(bytes.data(), bytes.size());
        EXPECT_EQ(image.has_value(), stream.loads) << stream.what;
    }
    // Top-down run-length bitmaps do not exist.
    const auto topDown = PackedBitmap(4, -2, 8, BI_RLE8, {4, 1, 0, 1});
    EXPECT_FALSE(platform::DecodePackedBitmap(topDown.data(), topDown.size()));
}

TEST(RunLength, JumpedOverPixelsKeepIndexZero) {
    // Row 0 (the bottom): pixel 0 set, jump 2 right and 1 up, then one pixel.
    const auto bytes = PackedBitmap(4, 2, 8, BI_RLE8, {1, 1, 0, 2, 2, 1, 1, 1, 0, 1});
    const auto image = platform::DecodePackedBitmap(bytes.data(), bytes.size());
    ASSERT_TRUE(image);
    const std::vector<BYTE> top(image->bits.begin(), image->bits.begin() + 4);
    const std::vector<BYTE> bottom(image->bits.begin() + image->Stride(), image->bits.begin() + image->Stride() + 4);
    EXPECT_EQ(top, (std::vector<BYTE>{0, 0, 0, 1}));
    EXPECT_EQ(bottom, (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST(RunLength, FourBitPixelsTakeTheHighNibbleFirst) {
    // A run of 3 from 0x10 (1, 0, 1), 5 literal pixels from 0x23 0x45 0x60 and
    // a padding byte, end.
    const auto bytes = PackedBitmap(8, 1, 4, BI_RLE4, {3, 0x10, 0, 5, 0x23, 0x45, 0x60, 0, 0, 1});
    const auto image = platform::DecodePackedBitmap(bytes.data(), bytes.size());
    ASSERT_TRUE(image);
    EXPECT_EQ(std::vector<BYTE>(image->bits.begin(), image->bits.begin() + 8),
              (std::vector<BYTE>{1, 0, 1, 2, 3, 4, 5, 6}));
}

}  // namespace
