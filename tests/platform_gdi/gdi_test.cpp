// Device contexts, bitmaps, pixel access with colour matching, and StretchBlt.
#include <testing/memory_surface.h>

#include <array>
#include <vector>

#include "display_test.h"

namespace {

using Gdi = DisplayTest;

// A palette of white but for a few entries, with a tie and a repeat to
// settle: entry 3 black, 7 and 9 two reds 20 apart, 12 and 13 the same green.
std::array<PALETTEENTRY, 256> TestPalette() {
    std::array<PALETTEENTRY, 256> entries;
    entries.fill(PALETTEENTRY{255, 255, 255, 0});
    entries[3] = {0, 0, 0, 0};
    entries[7] = {100, 0, 0, 0};
    entries[9] = {120, 0, 0, 0};
    entries[12] = {0, 200, 0, 0};
    entries[13] = {0, 200, 0, 0};
    return entries;
}

// An 8-bit surface over test memory, with its own palette when one is given.
class PixelSurface {
public:
    PixelSurface(DWORD width, DWORD height, DWORD bitCount, LONG pitch, const PALETTEENTRY* entries = nullptr)
        : memory_(static_cast<size_t>(pitch) * height, 0xEE),
          surface_(platform::CreateMemorySurface(width, height, bitCount, pitch, memory_.data())) {
        if (entries) {
            platform::Palette* palette = nullptr;
            platform::Palette::Create(DDPCAPS_8BIT, entries, &palette);
            surface_->SetPalette(palette);
            palette->Release();
        }
        surface_->GetDC(&dc_);
    }
    ~PixelSurface() {
        surface_->ReleaseDC(dc_);
        surface_->Release();
    }
    HDC dc() const { return dc_; }
    std::vector<BYTE>& memory() { return memory_; }

private:
    std::vector<BYTE> memory_;
    LPDIRECTDRAWSURFACE4 surface_;
    HDC dc_ = nullptr;
};

TEST_F(Gdi, SetPixelTakesTheNearestPaletteEntryAndTiesGoToTheLowest) {
    const auto entries = TestPalette();
    PixelSurface surface(8, 1, 8, 8, entries.data());
    struct Case {
        COLORREF asked;
        BYTE index;
    };
    const Case cases[] = {
        {RGB(100, 0, 0), 7},   // exact
        {RGB(110, 0, 0), 7},   // halfway between 7 and 9
        {RGB(111, 0, 0), 9},   // just nearer to 9
        {RGB(0, 200, 0), 12},  // the first of two equal entries
        {RGB(0, 190, 5), 12},
        {RGB(20, 0, 0), 3},
        {RGB(250, 250, 250), 0},  // the first white
    };
    for (int x = 0; x < 7; ++x) {
        const Case& c = cases[x];
        const COLORREF set = SetPixel(surface.dc(), x, 0, c.asked);
        const PALETTEENTRY& chosen = entries[c.index];
        EXPECT_EQ(surface.memory()[x], c.index) << std::hex << c.asked;
        EXPECT_EQ(set, RGB(chosen.peRed, chosen.peGreen, chosen.peBlue));
        EXPECT_EQ(GetPixel(surface.dc(), x, 0), set);
    }
}

TEST_F(Gdi, SurfacesWithoutAnyPaletteUseTheDefaultRamp) {
    PixelSurface surface(8, 1, 8, 8);
    const std::pair<COLORREF, BYTE> cases[] = {{RGB(0, 0, 0), 0},       {RGB(255, 255, 255), 255},
                                               {RGB(255, 0, 0), 224},   {RGB(0, 255, 0), 28},
                                               {RGB(0, 0, 255), 3},     {RGB(109, 36, 255), 103}};
    for (int x = 0; x < 6; ++x) {
        const COLORREF set = SetPixel(surface.dc(), x, 0, cases[x].first);
        EXPECT_EQ(surface.memory()[x], cases[x].second);
        EXPECT_EQ(set, cases[x].first);  // each of them is on the ramp
    }
    surface.memory()[0] = 146;  // 100 10 10: red 4, green 4, blue 2
    EXPECT_EQ(GetPixel(surface.dc(), 0, 0), RGB(145, 145, 170));
}

TEST_F(Gdi, SurfacesWithoutAPaletteOfTheirOwnShowTheDisplays) {
    OpenDisplay();
    AttachPalette();  // entry i = (i, 255 - i, i / 2)
    LPDIRECTDRAWSURFACE4 plain = CreateOffScreen(4, 4);
    for (LPDIRECTDRAWSURFACE4 surface : {back_, plain}) {
        HDC dc = nullptr;
        ASSERT_EQ(surface->GetDC(&dc), DD_OK);
        EXPECT_EQ(SetPixel(dc, 1, 1, RGB(50, 205, 25)), RGB(50, 205, 25));
        EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
        EXPECT_EQ(static_cast<BYTE*>(desc.lpSurface)[desc.lPitch + 1], 50);
        surface->Unlock(nullptr);
    }
    EXPECT_EQ(plain->Release(), 0u);
}

TEST_F(Gdi, PixelsOutsideTheSurfaceAreNeitherReadNorWritten) {
    PixelSurface surface(3, 2, 8, 8);
    const std::vector<BYTE> before = surface.memory();
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {3, 0}, {0, 2}, {0, -1}, {7, 1}}) {
        EXPECT_EQ(SetPixel(surface.dc(), x, y, RGB(1, 2, 3)), CLR_INVALID) << x << ", " << y;
        EXPECT_EQ(GetPixel(surface.dc(), x, y), CLR_INVALID) << x << ", " << y;
    }
    EXPECT_EQ(surface.memory(), before);
}

