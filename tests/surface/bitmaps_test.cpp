// Bitmaps from resources or files into new or existing surfaces.
#include <unistd.h>

#include "surface_test.h"

namespace {

// Six colours the ramp holds exactly, 3 x 2, as their ramp indices: red 224,
// green 28, blue 3 over white 255, black 0 and 103.
Picture RampPicture(WORD bitCount) {
    Picture picture{.width = 3, .height = 2, .bitCount = bitCount};
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(109, 36, 255)};
    for (DWORD i = 0; i < 6; ++i) {
        picture.pixels.push_back(bitCount == 24 ? colours[i] : i);
        if (bitCount == 8) picture.table.push_back({GetBValue(colours[i]), GetGValue(colours[i]), GetRValue(colours[i]), 0});
    }
    picture.coloursUsed = static_cast<DWORD>(picture.table.size());
    return picture;
}
const std::vector<BYTE> kRampIndices = {224, 28, 3, 255, 0, 103};

// 4 x 2: red, green, blue, white over the same backwards.
Picture Checks() {
    Picture picture = RampPicture(8);
    picture.width = 4;
    picture.table.resize(picture.coloursUsed = 4);
    picture.table[3] = {255, 255, 255, 0};
    picture.pixels = {0, 1, 2, 3, 3, 2, 1, 0};
    return picture;
}

class Bitmaps : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        AddBitmapResource("CHECKS", PackedBitmap(Checks()));
    }
};

// The texture loads at its own size, or a given one, into system memory,
// its rows upright and its indices kept under its own palette.
TEST_F(Bitmaps, TheTextureLoadsIntoSystemMemoryWithItsIndices) {
    OpenDisplay();
    ASSERT_EQ(primary_->SetPalette(Keep(DDCreatePaletteFromBitmap(dd_, MAKEINTRESOURCEA(103)))), DD_OK);
    LPDIRECTDRAWSURFACE4 texture = Keep(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 0, 0));
    ASSERT_NE(texture, nullptr);
    const DDSURFACEDESC2 desc = DescriptionOf(texture);
    EXPECT_TRUE(desc.dwWidth == 400 && desc.dwHeight == 200 && desc.ddpfPixelFormat.dwRGBBitCount == 8);
    EXPECT_EQ(desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY));
    std::vector<BYTE> expected;
    for (int y = 199; y >= 0; --y) expected.insert(expected.end(), &Texture()[1078 + y * 400], &Texture()[1078 + y * 400 + 400]);
    EXPECT_TRUE(PixelsOf(texture) == expected);
    LPDIRECTDRAWSURFACE4 scaled = Keep(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 200, 100));
    ASSERT_NE(scaled, nullptr);
    EXPECT_TRUE(DescriptionOf(scaled).dwWidth == 200 && DescriptionOf(scaled).dwHeight == 100);
}

// A name that is no resource is a file; a resource wins over a file of the same name.
TEST_F(Bitmaps, ANameThatIsNoResourceLoadsFromTheFileUpright) {
    for (const WORD bitCount : {8, 24}) {
        const TempFile file(BitmapFile(RampPicture(bitCount)));
        LPDIRECTDRAWSURFACE4 surface = Keep(DDLoadBitmap(dd_, file.path(), 0, 0));
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(PixelsOf(surface), kRampIndices) << bitCount;
    }
    AddBitmapResource("BOTH.BMP", PackedBitmap(RampPicture(8)));
    const TempFile file(BitmapFile(Checks()), "BOTH.BMP");
    char previous[4096];
    ASSERT_TRUE(getcwd(previous, sizeof previous) && chdir(file.folder()) == 0);
    LPDIRECTDRAWSURFACE4 surface = Keep(DDLoadBitmap(dd_, "BOTH.BMP", 0, 0));
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(PixelsOf(surface), kRampIndices);
}

