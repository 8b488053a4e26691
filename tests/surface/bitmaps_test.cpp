// Bitmaps from resources or files into new or existing surfaces.
#include "bitmap_bytes.h"
#include "surface_test.h"

namespace {

// Six colours that the ramp holds exactly, 3 x 2, as their ramp indices:
// red 224, green 28, blue 3 over white 255, black 0 and 103.
Picture RampPicture(WORD bitCount) {
    Picture picture;
    picture.width = 3;
    picture.height = 2;
    picture.bitCount = bitCount;
    const COLORREF colours[] = {RGB(255, 0, 0),     RGB(0, 255, 0), RGB(0, 0, 255),
                                RGB(255, 255, 255), RGB(0, 0, 0),   RGB(109, 36, 255)};
    for (int i = 0; i < 6; ++i) {
        if (bitCount == 24) {
            picture.pixels.push_back(colours[i]);
        } else {
            picture.table.push_back(RGBQUAD{GetBValue(colours[i]), GetGValue(colours[i]), GetRValue(colours[i]), 0});
            picture.pixels.push_back(static_cast<DWORD>(i));
        }
    }
    picture.coloursUsed = static_cast<DWORD>(picture.table.size());
    return picture;
}
const std::vector<BYTE> kRampIndices = {224, 28, 3, 255, 0, 103};

// 4 x 2 pixels of four ramp colours: red, green, blue, white over the same
// backwards.
Picture Checks() {
    Picture picture = RampPicture(8);
    picture.width = 4;
    picture.table.resize(4);
    picture.coloursUsed = 4;
    picture.table[3] = RGBQUAD{255, 255, 255, 0};
    picture.pixels = {0, 1, 2, 3, 3, 2, 1, 0};
    return picture;
}

class Bitmaps : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        AddBitmapResource(MAKEINTRESOURCEA(103), {TextureFile().begin() + 14, TextureFile().end()});
        AddBitmapResource("CHECKS", PackedBitmap(Checks()));
    }

    // The texture's index of the pixel at column x, row y from the top.
    static BYTE TextureIndex(int x, int y) { return TextureFile()[1078 + (199 - y) * 400 + x]; }
};

TEST_F(Bitmaps, TheTextureLoadsAtItsOwnSizeIntoSystemMemoryWithItsIndices) {
    OpenDisplay();
    LPDIRECTDRAWPALETTE palette = Keep(DDCreatePaletteFromBitmap(dd_, MAKEINTRESOURCEA(103)));
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(primary_->SetPalette(palette), DD_OK);

    LPDIRECTDRAWSURFACE4 texture = Keep(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 0, 0));
    ASSERT_NE(texture, nullptr);
    const DDSURFACEDESC2 desc = DescriptionOf(texture);
    EXPECT_EQ(desc.dwWidth, 400u);
    EXPECT_EQ(desc.dwHeight, 200u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
    EXPECT_EQ(desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY));

    const std::vector<BYTE> pixels = PixelsOf(texture);
    ASSERT_EQ(pixels.size(), 400u * 200u);
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            if (pixels[y * 400 + x] != TextureIndex(x, y) && ++wrong <= 5)
                ADD_FAILURE() << "texel " << x << ", " << y << ": " << int{pixels[y * 400 + x]} << " instead of "
                              << int{TextureIndex(x, y)};
    EXPECT_EQ(wrong, 0);
}

TEST_F(Bitmaps, AGivenSizeMakesASurfaceOfThatSize) {
    LPDIRECTDRAWSURFACE4 surface = Keep(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 200, 100));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(DescriptionOf(surface).dwWidth, 200u);
    EXPECT_EQ(DescriptionOf(surface).dwHeight, 100u);
}

TEST_F(Bitmaps, ANameThatIsNoResourceLoadsFromTheFileUpright) {
    for (const WORD bitCount : {8, 24}) {
        SCOPED_TRACE(bitCount);
        const TempFile file(BitmapFile(RampPicture(bitCount)));
        LPDIRECTDRAWSURFACE4 surface = Keep(DDLoadBitmap(dd_, file.path(), 0, 0));
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(DescriptionOf(surface).dwWidth, 3u);
        EXPECT_EQ(PixelsOf(surface), kRampIndices);
    }
}

TEST_F(Bitmaps, AResourceIsPreferredToAFileOfTheSameName) {
    AddBitmapResource("BOTH.BMP", PackedBitmap(RampPicture(8)));
    const TempFile file(BitmapFile(Checks()), "BOTH.BMP");
    const InFolder there(file.folder());
    LPDIRECTDRAWSURFACE4 surface = Keep(DDLoadBitmap(dd_, "BOTH.BMP", 0, 0));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(PixelsOf(surface), kRampIndices);
}

TEST_F(Bitmaps, WhatCannotBeLoadedGivesNoSurfaceAndLeavesNothing) {
    const LiveObjects before;
    EXPECT_EQ(DDLoadBitmap(dd_, MAKEINTRESOURCEA(999), 0, 0), nullptr);
    EXPECT_EQ(DDLoadBitmap(dd_, "no such bitmap.bmp", 0, 0), nullptr);
    EXPECT_EQ(DDLoadBitmap(dd_, nullptr, 0, 0), nullptr);
    const TempFile notABitmap(std::vector<BYTE>(100, 'x'));
    EXPECT_EQ(DDLoadBitmap(dd_, notABitmap.path(), 0, 0), nullptr);
    ASSERT_TRUE(platform::testing::ScriptFailure("LoadImageA"));
    EXPECT_EQ(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 0, 0), nullptr);
    EXPECT_EQ(LiveObjects(), before);
}