TEST_F(Gdi, DeeperSurfacesStoreTheColourInTheirFormat) {
    PixelSurface sixteen(2, 1, 16, 4);
    // 0x12 0x34 0x56 keeps 5, 6 and 5 bits: 2, 13, 10.
    const COLORREF set = SetPixel(sixteen.dc(), 1, 0, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(sixteen.memory()[2] | (sixteen.memory()[3] << 8), (2 << 11) | (13 << 5) | 10);
    EXPECT_EQ(set, RGB(2 * 255 / 31, 13 * 255 / 63, 10 * 255 / 31));
    EXPECT_EQ(GetPixel(sixteen.dc(), 1, 0), set);

    PixelSurface thirtyTwo(2, 1, 32, 8);
    EXPECT_EQ(SetPixel(thirtyTwo.dc(), 1, 0, RGB(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(std::vector<BYTE>(thirtyTwo.memory().begin() + 4, thirtyTwo.memory().end()),
              (std::vector<BYTE>{0x56, 0x34, 0x12, 0x00}));
    EXPECT_EQ(GetPixel(thirtyTwo.dc(), 1, 0), RGB(0x12, 0x34, 0x56));
}

HBITMAP MakeBitmap(LONG width, LONG height, WORD bitCount, const std::vector<BYTE>& pixels,
                   std::vector<RGBQUAD> colours = {}) {
    platform::DibImage image = platform::BlankImage(width, height, bitCount);
    const size_t rowBytes = static_cast<size_t>(width) * bitCount / 8;
    for (LONG y = 0; y < height; ++y)
        std::copy_n(pixels.begin() + y * rowBytes, rowBytes, image.bits.begin() + y * image.Stride());
    image.colours = std::move(colours);
    return platform::CreateDibSection(std::move(image));
}

// Pixels of a 32-bit image or surface, blue, green, red, 0.
std::vector<BYTE> Colours(std::initializer_list<COLORREF> colours) {
    std::vector<BYTE> bytes;
    for (COLORREF c : colours) bytes.insert(bytes.end(), {GetBValue(c), GetGValue(c), GetRValue(c), 0});
    return bytes;
}

TEST_F(Gdi, BitmapsAreSelectedIntoOneMemoryDeviceContextAtATime) {
    HDC dc = CreateCompatibleDC(nullptr);
    HDC other = CreateCompatibleDC(dc);
    ASSERT_NE(dc, nullptr);
    ASSERT_NE(other, nullptr);
    HBITMAP bitmap = MakeBitmap(2, 2, 8, std::vector<BYTE>(4));
    HGDIOBJ stock = SelectObject(dc, bitmap);
    EXPECT_NE(stock, nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));  // still selected: it stays
    EXPECT_EQ(SelectObject(dc, stock), bitmap);
    EXPECT_NE(SelectObject(other, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(other));  // deleting the DC lets the bitmap go
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST_F(Gdi, MadeUpAndWrongHandlesAreRefused) {
    const auto junk = reinterpret_cast<HDC>(0x1234);
    const auto junkObject = reinterpret_cast<HGDIOBJ>(0x1234);
    BITMAP record{};
    EXPECT_FALSE(DeleteObject(junkObject));
    EXPECT_FALSE(DeleteDC(junk));
    EXPECT_EQ(SelectObject(junk, junkObject), nullptr);
    EXPECT_EQ(GetObjectA(junkObject, sizeof record, &record), 0);
    EXPECT_EQ(GetPixel(junk, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(junk, 0, 0, 0), CLR_INVALID);
    EXPECT_EQ(CreateCompatibleDC(junk), nullptr);
    EXPECT_FALSE(StretchBlt(junk, 0, 0, 1, 1, junk, 0, 0, 1, 1, SRCCOPY));

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = MakeBitmap(1, 1, 8, {0});
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(bitmap)));
    EXPECT_FALSE(DeleteObject(dc));
    EXPECT_EQ(SelectObject(dc, dc), nullptr);
    EXPECT_EQ(GetObjectA(dc, sizeof record, &record), 0);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);  // pixels are read from surfaces only
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));

    PixelSurface surface(1, 1, 8, 4);
    bitmap = MakeBitmap(1, 1, 8, {0});
    EXPECT_EQ(SelectObject(surface.dc(), bitmap), nullptr);  // a surface's DC draws on the surface
    EXPECT_FALSE(DeleteDC(surface.dc()));                    // and goes back through ReleaseDC
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(Gdi, GetObjectDescribesTheDibSection) {
    HBITMAP bitmap = MakeBitmap(5, 3, 8, std::vector<BYTE>(15));
    BITMAP record{};
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof record));
    EXPECT_EQ(GetObjectA(bitmap, sizeof record - 1, &record), 0);
    ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(record.bmType, 0);
    EXPECT_EQ(record.bmWidth, 5);
    EXPECT_EQ(record.bmHeight, 3);
    EXPECT_EQ(record.bmWidthBytes, 8);
    EXPECT_EQ(record.bmPlanes, 1);
    EXPECT_EQ(record.bmBitsPixel, 8);
    EXPECT_EQ(record.bmBits, platform::DibSectionImage(bitmap)->bits.data());
    EXPECT_TRUE(DeleteObject(bitmap));

    bitmap = MakeBitmap(5, 1, 32, std::vector<BYTE>(20));
    ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(record.bmWidthBytes, 20);
    EXPECT_EQ(record.bmBitsPixel, 32);
    EXPECT_TRUE(DeleteObject(bitmap));
}

