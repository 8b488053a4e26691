// Bitmaps into surfaces, the screen palette, colours into pixel values; each test must leave nothing alive.
#include <api/directdraw.h>
#include <api/gdi.h>
#include <api/palette.h>
#include <api/surface.h>
#include <gtest/gtest.h>
#include <surface/surface.h>
#include <testing/runtime_control.h>
#include <climits>
#include <cstring>
#include "bitmap.h"
#include "screen.h"
static bool operator==(const PALETTEENTRY& a, const PALETTEENTRY& b) { return !std::memcmp(&a, &b, sizeof a); }
namespace {
using Entries = std::vector<PALETTEENTRY>;
using Bytes = std::vector<BYTE>;
const Bytes& Texture() { static const Bytes bytes = ReadBytes(DIE_TEXTURE); return bytes; }
DDSURFACEDESC2 Blank(DWORD flags = 0, DWORD caps = 0) { DDSURFACEDESC2 d = {}; d.dwSize = sizeof d, d.dwFlags = flags, d.ddsCaps.dwCaps = caps; return d; }
// 3 x 2 colours the ramp holds exactly (224, 28, 3, 255, 0, 103); 4 x 2 checks of its first four and white.
Picture RampPicture() {
    Picture picture{.width = 3, .height = 2, .coloursUsed = 6, .pixels = {0, 1, 2, 3, 4, 5}};
    for (COLORREF c : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(109, 36, 255)})
        picture.table.push_back({GetBValue(c), GetGValue(c), GetRValue(c), 0});
    return picture;
}
const Bytes kRampIndices = {224, 28, 3, 255, 0, 103};
Picture Checks() {
    Picture picture = RampPicture();
    picture.width = 4, picture.table.resize(picture.coloursUsed = 4), picture.pixels = {0, 1, 2, 3, 3, 2, 1, 0};
    return picture.table[3] = {255, 255, 255, 0}, picture;
}
// The ramp, its first n entries (255 - i, 7i + 1, i), the rest a file's bytes after its headers as they lie.
Entries Expected(int n, const Bytes* raw = nullptr) {
    const BYTE redGreen[] = {0, 36, 72, 109, 145, 182, 218, 255}, blue[] = {0, 85, 170, 255};
    Entries entries;
    for (int i = 0; i < 256; ++i) {
        entries.push_back({redGreen[i >> 5], redGreen[(i >> 2) & 7], blue[i & 3], 0});
        if (i < n) entries[i] = {BYTE(255 - i), BYTE(i * 7 + 1), BYTE(i), 0};
        for (size_t b = 0; i >= n && raw && b < 4 && 54 + 4 * i + b < std::min<size_t>(raw->size(), 54 + 1024); ++b)
            (&entries[i].peRed)[b] = (*raw)[54 + 4 * i + b];
    }
    return entries;
}
// width x 1, pixels counting up, colour-table entry i (red 255 - i, green 7i + 1, blue i, the fourth byte reserved).
Picture Counting(WORD bitCount, LONG width, int colours, DWORD coloursUsed = 0, DWORD headerSize = 40, BYTE reserved = 0) {
    Picture picture{.width = width, .bitCount = bitCount, .headerSize = headerSize, .coloursUsed = coloursUsed};
    for (int i = 0; i < colours; ++i) picture.table.push_back({BYTE(i), BYTE(i * 7 + 1), BYTE(255 - i), reserved});
    for (LONG x = 0; x < width; ++x) picture.pixels.push_back(bitCount == 24 ? RGB(3 * x, 3 * x + 1, 3 * x + 2) : x % 256);
    return picture;
}
class Surfaces : public ::testing::Test {
public:
    void SetUp() override {
        platform::testing::ResetPlatform();
        ASSERT_EQ(DirectDrawCreate(nullptr, &first_, nullptr), DD_OK);
        ASSERT_EQ(first_->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd_)), DD_OK);
        AddBitmapResource(MAKEINTRESOURCEA(103), {Texture().begin() + 14, Texture().end()});
        AddBitmapResource("CHECKS", PackedBitmap(Checks()));
    }
    void TearDown() override {
        for (auto object = kept_.rbegin(); object != kept_.rend(); ++object) (*object)->Release();
        for (IUnknown* object : std::vector<IUnknown*>{primary_, dd_, first_}) if (object) object->Release();
        EXPECT_EQ(Live() + platform::LiveDirectDrawCount(), 0u) << "leaked";
    }
    size_t Live() const { return platform::LiveSurfaceCount() + platform::LivePaletteCount() + platform::LiveGdiObjectCount(); }
    void OpenDisplay() {  // 640 x 480 x 8 with one back buffer
        ASSERT_EQ(first_->SetCooperativeLevel(reinterpret_cast<HWND>(0x1000), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
        ASSERT_EQ(first_->SetDisplayMode(640, 480, 8), DD_OK);
        DDSURFACEDESC2 desc = Blank(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
        desc.dwBackBufferCount = 1;
        ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
    }
    template <class Object>
    Object* Keep(Object* object) { return object ? kept_.push_back(object), object : object; }  // released, last first, at the end
    LPDIRECTDRAWSURFACE4 OffScreen(DWORD width, DWORD height) {
        DDSURFACEDESC2 desc = Blank(DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
        LPDIRECTDRAWSURFACE4 surface = nullptr;
        desc.dwHeight = height, desc.dwWidth = width;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return Keep(surface);
    }
    static DDSURFACEDESC2 DescriptionOf(LPDIRECTDRAWSURFACE4 surface) {
        DDSURFACEDESC2 desc = Blank();
        EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        return desc;
    }
    // The surface's bytes, top row first, without row padding; with a value, byte (x, y) set first.
    static Bytes PixelsOf(LPDIRECTDRAWSURFACE4 surface, DWORD x = 0, DWORD y = 0, int value = -1) {
        DDSURFACEDESC2 desc = Blank();
        Bytes pixels;
        if (!surface || surface->Lock(nullptr, &desc, 0, nullptr) != DD_OK) { ADD_FAILURE() << "no surface to read"; return pixels; }
        BYTE* const bits = static_cast<BYTE*>(desc.lpSurface);
        if (value >= 0) bits[static_cast<ptrdiff_t>(y) * desc.lPitch + x] = BYTE(value);
        for (DWORD row = 0; row < desc.dwHeight; ++row)
            pixels.insert(pixels.end(), bits + row * desc.lPitch, bits + row * desc.lPitch + desc.dwWidth * (desc.ddpfPixelFormat.dwRGBBitCount / 8));
        return surface->Unlock(nullptr), pixels;
    }
    Entries PaletteFor(LPCSTR name) {
        LPDIRECTDRAWPALETTE palette = DDCreatePaletteFromBitmap(dd_, name);
        const platform::Palette* own = platform::Palette::FromInterface(palette);
        Entries entries = own ? Entries(own->Entries(), own->Entries() + 256) : Entries(256);
        EXPECT_TRUE(own && palette->Release() == 0);
        return entries;
    }
    LPDIRECTDRAWSURFACE4 Load(LPCSTR name) { return Keep(DDLoadBitmap(dd_, name, 0, 0)); }
    LPDIRECTDRAW first_ = nullptr;
    LPDIRECTDRAW4 dd_ = nullptr;
    LPDIRECTDRAWSURFACE4 primary_ = nullptr;
    std::vector<IUnknown*> kept_;
};
// Upright into system memory, at its own size or a given one; a resource, else the file of that name.
TEST_F(Surfaces, BitmapsLoadIntoSystemMemoryUprightFromResourcesOrFiles) {
    EXPECT_EQ(PixelsOf(Load(TempFile(BitmapFile(RampPicture())).path())), kRampIndices);
    const TempFile both(BitmapFile(Checks()));
    AddBitmapResource(both.path(), PackedBitmap(RampPicture()));
    EXPECT_EQ(PixelsOf(Load(both.path())), kRampIndices);
    OpenDisplay();
    ASSERT_EQ(primary_->SetPalette(Keep(DDCreatePaletteFromBitmap(dd_, MAKEINTRESOURCEA(103)))), DD_OK);
    LPDIRECTDRAWSURFACE4 texture = Load(MAKEINTRESOURCEA(103)), scaled = Keep(DDLoadBitmap(dd_, MAKEINTRESOURCEA(103), 200, 100));
    ASSERT_TRUE(texture && scaled);
    const DDSURFACEDESC2 desc = DescriptionOf(texture);
    EXPECT_TRUE(desc.dwWidth == 400 && desc.dwHeight == 200 && desc.ddpfPixelFormat.dwRGBBitCount == 8);
    EXPECT_EQ(desc.ddsCaps.dwCaps, static_cast<DWORD>(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY));
    Bytes expected;
    for (int y = 199; y >= 0; --y) expected.insert(expected.end(), &Texture()[1078 + y * 400], &Texture()[1078 + y * 400 + 400]);
    EXPECT_TRUE(PixelsOf(texture) == expected);
    EXPECT_TRUE(DescriptionOf(scaled).dwWidth == 200 && DescriptionOf(scaled).dwHeight == 100);
}
// What cannot be loaded or made leaves nothing; without the surface's device context it still comes back.
TEST_F(Surfaces, WhatCannotBeLoadedGivesNoSurfaceAndLeavesNothing) {
    const TempFile notABitmap(Bytes(100, 'x'));
    const std::pair<LPCSTR, const char*> cases[] = {{MAKEINTRESOURCEA(999), ""}, {"no such bitmap.bmp", ""}, {nullptr, ""},
                                                    {notABitmap.path(), ""}, {MAKEINTRESOURCEA(103), "LoadImageA"},
                                                    {MAKEINTRESOURCEA(103), "CreateSurface"}};
    for (const auto& [name, failure] : cases) {
        const size_t before = Live();
        ASSERT_TRUE(!*failure || platform::testing::ScriptFailure(std::string(failure) + "@1"));
        EXPECT_TRUE(DDLoadBitmap(dd_, name, 0, 0) == nullptr && Live() == before) << failure;
    }
    ASSERT_TRUE(platform::testing::ScriptFailure("GetDC"));
    LPDIRECTDRAWSURFACE4 surface = Load(MAKEINTRESOURCEA(103));
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(DescriptionOf(surface).dwWidth == 400u && platform::LiveGdiObjectCount() == 0u);
}
// A refresh stretches the bitmap over a lost surface, failing untouched without either, a refused
// device context its result; a blit stretches its source rectangle, 0 meaning whole.
TEST_F(Surfaces, RefreshAndBlitStretchTheBitmapOverTheSurface) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "CHECKS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    LPDIRECTDRAWSURFACE4 part = OffScreen(2, 2), whole = OffScreen(4, 2), surface = OffScreen(8, 4);
    EXPECT_TRUE(DDBlitBitmap(part, bitmap, 2, 0, 2, 2) == DD_OK && PixelsOf(part) == (Bytes{3, 255, 28, 224}));
    EXPECT_TRUE(DDBlitBitmap(whole, bitmap, 0, 0, 0, 0) == DD_OK && PixelsOf(whole) == (Bytes{224, 28, 3, 255, 255, 3, 28, 224}));
    EXPECT_TRUE(DDBlitBitmap(nullptr, bitmap, 0, 0, 0, 0) == E_FAIL && DDBlitBitmap(part, nullptr, 0, 0, 0, 0) == E_FAIL);
    EXPECT_TRUE(DeleteObject(bitmap));
    platform::Surface::FromInterface(surface)->Lose();
    ASSERT_EQ(DDRefreshBitmap(surface, "CHECKS"), DD_OK);
    EXPECT_EQ(PixelsOf(surface), (Bytes{224, 224, 28, 28, 3, 3, 255, 255, 224, 224, 28, 28, 3, 3, 255, 255,
                                        255, 255, 3, 3, 28, 28, 224, 224, 255, 255, 3, 3, 28, 28, 224, 224}));
    const Bytes before = PixelsOf(surface, 1, 1, 0x42);
    const size_t live = Live();
    for (const auto& [target, name] : {std::pair{LPDIRECTDRAWSURFACE4(nullptr), "CHECKS"}, {surface, nullptr}, {surface, "no such bitmap.bmp"}})
        EXPECT_EQ(DDRefreshBitmap(target, name), E_FAIL) << (name ? name : "no name");
    ASSERT_TRUE(platform::testing::ScriptFailure("GetDC:DDERR_SURFACEBUSY"));
    EXPECT_EQ(DDRefreshBitmap(surface, "CHECKS"), DDERR_SURFACEBUSY);
    EXPECT_TRUE(Live() == live && PixelsOf(surface) == before);
}
// A resource's colours follow a header of 40 bytes or more, no more than it holds; a file needs a header of exactly
// 40 and keeps what follows its announced colours, up to 1024 bytes, unexchanged; a resource beats a file's name.
TEST_F(Surfaces, PaletteColoursComeFromTheTableAndTheRampFillsTheRest) {
    Entries texture;
    for (size_t at = 54; texture.size() < 256; at += 4) texture.push_back({Texture()[at + 2], Texture()[at + 1], Texture()[at], 0});
    EXPECT_TRUE(texture[0] == PALETTEENTRY({255, 255, 255, 0}) && texture[1] == PALETTEENTRY({247, 247, 247, 0}));
    EXPECT_TRUE(PaletteFor(MAKEINTRESOURCEA(103)) == texture && PaletteFor(DIE_TEXTURE) == texture);
    for (LPCSTR none : {LPCSTR(nullptr), LPCSTR("no such bitmap.bmp"), LPCSTR(MAKEINTRESOURCEA(999))}) EXPECT_EQ(PaletteFor(none), Expected(0));
    Bytes cut = PackedBitmap(Counting(8, 4, 256)), beyond = cut, core = cut;
    cut.resize(40 + 5 * 4 + 3);
    beyond[0] = beyond[1] = 0xF0;  // a header ending far past the resource
    core[0] = 12;  // the old core header, which has no colours-used field
    const std::tuple<const char*, Bytes, int> resources[] = {
        {"FOURBIT", PackedBitmap(Counting(4, 8, 16)), 16}, {"FIVE", PackedBitmap(Counting(8, 64, 5, 5)), 5},
        {"MANY", PackedBitmap(Counting(8, 64, 300, 300)), 256}, {"TRUECOLOUR", PackedBitmap(Counting(24, 400, 0)), 0},
        {"HEADER108", PackedBitmap(Counting(8, 16, 256, 0, 108)), 256}, {"HEADER124", PackedBitmap(Counting(8, 16, 256, 0, 124)), 256},
        {"CUTTABLE", cut, 5}, {"CUTHEADER", Bytes(cut.begin(), cut.begin() + 20), 0}, {"BEYOND", beyond, 0}, {"CORE", core, 0}};
    for (const auto& [name, bytes, n] : resources)
        EXPECT_EQ((AddBitmapResource(name, bytes), PaletteFor(name)), Expected(n)) << name;
    Bytes trueColour = BitmapFile(Counting(24, 400, 0)), cutFile = BitmapFile(Counting(8, 4, 256));
    cutFile.resize(54 + 5 * 4 + 2);  // only whole entries are turned round
    const Bytes reserved = BitmapFile(Counting(8, 1200, 5, 5, 40, 0x5A));  // the fourth byte stays the file's
    Entries withFlags = Expected(5, &reserved);
    for (int i = 0; i < 5; ++i) withFlags[i].peFlags = 0x5A;
    const std::tuple<Bytes, int, Entries> files[] = {
        {BitmapFile(Counting(8, 64, 300, 300)), 256, {}}, {BitmapFile(Counting(8, 16, 256, 0, 108)), 0, {}},
        {BitmapFile(Counting(8, 16, 256, 0, 124)), 0, {}}, {trueColour, 0, {}}, {Bytes(trueColour.begin(), trueColour.begin() + 64), 0, {}},
        {cutFile, 5, {}}, {Bytes(cutFile.begin(), cutFile.begin() + 34), 0, {}}, {reserved, 5, withFlags}};
    for (const auto& [bytes, n, special] : files)
        EXPECT_EQ(PaletteFor(TempFile(bytes).path()), special.empty() ? Expected(n, &bytes) : special) << bytes.size();
    Picture reversed = Counting(4, 4, 16);
    std::reverse(reversed.table.begin(), reversed.table.end());
    const TempFile twice(BitmapFile(reversed));
    AddBitmapResource(twice.path(), PackedBitmap(Counting(4, 4, 16)));
    EXPECT_EQ(PaletteFor(twice.path()), Expected(16));
    ASSERT_TRUE(platform::testing::ScriptFailure("CreatePalette"));
    EXPECT_EQ(DDCreatePaletteFromBitmap(dd_, nullptr), nullptr);
}
// Palette (i, 255 - i, i / 2): the index chosen, pixel (0, 0) put back; without a device context
// the pixel there is the answer; a failed lock gives none; a busy surface is asked again.
TEST_F(Surfaces, ColoursBecomeTheIndicesChosenForThem) {
    OpenDisplay();
    Entries distinct;
    for (int i = 0; i < 256; ++i) distinct.push_back({BYTE(i), BYTE(255 - i), BYTE(i / 2), 0});
    LPDIRECTDRAWPALETTE palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, distinct.data(), &palette, nullptr), DD_OK);
    ASSERT_EQ(primary_->SetPalette(Keep(palette)), DD_OK);
    const Bytes before = PixelsOf(primary_, 0, 0, 7);
    EXPECT_EQ(DDPixelForColor(primary_, RGB(50, 205, 25)), 50u);
    EXPECT_EQ(DDPixelForColor(primary_, RGB(200, 60, 99)), 198u);  // nearest is (198, 57, 99)
    ASSERT_TRUE(platform::testing::ScriptFailure("GetDC@1") && platform::testing::ScriptFailure("Lock@2:DDERR_SURFACELOST"));
    EXPECT_EQ(DDPixelForColor(primary_, RGB(50, 205, 25)), 7u);
    EXPECT_EQ(DDPixelForColor(primary_, RGB(50, 205, 25)), CLR_INVALID);
    EXPECT_EQ(PixelsOf(primary_), before);
    platform::testing::ScriptStillDrawing(5);
    EXPECT_EQ(DDPixelForColor(primary_, RGB(50, 205, 25)), 50u);
    ASSERT_EQ(primary_->SetPalette(Keep(DDCreatePaletteFromBitmap(dd_, MAKEINTRESOURCEA(103)))), DD_OK);
    EXPECT_TRUE(DDPixelForColor(primary_, 0xFFFFFF) == 0 && DDPixelForColor(primary_, 0x787824) == 2);
}
// Pixels read at their own width (the memory ends at the last pixel) and pitch, also for no colour; keys as found.
TEST_F(Surfaces, PixelsAreReadAtTheirOwnWidthOnly) {
    GuardedScreen pitched(3, 2);
    for (DWORD bits : {8u, 16u, 24u, 32u}) {
        GuardedScreen screen(3, 2, bits, 0);
        for (DWORD i = 0; i < bits / 8; ++i) screen.Line(1)[2 * bits / 8 + i] = screen.Line(0)[i] = BYTE(0x70 + i);
        const DWORD pixel = 0x73727170u & (bits == 32 ? ~0u : (1u << bits) - 1);
        EXPECT_EQ(DDReadPixel(screen.Surface(), 2, 1), pixel) << bits;
        EXPECT_TRUE(DDPixelForColor(screen.Surface(), CLR_INVALID) == pixel && screen.At(0, 0) == 0x70) << bits;
        for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MAX, INT_MAX}, {INT_MIN, 0}})
            EXPECT_EQ(DDReadPixel(screen.Surface(), x, y), CLR_INVALID) << x << ", " << y;
    }
    pitched.Line(1)[GuardedScreen::kBand + 1] = 5;
    EXPECT_EQ(DDReadPixel(pitched.Surface(), 1, 1), 5u);
    LPDIRECTDRAWSURFACE4 surface = OffScreen(8, 4);
    PixelsOf(surface, 5, 3, 0x5A);
    auto key = [&](HRESULT result) {  // for the source only
        const DDSURFACEDESC2 d = DescriptionOf(surface);
        EXPECT_TRUE(result == DD_OK && (d.dwFlags & DDSD_CKSRCBLT) && !(d.dwFlags & DDSD_CKDESTBLT));
        return std::pair{d.ddckCKSrcBlt.dwColorSpaceLowValue, d.ddckCKSrcBlt.dwColorSpaceHighValue};
    };
    EXPECT_EQ(key(DDSetKeyFromPixel(surface, 5, 3)), (std::pair<DWORD, DWORD>(0x5A, 0x5A)));
    EXPECT_EQ(key(DDSetKeyFromColor(surface, RGB(0, 0, 255))), (std::pair<DWORD, DWORD>(3, 3)));
    ASSERT_TRUE(platform::testing::ScriptFailure("Lock"));
    EXPECT_EQ(DDReadPixel(pitched.Surface(), 1, 1), CLR_INVALID);
}
}  // namespace
