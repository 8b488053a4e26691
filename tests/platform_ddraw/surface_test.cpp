// Surfaces: their memory under Lock, the colour fill, the flip, device
// contexts and colour keys.
#include <testing/memory_surface.h>

#include <algorithm>
#include <cstring>

#include "display_test.h"

namespace {

using Surfaces = DisplayTest;

static_assert(sizeof(DDBLTFX) == 100);

TEST_F(Surfaces, LockGivesTheWholeSurfaceUntilUnlock) {
    OpenDisplay();
    DDSURFACEDESC2 desc = SizedDescription();
    ASSERT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    ASSERT_NE(desc.lpSurface, nullptr);
    EXPECT_TRUE(desc.dwFlags & DDSD_LPSURFACE);
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_EQ(desc.dwHeight, 480u);
    EXPECT_EQ(desc.lPitch, 640);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
    // Every byte of every row is the caller's to write (the sanitizer would
    // object to one too many).
    std::memset(desc.lpSurface, 0x42, static_cast<size_t>(desc.lPitch) * desc.dwHeight);

    DDSURFACEDESC2 again = SizedDescription();
    EXPECT_EQ(back_->Lock(nullptr, &again, 0, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(back_->Unlock(nullptr), DD_OK);
    EXPECT_EQ(back_->Unlock(nullptr), DDERR_NOTLOCKED);
    const std::vector<BYTE> pixels = SurfacePixels(back_);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0x42), 640 * 480);
}

TEST_F(Surfaces, LockAndGetSurfaceDescWantTheirRecordsSize) {
    OpenDisplay();
    for (DWORD size : {DWORD{0}, DWORD{108}, DWORD{sizeof(DDSURFACEDESC2) + 1}}) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = size;
        EXPECT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DDERR_INVALIDPARAMS) << size;
        EXPECT_EQ(back_->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS) << size;
    }
    EXPECT_EQ(back_->Lock(nullptr, nullptr, 0, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(back_->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST_F(Surfaces, LockOfARectangleStartsAtItsCorner) {
    OpenDisplay();
    DDSURFACEDESC2 whole = SizedDescription();
    ASSERT_EQ(back_->Lock(nullptr, &whole, 0, nullptr), DD_OK);
    ASSERT_EQ(back_->Unlock(nullptr), DD_OK);
    RECT rect = {10, 20, 30, 40};
    DDSURFACEDESC2 part = SizedDescription();
    ASSERT_EQ(back_->Lock(&rect, &part, 0, nullptr), DD_OK);
    EXPECT_EQ(part.lpSurface, static_cast<BYTE*>(whole.lpSurface) + 20 * 640 + 10);
    EXPECT_EQ(part.lPitch, 640);
    ASSERT_EQ(back_->Unlock(&rect), DD_OK);
    for (RECT bad : {RECT{0, 0, 641, 1}, RECT{-1, 0, 1, 1}, RECT{5, 5, 5, 6}, RECT{0, 470, 1, 481}}) {
        DDSURFACEDESC2 desc = SizedDescription();
        EXPECT_EQ(back_->Lock(&bad, &desc, 0, nullptr), DDERR_INVALIDRECT);
    }
}

TEST_F(Surfaces, StillDrawingIsAnsweredAsOftenAsAskedUnlessTheLockWaits) {
    OpenDisplay();
    Runtime().stillDrawing = 2;
    DDSURFACEDESC2 desc = SizedDescription();
    EXPECT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(back_->Unlock(nullptr), DD_OK);
    Runtime().stillDrawing = 1;
    EXPECT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(back_->Unlock(nullptr), DD_OK);
    EXPECT_EQ(Runtime().stillDrawing, 1);
}

TEST_F(Surfaces, ColourFillWritesTheLowByteEverywhere) {
    OpenDisplay();
    ASSERT_EQ(ColourFill(back_, 0x1234), DD_OK);
    const std::vector<BYTE> pixels = SurfacePixels(back_);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0x34), 640 * 480);

    // The effects record must have its own size: nothing is written otherwise.
    DDBLTFX fx{};
    fx.dwSize = sizeof fx - 1;
    fx.dwFillColor = 0x56;
    EXPECT_EQ(back_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DDERR_INVALIDPARAMS);
    EXPECT_EQ(back_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    // Copies between surfaces are not there.
    fx.dwSize = sizeof fx;
    EXPECT_EQ(back_->Blt(nullptr, primary_, nullptr, DDBLT_WAIT, &fx), DDERR_UNSUPPORTED);
    EXPECT_EQ(SurfacePixels(back_), pixels);

    RECT rect = {1, 2, 3, 4};
    ASSERT_EQ(back_->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    const std::vector<BYTE> after = SurfacePixels(back_);
    EXPECT_EQ(std::count(after.begin(), after.end(), 0x56), 4);
    EXPECT_EQ(after[2 * 640 + 1], 0x56);
    EXPECT_EQ(after[3 * 640 + 2], 0x56);
}

// Surfaces of other depths over memory with guard bytes past every row.
TEST_F(Surfaces, ColourFillKeepsToThePixelSizeAndTheRow) {
    for (DWORD bitCount : {DWORD{16}, DWORD{32}}) {
        const DWORD bytes = bitCount / 8;
        std::vector<BYTE> memory(3 * 16, 0xEE);
        LPDIRECTDRAWSURFACE4 surface = platform::CreateMemorySurface(3, 3, bitCount, 16, memory.data());
        ASSERT_EQ(ColourFill(surface, 0xABCD1234), DD_OK);
        for (DWORD y = 0; y < 3; ++y) {
            for (DWORD x = 0; x < 16; ++x) {
                const BYTE expected =
                    x < 3 * bytes ? static_cast<BYTE>(0xABCD1234 >> (8 * (x % bytes))) : BYTE{0xEE};
                EXPECT_EQ(memory[y * 16 + x], expected) << bitCount << " bits, byte " << x << " of row " << y;
            }
        }
        EXPECT_EQ(surface->Release(), 0u);
    }
}

TEST_F(Surfaces, FlipExchangesTheBuffersAndShowsTheNewFront) {
    OpenDisplay();
    AttachPalette();
    ASSERT_EQ(ColourFill(primary_, 3), DD_OK);
    ASSERT_EQ(ColourFill(back_, 7), DD_OK);
    ASSERT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(SurfacePixels(primary_), std::vector<BYTE>(640 * 480, 7));
    EXPECT_EQ(SurfacePixels(back_), std::vector<BYTE>(640 * 480, 3));

    ASSERT_EQ(Runtime().frames.size(), 1u);
    const runtime_double::PresentedFrame& frame = Runtime().frames[0];
    EXPECT_EQ(frame.width, 640u);
    EXPECT_EQ(frame.height, 480u);
    EXPECT_EQ(frame.pitch, 640);
    EXPECT_EQ(frame.pixels, std::vector<BYTE>(640 * 480, 7));
    ASSERT_TRUE(frame.hasPalette);
    EXPECT_EQ(std::memcmp(frame.palette.data(), entries_.data(), 256 * sizeof(PALETTEENTRY)), 0);

    // The palette shown is the one of the moment; the target may be named.
    PALETTEENTRY black = {0, 0, 0, 0};
    ASSERT_EQ(palette_->SetEntries(0, 9, 1, &black), DD_OK);
    ASSERT_EQ(primary_->Flip(back_, DDFLIP_WAIT), DD_OK);
    ASSERT_EQ(Runtime().frames.size(), 2u);
    EXPECT_EQ(Runtime().frames[1].pixels, std::vector<BYTE>(640 * 480, 3));
    EXPECT_EQ(Runtime().frames[1].palette[9].peRed, 0);
    EXPECT_EQ(Runtime().frames[1].palette[10].peRed, 10);
}

TEST_F(Surfaces, FlipWithoutAPaletteShowsNone) {
    OpenDisplay();
    ASSERT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    ASSERT_EQ(Runtime().frames.size(), 1u);
    EXPECT_FALSE(Runtime().frames[0].hasPalette);
}

TEST_F(Surfaces, OnlyTheFrontFlipsAndNotWhileABufferIsInUse) {
    OpenDisplay();
    LPDIRECTDRAWSURFACE4 plain = CreateOffScreen(8, 8);
    EXPECT_EQ(back_->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(plain->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(primary_->Flip(plain, DDFLIP_WAIT), DDERR_INVALIDPARAMS);
    DDSURFACEDESC2 desc = SizedDescription();
    ASSERT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    EXPECT_EQ(ColourFill(back_, 1), DDERR_SURFACEBUSY);
    ASSERT_EQ(back_->Unlock(nullptr), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(primary_->GetDC(&dc), DD_OK);
    EXPECT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    ASSERT_EQ(primary_->ReleaseDC(dc), DD_OK);
    EXPECT_TRUE(Runtime().frames.empty());
    EXPECT_EQ(plain->Release(), 0u);
}

TEST_F(Surfaces, OneDeviceContextAtATimeInPlaceOfALock) {
    OpenDisplay();
    HDC dc = nullptr;
    ASSERT_EQ(back_->GetDC(&dc), DD_OK);
    ASSERT_NE(dc, nullptr);
    HDC second = nullptr;
    EXPECT_EQ(back_->GetDC(&second), DDERR_DCALREADYCREATED);
    EXPECT_EQ(second, nullptr);
    DDSURFACEDESC2 desc = SizedDescription();
    EXPECT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(back_->ReleaseDC(reinterpret_cast<HDC>(&desc)), DDERR_INVALIDPARAMS);
    EXPECT_EQ(back_->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(back_->ReleaseDC(dc), DDERR_NODC);
    EXPECT_EQ(platform::LiveGdiObjectCount(), 0u);

    ASSERT_EQ(back_->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    EXPECT_EQ(back_->GetDC(&dc), DDERR_SURFACEBUSY);
    ASSERT_EQ(back_->Unlock(nullptr), DD_OK);

    // A surface that goes with its device context out takes that along.
    LPDIRECTDRAWSURFACE4 plain = CreateOffScreen(8, 8);
    ASSERT_EQ(plain->GetDC(&dc), DD_OK);
    EXPECT_EQ(platform::LiveGdiObjectCount(), 1u);
    EXPECT_EQ(plain->Release(), 0u);
    EXPECT_EQ(platform::LiveGdiObjectCount(), 0u);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
}

TEST_F(Surfaces, ColourKeysAreKeptAndDescribed) {
    OpenDisplay();
    LPDIRECTDRAWSURFACE4 plain = CreateOffScreen(8, 8);
    DDCOLORKEY key = {5, 5};
    EXPECT_EQ(plain->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    DDSURFACEDESC2 desc = SizedDescription();
    ASSERT_EQ(plain->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_TRUE(desc.dwFlags & DDSD_CKSRCBLT);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 5u);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 5u);
    EXPECT_EQ(plain->SetColorKey(0, &key), DDERR_INVALIDPARAMS);
    EXPECT_EQ(plain->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
    ASSERT_EQ(plain->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_FALSE(desc.dwFlags & DDSD_CKSRCBLT);
    EXPECT_EQ(plain->Release(), 0u);
}

TEST_F(Surfaces, OnlyPalettisedSurfacesTakeAPalette) {
    OpenDisplay();
    AttachPalette();
    LPDIRECTDRAWSURFACE4 deep = platform::CreateMemorySurface(2, 2, 32, 8);
    EXPECT_EQ(deep->SetPalette(palette_), DDERR_NOTPALETTIZED);
    EXPECT_EQ(deep->Release(), 0u);
    // Something that is no live palette is refused, not followed.
    LPDIRECTDRAWPALETTE gone = palette_;
    EXPECT_EQ(primary_->SetPalette(nullptr), DD_OK);
    EXPECT_EQ(palette_->Release(), 0u);
    palette_ = nullptr;
    EXPECT_EQ(back_->SetPalette(gone), DDERR_INVALIDOBJECT);
}

}  // namespace
