// Device contexts on surfaces and bitmaps, pixels with colour matching, and
// StretchBlt from a bitmap onto a surface, on a screen inside guard bands.
#include <api/gdi_bmp.h>

#include <array>

#include "fresh_platform.h"
#include "screen.h"

namespace {

using Gdi = FreshPlatform;
using Palette = std::array<PALETTEENTRY, 256>;

// White but for a few entries, with a tie and a repeat to settle: entry 3
// black, 7 and 9 two reds 20 apart, 12 and 13 the same green.
Palette WithTies() {
    Palette entries;
    entries.fill(PALETTEENTRY{255, 255, 255, 0});
    entries[3] = {0, 0, 0, 0};
    entries[7] = {100, 0, 0, 0};
    entries[9] = {120, 0, 0, 0};
    entries[12] = entries[13] = {0, 200, 0, 0};
    return entries;
}

// Every entry its own colour: (i, 255 - i, i / 2).
Palette Distinct() {
    Palette entries;
    for (int i = 0; i < 256; ++i) entries[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    return entries;
}

// The screen's device context, with the palette given to its surface.
class ScreenDC {
public:
    explicit ScreenDC(GuardedScreen& screen, const Palette* entries = nullptr) : surface_(screen.Surface()) {
        if (entries) {
            platform::Palette* palette = nullptr;
            EXPECT_EQ(platform::Palette::Create(DDPCAPS_8BIT, entries->data(), &palette), DD_OK);
            surface_->SetPalette(palette);
            palette->Release();
        }
        EXPECT_EQ(surface_->GetDC(&dc_), DD_OK);
    }
    ~ScreenDC() { surface_->ReleaseDC(dc_); }
    operator HDC() const { return dc_; }

private:
    LPDIRECTDRAWSURFACE4 surface_;
    HDC dc_ = nullptr;
};

// Through the reader, from the shared builder's bytes: 8-bit pixels index
// `table`, 32-bit ones are COLORREFs.
HBITMAP MakeBitmap(LONG width, LONG height, WORD bitCount, std::vector<DWORD> pixels,
                   std::vector<RGBQUAD> table = {{0, 0, 0, 0}}) {
    if (bitCount > 8) table.clear();
    const std::vector<BYTE> bytes =
        PackedBitmap({width, height, bitCount, BI_RGB, 40, static_cast<DWORD>(table.size()), table, pixels});
    return platform::CreateDibSection(*platform::DecodePackedBitmap(bytes.data(), bytes.size()));
}

std::vector<RGBQUAD> Table(const Palette& entries) {
    std::vector<RGBQUAD> table;
    for (const PALETTEENTRY& e : entries) table.push_back({e.peBlue, e.peGreen, e.peRed, 0});
    return table;
}

struct Blit {
    int x, y, w, h, sx, sy, sw, sh;
};

BOOL StretchFrom(HBITMAP bitmap, HDC to, Blit b, DWORD rop = SRCCOPY) {
    HDC from = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(from, bitmap);
    const BOOL done = StretchBlt(to, b.x, b.y, b.w, b.h, from, b.sx, b.sy, b.sw, b.sh, rop);
    SelectObject(from, old);
    DeleteDC(from);
    DeleteObject(bitmap);
    return done;
}

std::vector<BYTE> Bytes(const GuardedScreen& screen) {
    std::vector<BYTE> bytes;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) bytes.push_back(screen.At(x, y));
    return bytes;
}

TEST_F(Gdi, SetPixelTakesTheNearestEntryAndTiesGoToTheLowest) {
    const Palette entries = WithTies();
    const std::pair<COLORREF, BYTE> cases[] = {
        {RGB(100, 0, 0), 7}, {RGB(110, 0, 0), 7} /* halfway */, {RGB(111, 0, 0), 9}, {RGB(0, 200, 0), 12},
        {RGB(0, 190, 5), 12}, {RGB(20, 0, 0), 3}, {RGB(250, 250, 250), 0}};
    GuardedScreen screen(7, 1, 8, 4);
    ScreenDC dc(screen, &entries);
    for (int x = 0; x < 7; ++x) {
        const auto [asked, index] = cases[x];
        const COLORREF set = SetPixel(dc, x, 0, asked);
        EXPECT_EQ(screen.At(x, 0), index) << std::hex << asked;
        EXPECT_EQ(set, RGB(entries[index].peRed, entries[index].peGreen, entries[index].peBlue));
        EXPECT_EQ(GetPixel(dc, x, 0), set);
    }
    EXPECT_TRUE(screen.GuardsIntact());
}

TEST_F(Gdi, WithoutAPaletteTheDefaultRampAndNothingOutsideTheSurface) {
    GuardedScreen screen(6, 2, 8, 4);
    ScreenDC dc(screen);
    const std::pair<COLORREF, BYTE> cases[] = {{RGB(0, 0, 0), 0},   {RGB(255, 255, 255), 255}, {RGB(255, 0, 0), 224},
                                               {RGB(0, 255, 0), 28}, {RGB(0, 0, 255), 3},       {RGB(109, 36, 255), 103}};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(SetPixel(dc, x, 0, cases[x].first), cases[x].first);  // each of them is on the ramp
        EXPECT_EQ(screen.At(x, 0), cases[x].second);
    }
    screen.Line(1)[screen.band] = 146;  // 100 10 10: red 4, green 4, blue 2
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(145, 145, 170));
    for (const auto& [x, y] : {Pixel{-1, 0}, {6, 0}, {0, 2}, {0, -1}, {7, 1}}) {
        EXPECT_EQ(SetPixel(dc, x, y, RGB(1, 2, 3)), CLR_INVALID) << x << ", " << y;
        EXPECT_EQ(GetPixel(dc, x, y), CLR_INVALID) << x << ", " << y;
    }
    EXPECT_TRUE(screen.GuardsIntact());
}