// StretchBlt from a bitmap in a memory DC onto a surface.
class Stretch : public Gdi {
protected:
    BOOL Blt(HBITMAP bitmap, HDC to, int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
        HDC from = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(from, bitmap);
        const BOOL done = StretchBlt(to, x, y, w, h, from, sx, sy, sw, sh, SRCCOPY);
        SelectObject(from, old);
        DeleteDC(from);
        DeleteObject(bitmap);
        return done;
    }
};

constexpr COLORREF A = RGB(10, 20, 30), B = RGB(40, 50, 60), C = RGB(70, 80, 90), D = RGB(100, 110, 120);

TEST_F(Stretch, SameSizeCopiesEveryPixelWithTheTopRowFirst) {
    PixelSurface surface(2, 2, 32, 8);
    ASSERT_TRUE(Blt(MakeBitmap(2, 2, 32, Colours({A, B, C, D})), surface.dc(), 0, 0, 2, 2, 0, 0, 2, 2));
    EXPECT_EQ(surface.memory(), Colours({A, B, C, D}));
}

TEST_F(Stretch, EnlargingRepeatsEachPixel) {
    PixelSurface surface(4, 4, 32, 16);
    ASSERT_TRUE(Blt(MakeBitmap(2, 2, 32, Colours({A, B, C, D})), surface.dc(), 0, 0, 4, 4, 0, 0, 2, 2));
    EXPECT_EQ(surface.memory(), Colours({A, A, B, B, A, A, B, B, C, C, D, D, C, C, D, D}));
}

TEST_F(Stretch, EachPixelShowsTheSourcePixelUnderItsCentre) {
    // Three across five: centres at 0.3, 0.9, 1.5, 2.1 and 2.7 source pixels.
    PixelSurface wide(5, 1, 32, 20);
    ASSERT_TRUE(Blt(MakeBitmap(3, 1, 32, Colours({A, B, C})), wide.dc(), 0, 0, 5, 1, 0, 0, 3, 1));
    EXPECT_EQ(wide.memory(), Colours({A, A, B, C, C}));
    // Four across two: centres at 1 and 3.
    PixelSurface narrow(2, 1, 32, 8);
    ASSERT_TRUE(Blt(MakeBitmap(4, 1, 32, Colours({A, B, C, D})), narrow.dc(), 0, 0, 2, 1, 0, 0, 4, 1));
    EXPECT_EQ(narrow.memory(), Colours({B, D}));
    // A part of the source over the whole destination.
    PixelSurface part(2, 2, 32, 8);
    ASSERT_TRUE(Blt(MakeBitmap(2, 2, 32, Colours({A, B, C, D})), part.dc(), 0, 0, 2, 2, 1, 1, 1, 1));
    EXPECT_EQ(part.memory(), Colours({D, D, D, D}));
}