// Whatever cannot be loaded or made gives no surface and leaves nothing
// behind; without the surface's device context the new surface still comes back.
TEST_F(Bitmaps, WhatCannotBeLoadedGivesNoSurfaceAndLeavesNothing) {
    const TempFile notABitmap(std::vector<BYTE>(100, 'x'));
    const std::pair<LPCSTR, const char*> cases[] = {{MAKEINTRESOURCEA(999), ""}, {"no such bitmap.bmp", ""}, {nullptr, ""},
                                                    {notABitmap.path(), ""}, {MAKEINTRESOURCEA(103), "LoadImageA"},
                                                    {MAKEINTRESOURCEA(103), "CreateSurface"}};
    for (const auto& [name, failure] : cases) {
        const size_t before = Live();
        ASSERT_TRUE(!*failure || platform::testing::ScriptFailure(std::string(failure) + "@1"));
        EXPECT_EQ(DDLoadBitmap(dd_, name, 0, 0), nullptr) << failure;
        EXPECT_EQ(Live(), before) << failure;
    }
    ASSERT_TRUE(platform::testing::ScriptFailure("GetDC"));
    LPDIRECTDRAWSURFACE4 surface = Keep(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 0, 0));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(DescriptionOf(surface).dwWidth, 400u);
    EXPECT_EQ(platform::LiveGdiObjectCount(), 0u);
}

// A refresh stretches the bitmap over the surface, bringing a lost one back.
TEST_F(Bitmaps, RefreshStretchesTheBitmapOverTheSurface) {
    LPDIRECTDRAWSURFACE4 surface = OffScreen(8, 4);
    platform::Surface::FromInterface(surface)->Lose();
    ASSERT_EQ(DDRefreshBitmap(surface, "CHECKS"), DD_OK);
    EXPECT_EQ(surface->IsLost(), DD_OK);
    EXPECT_EQ(PixelsOf(surface), (std::vector<BYTE>{224, 224, 28, 28, 3, 3, 255, 255, 224, 224, 28, 28, 3, 3, 255, 255,
                                                    255, 255, 3, 3, 28, 28, 224, 224, 255, 255, 3, 3, 28, 28, 224, 224}));
    EXPECT_EQ(platform::LiveGdiObjectCount(), 0u);
}

// Without a surface or a bitmap a refresh fails and touches nothing; the
// device context's failure is its result.
TEST_F(Bitmaps, RefreshFailuresTouchNothing) {
    LPDIRECTDRAWSURFACE4 surface = OffScreen(8, 4);
    SetPixelByte(surface, 1, 1, 0x42);
    const std::vector<BYTE> before = PixelsOf(surface);
    const size_t live = Live();
    EXPECT_EQ(DDRefreshBitmap(nullptr, nullptr), E_FAIL);
    EXPECT_EQ(DDRefreshBitmap(nullptr, "CHECKS"), E_FAIL);
    EXPECT_EQ(DDRefreshBitmap(surface, nullptr), E_FAIL);
    EXPECT_EQ(DDRefreshBitmap(surface, "no such bitmap.bmp"), E_FAIL);
    ASSERT_TRUE(platform::testing::ScriptFailure("GetDC:DDERR_SURFACEBUSY"));
    EXPECT_EQ(DDRefreshBitmap(surface, "CHECKS"), DDERR_SURFACEBUSY);
    EXPECT_EQ(Live(), live);
    EXPECT_EQ(PixelsOf(surface), before);
}

// The source rectangle is stretched over the whole surface; width and height
// 0 take the whole bitmap, and no device context keeps the bitmap.
TEST_F(Bitmaps, BlitStretchesTheSourceRectangle) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "CHECKS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    LPDIRECTDRAWSURFACE4 part = OffScreen(2, 2), whole = OffScreen(4, 2);
    EXPECT_EQ(DDBlitBitmap(part, bitmap, 2, 0, 2, 2), DD_OK);
    EXPECT_EQ(PixelsOf(part), (std::vector<BYTE>{3, 255, 28, 224}));
    EXPECT_EQ(DDBlitBitmap(whole, bitmap, 0, 0, 0, 0), DD_OK);
    EXPECT_EQ(PixelsOf(whole), (std::vector<BYTE>{224, 28, 3, 255, 255, 3, 28, 224}));
    EXPECT_EQ(DDBlitBitmap(nullptr, bitmap, 0, 0, 0, 0), E_FAIL);
    EXPECT_EQ(DDBlitBitmap(part, nullptr, 0, 0, 0, 0), E_FAIL);
    EXPECT_TRUE(DeleteObject(bitmap));
}

}  // namespace
