// Device contexts on surfaces and bitmaps, pixels with colour matching, StretchBlt inside guard bands.
#include <api/gdi_bmp.h>

#include <array>

#include "fresh_platform.h"
#include "screen.h"

namespace {
using Gdi = FreshPlatform;
using Palette = std::array<PALETTEENTRY, 256>;
// White but for entry 3 black, 7 and 9 two reds 20 apart, 12 and 13 one green.
Palette WithTies() {
    Palette entries;
    entries.fill(PALETTEENTRY{255, 255, 255, 0});
    entries[3] = {0, 0, 0, 0}, entries[7] = {100, 0, 0, 0}, entries[9] = {120, 0, 0, 0};
    entries[12] = entries[13] = {0, 200, 0, 0};
    return entries;
}
// The screen's device context, with the palette given to its surface.
struct ScreenDC {
    explicit ScreenDC(GuardedScreen& screen, const Palette* entries = nullptr) : surface(screen.Surface()) {
        platform::Palette* palette = nullptr;
        if (entries && platform::Palette::Create(DDPCAPS_8BIT, entries->data(), &palette) == DD_OK)
            surface->SetPalette(palette), palette->Release();
        EXPECT_EQ(surface->GetDC(&dc), DD_OK);
    }
    ~ScreenDC() { surface->ReleaseDC(dc); }
    operator HDC() const { return dc; }
    LPDIRECTDRAWSURFACE4 surface;
    HDC dc = nullptr;
};
// Through the reader: 8-bit pixels index `table`, 32-bit ones are COLORREFs.
HBITMAP MakeBitmap(LONG width, LONG height, WORD bitCount, std::vector<DWORD> pixels, std::vector<RGBQUAD> table = {{}}) {
    if (bitCount > 8) table.clear();
    const std::vector<BYTE> bytes =
        PackedBitmap({width, height, bitCount, BI_RGB, 40, static_cast<DWORD>(table.size()), table, pixels});
    return platform::CreateDibSection(*platform::DecodePackedBitmap(bytes.data(), bytes.size()));
}
BOOL StretchFrom(HBITMAP bitmap, HDC to, std::array<int, 8> b, DWORD rop = SRCCOPY) {
    HDC from = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(from, bitmap);
    const BOOL done = StretchBlt(to, b[0], b[1], b[2], b[3], from, b[4], b[5], b[6], b[7], rop);
    return SelectObject(from, old), DeleteDC(from), DeleteObject(bitmap), done;
}
std::vector<BYTE> Bytes(const GuardedScreen& screen) {
    std::vector<BYTE> bytes;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) bytes.push_back(screen.At(x, y));
    return bytes;
}
// The nearest entry, ties to the lowest; without a palette the default ramp; nothing outside the surface.
TEST_F(Gdi, SetPixelTakesTheNearestEntryAndGetPixelItsColour) {
    const Palette entries = WithTies();
    const std::tuple<bool, COLORREF, BYTE> cases[] = {
        {true, RGB(100, 0, 0), 7}, {true, RGB(110, 0, 0), 7}, {true, RGB(111, 0, 0), 9}, {true, RGB(0, 190, 5), 12},
        {true, RGB(20, 0, 0), 3}, {true, RGB(250, 250, 250), 0}, {false, RGB(255, 255, 255), 255},
        {false, RGB(255, 0, 0), 224}, {false, RGB(0, 255, 0), 28}, {false, RGB(0, 0, 255), 3}, {false, RGB(109, 36, 255), 103}};
    for (const auto& [paletted, asked, index] : cases) {
        GuardedScreen screen(2, 2, 8, 4);
        ScreenDC dc(screen, paletted ? &entries : nullptr);
        const COLORREF set = SetPixel(dc, 1, 1, asked);
        // Each colour asked for without a palette is on the ramp.
        EXPECT_TRUE(screen.At(1, 1) == index && GetPixel(dc, 1, 1) == set &&
                    set == (paletted ? RGB(entries[index].peRed, entries[index].peGreen, entries[index].peBlue) : asked)) << std::hex << asked;
        for (const auto& [x, y] : {Pixel{-1, 0}, {2, 0}, {0, 2}, {0, -1}})
            EXPECT_TRUE(SetPixel(dc, x, y, RGB(1, 2, 3)) == CLR_INVALID && GetPixel(dc, x, y) == CLR_INVALID) << x << ", " << y;
        screen.Line(0)[screen.band] = 146;  // 100 10 10 on the ramp: red 4, green 4, blue 2
        EXPECT_TRUE((paletted || GetPixel(dc, 0, 0) == RGB(145, 145, 170)) && screen.GuardsIntact());
    }
}
// One memory DC at a time holds a bitmap; made-up and wrong handles are refused.
TEST_F(Gdi, BitmapsSelectedIntoOneDCAtATimeAndWrongHandlesRefused) {
    HDC dc = CreateCompatibleDC(nullptr), other = CreateCompatibleDC(dc);
    HBITMAP bitmap = MakeBitmap(5, 3, 8, std::vector<DWORD>(15));
    ASSERT_TRUE(dc && other && bitmap);
    BITMAP record{};
    EXPECT_TRUE(GetObjectA(bitmap, 0, nullptr) == int(sizeof record) && GetObjectA(bitmap, sizeof record - 1, &record) == 0);
    ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_TRUE(record.bmType == 0 && record.bmWidth == 5 && record.bmHeight == 3 && record.bmWidthBytes == 8);
    EXPECT_TRUE(record.bmPlanes == 1 && record.bmBitsPixel == 8 && record.bmBits == platform::DibSectionImage(bitmap)->bits.data());
    HGDIOBJ stock = SelectObject(dc, bitmap);
    EXPECT_TRUE(stock && !SelectObject(other, bitmap) && !DeleteObject(bitmap));  // still selected: it stays
    EXPECT_TRUE(SelectObject(dc, stock) == bitmap && SelectObject(other, bitmap));
    EXPECT_TRUE(DeleteDC(other));  // deleting the DC lets the bitmap go
    const auto junk = reinterpret_cast<HDC>(0x1234);
    const auto junkObject = reinterpret_cast<HGDIOBJ>(0x1234);
    EXPECT_FALSE(DeleteObject(junkObject) || DeleteDC(junk) || DeleteDC(reinterpret_cast<HDC>(bitmap)) || DeleteObject(dc));
    EXPECT_FALSE(SelectObject(junk, junkObject) || SelectObject(dc, dc) || CreateCompatibleDC(junk));
    EXPECT_FALSE(GetObjectA(junkObject, sizeof record, &record) || GetObjectA(dc, sizeof record, &record));
    // Pixels are read from surfaces only.
    EXPECT_TRUE(GetPixel(junk, 0, 0) == CLR_INVALID && SetPixel(junk, 0, 0, 0) == CLR_INVALID && GetPixel(dc, 0, 0) == CLR_INVALID);
    EXPECT_FALSE(StretchBlt(junk, 0, 0, 1, 1, junk, 0, 0, 1, 1, SRCCOPY));
    GuardedScreen screen(1, 1, 8, 4);
    {
        ScreenDC surfaceDC(screen);
        EXPECT_EQ(SelectObject(surfaceDC, bitmap), nullptr);  // a surface's DC draws on the surface
        EXPECT_FALSE(DeleteDC(surfaceDC));                    // and goes back through ReleaseDC
    }
    EXPECT_TRUE(DeleteObject(bitmap) && !DeleteObject(bitmap) && DeleteDC(dc) && !DeleteDC(dc));
}
// Index for index for a bitmap of the palette's colours: each destination pixel shows the source pixel under its
// centre, only where destination and surface meet. Only SRCCOPY from a memory DC onto a surface.
TEST_F(Gdi, StretchShowsTheSourcePixelUnderEachCentre) {
    constexpr BYTE _ = kBlank;
    // The source's pixels are 1, 2, 3... row by row; a screen all kBlank: refused.
    struct Case { const char* what; LONG width, height; int screenWidth, screenHeight; std::array<int, 8> blit; std::vector<BYTE> screen; };
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
    Palette entries;
    std::vector<RGBQUAD> table;
    for (int i = 0; i < 256; ++i) entries[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0}, table.push_back({BYTE(i / 2), BYTE(255 - i), BYTE(i), 0});
    for (const Case& c : cases) {
        std::vector<DWORD> pixels(c.width * c.height);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = DWORD(i + 1);
        GuardedScreen screen(c.screenWidth, c.screenHeight, 8, 4);
        ScreenDC dc(screen, &entries);
        const bool refused = c.screen == std::vector<BYTE>(c.screen.size(), kBlank);
        EXPECT_EQ(StretchFrom(MakeBitmap(c.width, c.height, 8, pixels, table), dc, c.blit), !refused) << c.what;
        EXPECT_TRUE(Bytes(screen) == c.screen && screen.GuardsIntact()) << c.what;
    }
    GuardedScreen screen(2, 2, 8, 4);
    ScreenDC dc(screen);
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(StretchFrom(MakeBitmap(2, 2, 8, {1, 2, 3, 4}), memory, {0, 0, 2, 2, 0, 0, 2, 2}));
    EXPECT_FALSE(StretchBlt(dc, 0, 0, 2, 2, dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(StretchFrom(MakeBitmap(2, 2, 8, {1, 2, 3, 4}), dc, {0, 0, 2, 2, 0, 0, 2, 2}, 0x00EE0086));
    EXPECT_TRUE(DeleteDC(memory) && screen.Drawn().empty());
}
// Its own table: 0 near red 9, 1 exactly green, 2 near black, 3 past the table black; 32-bit pixels likewise.
TEST_F(Gdi, OtherColoursTakeTheNearestPaletteEntry) {
    const Palette entries = WithTies();
    GuardedScreen screen(7, 1, 8, 4);
    ScreenDC dc(screen, &entries);
    ASSERT_TRUE(StretchFrom(MakeBitmap(4, 1, 8, {0, 1, 2, 3}, {{0, 0, 118, 0}, {0, 200, 0, 0}, {5, 5, 5, 0}}), dc,
                            {0, 0, 4, 1, 0, 0, 4, 1}));
    ASSERT_TRUE(StretchFrom(MakeBitmap(3, 1, 32, {RGB(101, 0, 0), RGB(0, 0, 0), RGB(1, 199, 0)}), dc, {4, 0, 3, 1, 0, 0, 3, 1}));
    EXPECT_EQ(Bytes(screen), (std::vector<BYTE>{9, 12, 3, 3, 7, 3, 12}));
}
}  // namespace