TEST_F(Bitmaps, ASurfaceThatCannotBeMadeGivesNoneAndDeletesTheBitmap) {
    const LiveObjects before;
    ASSERT_TRUE(platform::testing::ScriptFailure("CreateSurface"));
    EXPECT_EQ(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 0, 0), nullptr);
    EXPECT_EQ(LiveObjects(), before);
}

TEST_F(Bitmaps, WithoutTheSurfacesDeviceContextTheNewSurfaceIsStillReturned) {
    ASSERT_TRUE(platform::testing::ScriptFailure("GetDC"));
    LPDIRECTDRAWSURFACE4 surface = Keep(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 0, 0));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(DescriptionOf(surface).dwWidth, 400u);
    EXPECT_EQ(platform::LiveGdiObjectCount(), 0u);
}

TEST_F(Bitmaps, RefreshStretchesABitmapOfAnotherSizeOverTheSurface) {
    LPDIRECTDRAWSURFACE4 surface = OffScreen(8, 4);
    ASSERT_EQ(DDRefreshBitmap(surface, "CHECKS"), DD_OK);
    const std::vector<BYTE> expected = {
        224, 224, 28, 28, 3, 3, 255, 255,  //
        224, 224, 28, 28, 3, 3, 255, 255,  //
        255, 255, 3,  3,  28, 28, 224, 224,  //
        255, 255, 3,  3,  28, 28, 224, 224,
    };
    EXPECT_EQ(PixelsOf(surface), expected);
    EXPECT_EQ(platform::LiveGdiObjectCount(), 0u);
}

TEST_F(Bitmaps, RefreshBringsALostSurfaceBack) {
    AddBitmapResource("RAMP", PackedBitmap(RampPicture(8)));
    LPDIRECTDRAWSURFACE4 surface = OffScreen(3, 2);
    platform::Surface::FromInterface(surface)->Lose();
    ASSERT_EQ(DDRefreshBitmap(surface, "RAMP"), DD_OK);
    EXPECT_EQ(surface->IsLost(), DD_OK);
    EXPECT_EQ(PixelsOf(surface), kRampIndices);
}

TEST_F(Bitmaps, RefreshWithoutSurfaceOrBitmapFailsAndTouchesNothing) {
    LPDIRECTDRAWSURFACE4 surface = OffScreen(3, 2);
    SetPixelByte(surface, 1, 1, 0x42);
    const std::vector<BYTE> before = PixelsOf(surface);
    const LiveObjects live;
    EXPECT_EQ(DDRefreshBitmap(nullptr, nullptr), E_FAIL);
    EXPECT_EQ(DDRefreshBitmap(nullptr, "CHECKS"), E_FAIL);
    EXPECT_EQ(DDRefreshBitmap(surface, nullptr), E_FAIL);
    EXPECT_EQ(DDRefreshBitmap(surface, "no such bitmap.bmp"), E_FAIL);
    EXPECT_EQ(LiveObjects(), live);
    EXPECT_EQ(PixelsOf(surface), before);
}

TEST_F(Bitmaps, RefreshReportsTheDeviceContextsFailure) {
    LPDIRECTDRAWSURFACE4 surface = OffScreen(8, 4);
    const std::vector<BYTE> before = PixelsOf(surface);
    ASSERT_TRUE(platform::testing::ScriptFailure("GetDC:DDERR_SURFACEBUSY"));
    EXPECT_EQ(DDRefreshBitmap(surface, "CHECKS"), DDERR_SURFACEBUSY);
    EXPECT_EQ(PixelsOf(surface), before);
    EXPECT_EQ(platform::LiveGdiObjectCount(), 0u);
}

TEST_F(Bitmaps, BlitStretchesTheSourceRectangleAndLeavesTheBitmapFree) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), "CHECKS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    LPDIRECTDRAWSURFACE4 surface = OffScreen(2, 2);
    EXPECT_EQ(DDBlitBitmap(surface, bitmap, 2, 0, 2, 2), DD_OK);
    EXPECT_EQ(PixelsOf(surface), (std::vector<BYTE>{3, 255, 28, 224}));
    // A source width and height of 0 take the whole bitmap.
    LPDIRECTDRAWSURFACE4 whole = OffScreen(4, 2);
    EXPECT_EQ(DDBlitBitmap(whole, bitmap, 0, 0, 0, 0), DD_OK);
    EXPECT_EQ(PixelsOf(whole), (std::vector<BYTE>{224, 28, 3, 255, 255, 3, 28, 224}));

    EXPECT_EQ(DDBlitBitmap(nullptr, bitmap, 0, 0, 0, 0), E_FAIL);
    EXPECT_EQ(DDBlitBitmap(surface, nullptr, 0, 0, 0, 0), E_FAIL);
    // No device context holds the bitmap any more.
    EXPECT_TRUE(DeleteObject(bitmap));
}

}  // namespace