TEST_F(Stretch, WritesOnlyWhereDestinationAndSurfaceMeet) {
    // A 3 x 3 surface of 32-bit pixels with a guard pixel past each row.
    PixelSurface surface(3, 3, 32, 16);
    std::vector<BYTE> expected = surface.memory();
    auto put = [&](int x, int y, COLORREF colour) {
        const std::vector<BYTE> pixel = Colours({colour});
        std::copy(pixel.begin(), pixel.end(), expected.begin() + y * 16 + x * 4);
    };
    // Hanging off the left and the bottom: only its top right pixel lands.
    ASSERT_TRUE(Blt(MakeBitmap(2, 2, 32, Colours({A, B, C, D})), surface.dc(), -1, 2, 2, 2, 0, 0, 2, 2));
    put(0, 2, B);
    EXPECT_EQ(surface.memory(), expected);
    // Doubled, hanging off the top and the right: destination rows 1 to 3
    // land, under source rows 0, 1 and 1 (centres 0.75, 1.25, 1.75).
    ASSERT_TRUE(Blt(MakeBitmap(2, 2, 32, Colours({A, B, C, D})), surface.dc(), 2, -1, 4, 4, 0, 0, 2, 2));
    put(2, 0, A);
    put(2, 1, C);
    put(2, 2, C);
    EXPECT_EQ(surface.memory(), expected);
}

TEST_F(Stretch, RefusesWhatItDoesNotDo) {
    PixelSurface surface(2, 2, 32, 8);
    const std::vector<BYTE> before = surface.memory();
    const auto bitmap = [] { return MakeBitmap(2, 2, 32, Colours({A, B, C, D})); };
    EXPECT_FALSE(Blt(bitmap(), surface.dc(), 0, 0, -2, 2, 0, 0, 2, 2));  // mirrored
    EXPECT_FALSE(Blt(bitmap(), surface.dc(), 0, 0, 2, 2, 0, 0, 2, -2));
    EXPECT_FALSE(Blt(bitmap(), surface.dc(), 0, 0, 0, 2, 0, 0, 2, 2));
    EXPECT_FALSE(Blt(bitmap(), surface.dc(), 0, 0, 2, 2, 1, 0, 2, 2));  // past the bitmap
    EXPECT_FALSE(Blt(bitmap(), surface.dc(), 0, 0, 2, 2, -1, 0, 2, 2));
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(Blt(bitmap(), memory, 0, 0, 2, 2, 0, 0, 2, 2));  // onto a memory DC
    EXPECT_FALSE(StretchBlt(surface.dc(), 0, 0, 2, 2, surface.dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(StretchBlt(surface.dc(), 0, 0, 2, 2, memory, 0, 0, 1, 1, 0x00EE0086));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_EQ(surface.memory(), before);
}

TEST_F(Stretch, ABitmapMadeForThePaletteLandsIndexForIndex) {
    const auto entries = TestPalette();
    std::vector<RGBQUAD> table;
    for (const PALETTEENTRY& e : entries) table.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    // 13 repeats 12 and 255 repeats 0: both keep their own index.
    const std::vector<BYTE> indices = {13, 12, 255, 0, 7, 9, 3, 200};
    PixelSurface surface(8, 1, 8, 8, entries.data());
    ASSERT_TRUE(Blt(MakeBitmap(8, 1, 8, indices, table), surface.dc(), 0, 0, 8, 1, 0, 0, 8, 1));
    EXPECT_EQ(surface.memory(), indices);
}

TEST_F(Stretch, OtherColoursTakeTheNearestPaletteEntry) {
    const auto entries = TestPalette();
    PixelSurface surface(4, 1, 8, 4, entries.data());
    // Its own table: 0 near red 9, 1 exactly green, 2 near black; 3 is past
    // the table and shows black.
    const std::vector<RGBQUAD> table = {{0, 0, 118, 0}, {0, 200, 0, 0}, {5, 5, 5, 0}};
    ASSERT_TRUE(Blt(MakeBitmap(4, 1, 8, {0, 1, 2, 3}, table), surface.dc(), 0, 0, 4, 1, 0, 0, 4, 1));
    EXPECT_EQ(surface.memory(), (std::vector<BYTE>{9, 12, 3, 3}));

    PixelSurface deep(3, 1, 8, 4, entries.data());
    ASSERT_TRUE(Blt(MakeBitmap(3, 1, 32, Colours({RGB(101, 0, 0), RGB(0, 0, 0), RGB(1, 199, 0)})), deep.dc(), 0,
                    0, 3, 1, 0, 0, 3, 1));
    EXPECT_EQ(std::vector<BYTE>(deep.memory().begin(), deep.memory().begin() + 3), (std::vector<BYTE>{7, 3, 12}));
}

}  // namespace
