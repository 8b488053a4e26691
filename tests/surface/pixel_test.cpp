// Colours turned into pixel values through the surface's device context, the
// reading of single pixels, and the colour keys set from either.
#include <testing/memory_surface.h>

#include <climits>
#include <cstring>
#include <memory>
#include <utility>
#include <sys/mman.h>
#include <unistd.h>

#include "bitmap_bytes.h"
#include "surface_test.h"

namespace {

// Entry i is (i, 255 - i, i / 2): every colour once, so that putting a
// pixel's colour back finds the same index.
std::vector<PALETTEENTRY> DistinctPalette() {
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < 256; ++i)
        entries.push_back(Entry(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2)));
    return entries;
}

// Bytes that end where an inaccessible page begins: a read past them faults.
class GuardedBytes {
public:
    explicit GuardedBytes(size_t size) : page_(static_cast<size_t>(sysconf(_SC_PAGESIZE))) {
        span_ = (size + page_ - 1) / page_ * page_ + page_;
        void* mapped = mmap(nullptr, span_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) std::abort();
        base_ = static_cast<BYTE*>(mapped);
        if (mprotect(base_ + span_ - page_, page_, PROT_NONE) != 0) std::abort();
        data_ = base_ + span_ - page_ - size;
    }
    ~GuardedBytes() { munmap(base_, span_); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    BYTE* data() const { return data_; }

private:
    size_t page_;
    size_t span_;
    BYTE* base_;
    BYTE* data_;
};

class Pixels : public SurfaceTest {
protected:
    // A surface of width x height pixels with no padding, over bytes that
    // end at a guard page.
    LPDIRECTDRAWSURFACE4 Guarded(DWORD width, DWORD height, DWORD bitCount, const std::vector<BYTE>& contents) {
        const size_t size = static_cast<size_t>(width) * height * (bitCount / 8);
        EXPECT_EQ(contents.size(), size);
        guarded_.push_back(std::make_unique<GuardedBytes>(size));
        std::memcpy(guarded_.back()->data(), contents.data(), size);
        return Keep(platform::CreateMemorySurface(width, height, bitCount, static_cast<LONG>(width * (bitCount / 8)),
                                                  guarded_.back()->data()));
    }

    // Pixel value v at (0, 0) of an 8-bit surface that shows DistinctPalette.
    LPDIRECTDRAWSURFACE4 PaletteSurface() {
        OpenDisplay();
        if (HasFatalFailure()) return nullptr;
        EXPECT_EQ(primary_->SetPalette(MakePalette(DistinctPalette())), DD_OK);
        return primary_;
    }

private:
    // Destroyed after the fixture's surfaces are released.
    std::vector<std::unique_ptr<GuardedBytes>> guarded_;
};

TEST_F(Pixels, OnThePrimaryTheColourBecomesTheChosenIndexAndThePixelIsPutBack) {
    LPDIRECTDRAWSURFACE4 surface = PaletteSurface();
    ASSERT_NE(surface, nullptr);
    SetPixelByte(surface, 0, 0, 7);
    SetPixelByte(surface, 1, 0, 9);
    const std::vector<BYTE> before = PixelsOf(surface);

    EXPECT_EQ(DDPixelForColor(surface, RGB(50, 205, 25)), 50u);
    EXPECT_EQ(DDPixelForColor(surface, RGB(200, 55, 100)), 200u);
    EXPECT_EQ(DDPixelForColor(surface, RGB(200, 60, 99)), 198u);  // nearest is (198, 57, 99)
    EXPECT_EQ(PixelsOf(surface), before);
}

TEST_F(Pixels, TheProgramsColoursMatchTheTexturePalette) {
    AddBitmapResource(MAKEINTRESOURCEA(103), {TextureFile().begin() + 14, TextureFile().end()});
    OpenDisplay();
    LPDIRECTDRAWPALETTE palette = Keep(DDCreatePaletteFromBitmap(dd_, MAKEINTRESOURCEA(103)));
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(primary_->SetPalette(palette), DD_OK);
    // The texture's table holds white at 0 and the background colour at 2.
    EXPECT_EQ(DDPixelForColor(primary_, 0xFFFFFF), 0u);
    EXPECT_EQ(DDPixelForColor(primary_, 0x787824), 2u);
}

TEST_F(Pixels, AThirtyTwoBitSurfaceGivesTheWholeWord) {
    LPDIRECTDRAWSURFACE4 surface = Guarded(2, 1, 32, {0xEF, 0xBE, 0xAD, 0xDE, 1, 2, 3, 4});
    EXPECT_EQ(DDPixelForColor(surface, CLR_INVALID), 0xDEADBEEFu);
    EXPECT_EQ(PixelsOf(surface), (std::vector<BYTE>{0xEF, 0xBE, 0xAD, 0xDE, 1, 2, 3, 4}));
    EXPECT_EQ(DDPixelForColor(surface, RGB(0x12, 0x34, 0x56)), 0x00123456u);
}

TEST_F(Pixels, AnEightBitSurfaceGivesOnlyItsLowByte) {
    // One pixel alone before the guard page: a whole word would fault.
    LPDIRECTDRAWSURFACE4 single = Guarded(1, 1, 8, {0x12});
    EXPECT_EQ(DDPixelForColor(single, CLR_INVALID), 0x12u);
    EXPECT_EQ(PixelsOf(single), std::vector<BYTE>{0x12});

    LPDIRECTDRAWSURFACE4 wide = Guarded(4, 1, 8, {0x12, 0x34, 0x56, 0x78});
    EXPECT_EQ(DDPixelForColor(wide, CLR_INVALID), 0x12u);
}

// Without a device context nothing is written and the pixel already there is
// the answer; a lock that fails gives no colour, and the pixel is put back.
TEST_F(Pixels, FailuresLeaveThePixelAsItWas) {
    LPDIRECTDRAWSURFACE4 surface = PaletteSurface();
    ASSERT_NE(surface, nullptr);
    SetPixelByte(surface, 0, 0, 9);
    const std::vector<BYTE> before = PixelsOf(surface);
    const std::pair<const char*, DWORD> cases[] = {{"GetDC@1", 9}, {"Lock@1:DDERR_SURFACELOST", CLR_INVALID}};
    for (const auto& [failure, expected] : cases) {
        SCOPED_TRACE(failure);
        ASSERT_TRUE(platform::testing::ScriptFailure(failure));
        EXPECT_EQ(DDPixelForColor(surface, RGB(50, 205, 25)), expected);
        EXPECT_EQ(PixelsOf(surface), before);
    }
}

TEST_F(Pixels, ReadPixelOfASurfaceThatCannotBeLockedIsNoColour) {
    LPDIRECTDRAWSURFACE4 surface = Guarded(1, 1, 8, {0x12});
    ASSERT_TRUE(platform::testing::ScriptFailure("Lock"));
    EXPECT_EQ(DDReadPixel(surface, 0, 0), CLR_INVALID);
}

TEST_F(Pixels, ASurfaceStillDrawingIsAskedAgainAtOnce) {
    LPDIRECTDRAWSURFACE4 surface = PaletteSurface();
    ASSERT_NE(surface, nullptr);
    SetPixelByte(surface, 0, 0, 33);
    platform::testing::ScriptStillDrawing(5);
    EXPECT_EQ(DDPixelForColor(surface, RGB(50, 205, 25)), 50u);
    platform::testing::ScriptStillDrawing(3);
    EXPECT_EQ(DDReadPixel(surface, 0, 0), 33u);
    // Every busy answer was taken up by a plain lock of the surface.
    EXPECT_FALSE(PixelsOf(surface).empty());
}

TEST_F(Pixels, ReadPixelTakesThePixelOfItsRowAndColumn) {
    // 3 x 2 pixels of 8 bits in rows of 4 bytes.
    std::vector<BYTE> memory = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE};
    LPDIRECTDRAWSURFACE4 surface = Keep(platform::CreateMemorySurface(3, 2, 8, 4, memory.data()));
    EXPECT_EQ(DDReadPixel(surface, 0, 0), 1u);
    EXPECT_EQ(DDReadPixel(surface, 2, 0), 3u);
    EXPECT_EQ(DDReadPixel(surface, 1, 1), 5u);
}