TEST_F(Gdi, BitmapsAreSelectedIntoOneMemoryDeviceContextAtATime) {
    HDC dc = CreateCompatibleDC(nullptr), other = CreateCompatibleDC(dc);
    ASSERT_TRUE(dc && other);
    HBITMAP bitmap = MakeBitmap(2, 2, 8, {0, 0, 0, 0});
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
    EXPECT_FALSE(DeleteObject(junkObject) || DeleteDC(junk));
    EXPECT_EQ(SelectObject(junk, junkObject), nullptr);
    EXPECT_EQ(GetObjectA(junkObject, sizeof record, &record), 0);
    EXPECT_EQ(GetPixel(junk, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(junk, 0, 0, 0), CLR_INVALID);
    EXPECT_EQ(CreateCompatibleDC(junk), nullptr);
    EXPECT_FALSE(StretchBlt(junk, 0, 0, 1, 1, junk, 0, 0, 1, 1, SRCCOPY));

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = MakeBitmap(1, 1, 8, {0});
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(bitmap)) || DeleteObject(dc));
    EXPECT_EQ(SelectObject(dc, dc), nullptr);
    EXPECT_EQ(GetObjectA(dc, sizeof record, &record), 0);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);  // pixels are read from surfaces only
    GuardedScreen screen(1, 1, 8, 4);
    {
        ScreenDC surfaceDC(screen);
        EXPECT_EQ(SelectObject(surfaceDC, bitmap), nullptr);  // a surface's DC draws on the surface
        EXPECT_FALSE(DeleteDC(surfaceDC));                    // and goes back through ReleaseDC
    }
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(Gdi, GetObjectDescribesTheDibSection) {
    HBITMAP bitmap = MakeBitmap(5, 3, 8, std::vector<DWORD>(15));
    BITMAP record{};
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof record));
    EXPECT_EQ(GetObjectA(bitmap, sizeof record - 1, &record), 0);
    ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(record.bmType, 0);
    EXPECT_TRUE(record.bmWidth == 5 && record.bmHeight == 3 && record.bmWidthBytes == 8);
    EXPECT_TRUE(record.bmPlanes == 1 && record.bmBitsPixel == 8);
    EXPECT_EQ(record.bmBits, platform::DibSectionImage(bitmap)->bits.data());
    EXPECT_TRUE(DeleteObject(bitmap));
}