TEST_F(Pixels, ReadPixelAtTheLastPixelReadsOnlyThatPixel) {
    struct Case {
        DWORD bitCount;
        DWORD expected;
    };
    for (const Case& c : {Case{8, 0x77}, Case{16, 0x7776}, Case{24, 0x777675}, Case{32, 0x77767574}}) {
        SCOPED_TRACE(c.bitCount);
        const DWORD bytes = c.bitCount / 8;
        std::vector<BYTE> contents(3 * 2 * bytes, 0x11);
        for (DWORD i = 0; i < bytes; ++i) contents[contents.size() - bytes + i] = static_cast<BYTE>(0x78 - bytes + i);
        LPDIRECTDRAWSURFACE4 surface = Guarded(3, 2, c.bitCount, contents);
        EXPECT_EQ(DDReadPixel(surface, 2, 1), c.expected);
    }
}

TEST_F(Pixels, ReadPixelOutsideTheSurfaceIsNoColourAndReadsNothing) {
    LPDIRECTDRAWSURFACE4 surface = Guarded(3, 2, 8, {1, 2, 3, 4, 5, 6});
    const std::pair<int, int> outside[] = {{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {3, 1}, {INT_MAX, INT_MAX}, {INT_MIN, 0}};
    for (const auto& [x, y] : outside) EXPECT_EQ(DDReadPixel(surface, x, y), CLR_INVALID) << x << ", " << y;
    // The surface is unlocked again after every read.
    EXPECT_EQ(PixelsOf(surface), (std::vector<BYTE>{1, 2, 3, 4, 5, 6}));
}

TEST_F(Pixels, ColourKeysAreThePixelValuesFoundForThem) {
    LPDIRECTDRAWSURFACE4 surface = PaletteSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(DDSetKeyFromColor(surface, RGB(120, 135, 60)), DD_OK);
    DDSURFACEDESC2 desc = DescriptionOf(surface);
    EXPECT_TRUE(desc.dwFlags & DDSD_CKSRCBLT);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 120u);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 120u);
    EXPECT_FALSE(desc.dwFlags & DDSD_CKDESTBLT);

    SetPixelByte(surface, 5, 3, 0x5A);
    EXPECT_EQ(DDSetKeyFromPixel(surface, 5, 3), DD_OK);
    desc = DescriptionOf(surface);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 0x5Au);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 0x5Au);
}

}  // namespace