// A bitmap made for the palette lands index for index: each destination
// pixel shows the source pixel under its centre, and only where the
// destination and the surface meet.
TEST_F(Gdi, StretchShowsTheSourcePixelUnderEachCentre) {
    constexpr BYTE _ = kBlank;
    struct Case {
        const char* what;
        LONG width, height;  // of the source, pixels 1, 2, 3... row by row
        int screenWidth, screenHeight;
        Blit blit;
        std::vector<BYTE> screen;  // all kBlank: refused
    };
    const Case cases[] = {
        {"same size", 2, 2, 2, 2, {0, 0, 2, 2, 0, 0, 2, 2}, {1, 2, 3, 4}},
        {"doubled", 2, 2, 4, 4, {0, 0, 4, 4, 0, 0, 2, 2}, {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}},
        {"three across five: centres 0.3, 0.9, 1.5, 2.1, 2.7", 3, 1, 5, 1, {0, 0, 5, 1, 0, 0, 3, 1}, {1, 1, 2, 3, 3}},
        {"four across two: centres 1 and 3", 4, 1, 2, 1, {0, 0, 2, 1, 0, 0, 4, 1}, {2, 4}},
        {"a part of the source", 2, 2, 2, 2, {0, 0, 2, 2, 1, 1, 1, 1}, {4, 4, 4, 4}},
        {"off the left and the bottom", 2, 2, 3, 3, {-1, 2, 2, 2, 0, 0, 2, 2}, {_, _, _, _, _, _, 2, _, _}},
        {"doubled, off the top and the right", 2, 2, 3, 3, {2, -1, 4, 4, 0, 0, 2, 2}, {_, _, 1, _, _, 3, _, _, 3}},
        {"mirrored", 2, 2, 2, 2, {0, 0, -2, 2, 0, 0, 2, 2}, {_, _, _, _}},
        {"mirrored source", 2, 2, 2, 2, {0, 0, 2, 2, 0, 0, 2, -2}, {_, _, _, _}},
        {"empty", 2, 2, 2, 2, {0, 0, 0, 2, 0, 0, 2, 2}, {_, _, _, _}},
        {"past the bitmap's right", 2, 2, 2, 2, {0, 0, 2, 2, 1, 0, 2, 2}, {_, _, _, _}},
        {"past the bitmap's left", 2, 2, 2, 2, {0, 0, 2, 2, -1, 0, 2, 2}, {_, _, _, _}},
    };
    const Palette entries = Distinct();
    for (const Case& c : cases) {
        std::vector<DWORD> pixels(c.width * c.height);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = DWORD(i + 1);
        GuardedScreen screen(c.screenWidth, c.screenHeight, 8, 4);
        ScreenDC dc(screen, &entries);
        const bool refused = c.screen == std::vector<BYTE>(c.screen.size(), kBlank);
        EXPECT_EQ(StretchFrom(MakeBitmap(c.width, c.height, 8, pixels, Table(entries)), dc, c.blit), !refused) << c.what;
        EXPECT_EQ(Bytes(screen), c.screen) << c.what;
        EXPECT_TRUE(screen.GuardsIntact()) << c.what;
    }
}

TEST_F(Gdi, StretchGoesOnlyFromAMemoryDCOntoASurfaceAndOnlyCopies) {
    GuardedScreen screen(2, 2, 8, 4);
    ScreenDC dc(screen);
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(StretchFrom(MakeBitmap(2, 2, 8, {1, 2, 3, 4}), memory, {0, 0, 2, 2, 0, 0, 2, 2}));
    EXPECT_FALSE(StretchBlt(dc, 0, 0, 2, 2, dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(StretchFrom(MakeBitmap(2, 2, 8, {1, 2, 3, 4}), dc, {0, 0, 2, 2, 0, 0, 2, 2}, 0x00EE0086));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(screen.Drawn().empty());
}

TEST_F(Gdi, OtherColoursTakeTheNearestPaletteEntry) {
    const Palette entries = WithTies();
    // Its own table: 0 near red 9, 1 exactly green, 2 near black; 3 is past
    // the table and shows black.
    const std::vector<RGBQUAD> table = {{0, 0, 118, 0}, {0, 200, 0, 0}, {5, 5, 5, 0}};
    GuardedScreen screen(7, 1, 8, 4);
    ScreenDC dc(screen, &entries);
    ASSERT_TRUE(StretchFrom(MakeBitmap(4, 1, 8, {0, 1, 2, 3}, table), dc, {0, 0, 4, 1, 0, 0, 4, 1}));
    ASSERT_TRUE(StretchFrom(MakeBitmap(3, 1, 32, {RGB(101, 0, 0), RGB(0, 0, 0), RGB(1, 199, 0)}), dc,
                            {4, 0, 3, 1, 0, 0, 3, 1}));
    EXPECT_EQ(Bytes(screen), (std::vector<BYTE>{9, 12, 3, 3, 7, 3, 12}));
}

}  // namespace
