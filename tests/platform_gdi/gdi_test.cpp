// The bitmap reader, LoadImageA on the corpus, device contexts, colour matching and StretchBlt inside guard bands.
#include <api/directdraw.h>
#include <api/gdi.h>
#include <api/gdi_bmp.h>
#include <api/gdi_colour.h>
#include <api/palette.h>
#include <api/surface.h>
#include <gtest/gtest.h>
#include <png.h>
#include <testing/runtime_control.h>
#include <array>
#include <cstring>
#include <random>
#include "bitmap.h"
#include "screen.h"
namespace {
// A fresh platform for every test and no object alive after it, so that a leak fails the test that caused it.
struct FreshPlatform : ::testing::Test {
    void SetUp() override { platform::testing::ResetPlatform(); }
    void TearDown() override {
        EXPECT_EQ(platform::LiveSurfaceCount() + platform::LivePaletteCount() + platform::LiveDirectDrawCount() +
                      platform::LiveGdiObjectCount(), 0u) << "objects leaked";
    }
};
std::vector<BYTE> Corpus(const std::string& name) { return ReadBytes(TEST_DATA_DIR "/bmpsuite/" + name); }
// A resource is its file less the file header.
std::vector<BYTE> Packed(const std::vector<BYTE>& file) { return {file.begin() + sizeof(BITMAPFILEHEADER), file.end()}; }
// The remembered nearest-colour search gives the plain one's entry for every colour, ties to the lowest included.
TEST(NearestEntries, AgreeWithThePlainSearch) {
    std::mt19937 random(14);
    // Few channel values give many repeated entries and many colours half-way between two.
    auto palette = [&](std::vector<BYTE> values) {
        std::vector<PALETTEENTRY> entries(256);
        auto pick = [&] { return values[random() % values.size()]; };
        for (PALETTEENTRY& e : entries) e = {pick(), pick(), pick(), 0};
        return entries;
    };
    std::vector<BYTE> all(256), edges, halves;
    for (int v = 0; v < 256; ++v) all[v] = BYTE(v);
    for (int v = 0; v < 256; v += 16) edges.insert(edges.end(), {BYTE(v), BYTE(v + 15)});
    for (int v = 0; v < 256; v += 25) halves.push_back(BYTE(v));
    std::vector<COLORREF> colours;  // a grid across the cube, half-way colours, and anywhere
    for (const auto& set : {edges, halves})
        for (size_t i = 0, n = set.size(); i < n * n * n; ++i) colours.push_back(RGB(set[i % n], set[i / n % n], set[i / n / n]));
    for (int k = 0; k < 20000; ++k) colours.push_back(random() & 0xFFFFFF);
    for (const auto& entries : {palette(all), palette({0, 50, 100, 150, 200, 250}), palette({0, 255}), palette({9})}) {
        platform::NearestEntries nearest(entries.data());
        for (int pass = 0; pass < 2; ++pass)  // the second finds them remembered
            for (const COLORREF colour : colours)
                ASSERT_EQ(nearest.Find(colour), platform::NearestEntry(entries.data(), colour)) << std::hex << colour;
    }
}
std::optional<platform::DibImage> Decoded(const Picture& picture) {
    const std::vector<BYTE> bytes = PackedBitmap(picture);
    return platform::DecodePackedBitmap(bytes.data(), bytes.size());
}
// The pixels' indices, top row first; empty when the bytes are refused.
std::vector<BYTE> Indices(const Picture& picture) {
    const auto image = Decoded(picture);
    std::vector<BYTE> indices;
    for (LONG y = 0; image && y < image->height; ++y) {
        const auto row = image->bits.begin() + y * image->Stride();
        indices.insert(indices.end(), row, row + image->width);
    }
    return indices;
}
// The bitmap reader on numbers that do not fit together or data cut short: it may not allocate beyond the limits
// or return a picture it did not read in full (random bytes, cut anywhere: the fuzzer's).
TEST(HostileBitmaps, OnlyWhatFitsTheLimitsAndTheDataLoads) {
    struct Case { const char* what; LONG width, height; WORD bitCount; DWORD compression; std::vector<BYTE> data, indices; };
    const std::vector<BYTE> some(64), wide(16388);
    const Case cases[] = {
        {"the last row without its padding", 2, 2, 8, BI_RGB, {1, 1, 0, 0, 2, 2}, {2, 2, 1, 1}},
        {"the last row cut", 2, 2, 8, BI_RGB, {1, 1, 0, 0, 2}, {}},
        {"as wide as the limit", 16384, 1, 8, BI_RGB, wide, std::vector<BYTE>(16384)},
        {"wider than the limit", 16385, 1, 8, BI_RGB, wide, {}},
        {"taller than the limit", 1, 16385, 8, BI_RGB, some, {}},
        {"more pixels than the limit", 16384, 1025, 8, BI_RGB, some, {}},
        {"no columns", 0, 4, 8, BI_RGB, some, {}}, {"no rows", 4, 0, 8, BI_RGB, some, {}},
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
    };
    for (const Case& c : cases)
        EXPECT_EQ(Indices({c.width, c.height, c.bitCount, c.compression, 40, 2, {{}, {255, 255, 255, 0}}, {}, c.data}),
                  c.indices) << c.what;
}
// Narrower bit fields scale from their largest value to 8 bits, wider ones keep their top 8, a missing one is 0
// (the corpus has no references for most such fields).
TEST(HostileBitmaps, BitFieldsOfEveryWidth) {
    const struct { DWORD mask, pixel; BYTE red; } cases[] = {{0x1, 0x1, 255}, {0x6, 0x2, 85}, {0x3E0, 17 << 5, 139},
        {0xFF00, 0xAB00, 0xAB}, {0xFFE00000, 0x5A5u << 21, 0xB4}, {0xFFFFFFFF, 0x12345678, 0x12}, {0, 0xFFFFFFFF, 0}};
    for (const auto& c : cases) {
        Picture picture{1, 1, 32, BI_BITFIELDS};
        for (const DWORD word : {c.mask, 0u, 0u, c.pixel})
            for (int shift = 0; shift < 32; shift += 8) picture.data.push_back(static_cast<BYTE>(word >> shift));
        const auto image = Decoded(picture);
        EXPECT_TRUE(image && image->ColourAt(0, 0) == RGB(c.red, 0, 0)) << std::hex << c.mask;
    }
}
// LoadImageA on the bitmap corpus from files and resources: good files load to their reference pictures'
// pixels, questionable ones load or not as listed, bad ones only what can be read in full and makes sense.
// Every pixel against the reference but those it leaves transparent and, when `skipping`, those of index 0:
// run-length files that jump over pixels have a marker colour there that the picture does not use.
void ExpectPixelsOf(const platform::DibImage& image, const std::string& reference, bool skipping) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    const std::string path = TEST_DATA_DIR "/bmpsuite/ref/" + reference + ".png";
    ASSERT_TRUE(png_image_begin_read_from_file(&png, path.c_str())) << path;
    png.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> rgba(PNG_IMAGE_SIZE(png));
    ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr) && image.width == LONG(png.width) &&
                image.height == LONG(png.height)) << path;
    int wrong = 0, skips = 0;
    for (LONG y = 0; y < image.height; ++y)
        for (LONG x = 0; x < image.width; ++x) {
            const png_byte* expected = &rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            const bool skipped = skipping && expected[3] != 0 && image.bits[static_cast<size_t>(y) * image.Stride() + x] == 0;
            skips += skipped;
            if (expected[3] == 0 || skipped) continue;
            if (image.ColourAt(x, y) != RGB(expected[0], expected[1], expected[2]) && wrong++ == 0)
                ADD_FAILURE() << "first difference at (" << x << ", " << y << "): " << std::hex << image.ColourAt(x, y);
        }
    EXPECT_TRUE(wrong == 0 && (skips > 0) == skipping) << wrong << " wrong, " << skips << " skipped";
}
HBITMAP FromFile(const std::string& path, int cx = 0, int cy = 0) {
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
HBITMAP FromResource(LPCSTR name) {
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}
bool SameImage(const platform::DibImage* a, const platform::DibImage* b) {
    return a && b && a->width == b->width && a->height == b->height && a->bits == b->bits && a->colours.size() == b->colours.size() &&
           (a->colours.empty() || std::memcmp(a->colours.data(), b->colours.data(), a->colours.size() * 4) == 0);
}
using LoadImage = FreshPlatform;
// The image from the file, or null; what loads is sound, and a good file gives the same from its resource.
const platform::DibImage* LoadBothWays(const std::string& name, HBITMAP& file, HBITMAP& resource) {
    file = FromFile(TEST_DATA_DIR "/bmpsuite/" + name);
    AddBitmapResource(name.c_str(), Packed(Corpus(name))), resource = FromResource(name.c_str());
    for (HBITMAP bitmap : {file, resource}) {
        BITMAP r{};
        EXPECT_TRUE(!bitmap || (GetObjectA(bitmap, sizeof r, &r) == sizeof r && r.bmWidth > 0 && r.bmHeight > 0 &&
                                int64_t{r.bmWidth} * r.bmHeight <= platform::kMaxBitmapPixels));
    }
    EXPECT_TRUE(name[0] != 'g' || SameImage(platform::DibSectionImage(file), platform::DibSectionImage(resource)));
    return platform::DibSectionImage(file);
}
TEST_F(LoadImage, TheCorpusLoadsAsListed) {
    // After ">" the reference picture, none if empty ("~": less the pixels a run-length file skips), else its own:
    // rgb32bf shows rgb24's, pal4rle pal4's. Of b/: biSizeImage, density and bfSize are not needed; indices past the
    // table show black; no blue mask: blue 0. "!": refused: Huffman, 2 bits a pixel, OS/2 headers of 16 and 64
    // bytes, 300 colours for 8 bits, JPEG and PNG, 24-bit runs, 52- and 56-byte headers, alpha bit fields, 64 bits a
    // pixel; and what does not add up.
    const char* const corpus[] = {
        "g/pal1", "g/pal1bg", "g/pal1wb", "g/pal4", "g/pal4gs", "g/pal4rle>g/pal4", "g/pal8-0", "g/pal8", "g/pal8gs",
        "g/pal8nonsquare", "g/pal8os2", "g/pal8rle", "g/pal8topdown", "g/pal8v4", "g/pal8v5", "g/pal8w124",
        "g/pal8w125", "g/pal8w126", "g/rgb16-565", "g/rgb16-565pal", "g/rgb16", "g/rgb16bfdef", "g/rgb24",
        "g/rgb24pal", "g/rgb32", "g/rgb32bf>g/rgb24", "g/rgb32bfdef", "q/pal1p1", "q/pal4rlecut>~g/pal4",
        "q/pal4rletrns>~g/pal4", "q/pal8offs", "q/pal8os2-hs", "q/pal8os2-sz", "q/pal8os2sp", "q/pal8os2v2-40sz",
        "q/pal8rlecut>~g/pal8", "q/pal8rletrns>~g/pal8", "q/rgb16-231>", "q/rgb16-3103>", "q/rgb16faketrns",
        "q/rgb24largepal", "q/rgb24lprof", "q/rgb32-111110>", "q/rgb32-7187>", "q/rgb32-xbgr", "q/rgb32fakealpha",
        "q/rgba16-1924>", "q/rgba16-4444>", "q/rgba16-5551", "q/rgba32-1", "q/rgba32-1010102>", "q/rgba32-2>",
        "q/rgba32-61754>", "q/rgba32-81284>", "b/badbitssize>", "b/baddens1>", "b/baddens2>", "b/badfilesize>",
        "b/pal8badindex>", "b/rgb16-880>", "q/pal1huffmsb!", "q/pal2!", "q/pal2color!", "q/pal8os2v2-16!",
        "q/pal8os2v2-sz!", "q/pal8os2v2!", "q/pal8oversizepal!", "q/rgb24jpeg!", "q/rgb24png!", "q/rgb24rle24!",
        "q/rgb32h52!", "q/rgba32abf!", "q/rgba32h56!", "q/rgba64!", "b/badbitcount!", "b/badheadersize!",
        "b/badpalettesize!", "b/badplanes!", "b/badrle!", "b/badrle4!", "b/badrle4bis!", "b/badrle4ter!",
        "b/badrlebis!", "b/badrleter!", "b/badwidth!", "b/reallybig!", "b/rletopdown!", "b/shortfile!"};
    for (const std::string entry : corpus) {
        const size_t mark = entry.find_first_of(">!");
        const std::string name = entry.substr(0, mark), reference = mark == entry.npos ? name : entry.substr(mark + 1);
        SCOPED_TRACE(name);
        HBITMAP file, resource;
        const platform::DibImage* image = LoadBothWays(name + ".bmp", file, resource);
        EXPECT_EQ(image == nullptr, entry.ends_with('!'));
        const bool skipping = reference.starts_with("~");
        if (image && !reference.empty()) ExpectPixelsOf(*image, reference.substr(skipping), skipping);
        EXPECT_TRUE((!file || DeleteObject(file)) && (!resource || DeleteObject(resource)));
    }
}
// Resources as information header and what follows only, whole; files only when asked; the size asked for by
// nearest neighbour.
TEST_F(LoadImage, ResourcesFilesAndSizes) {
    const std::string path = TEST_DATA_DIR "/bmpsuite/g/pal8.bmp";  // 127 x 64
    const std::vector<BYTE> file = Corpus("g/pal8.bmp"), packed = Packed(file), cut(packed.begin(), packed.begin() + 5000);
    for (const auto& [name, bytes] : {std::pair{"Whole", file}, {"Cut", cut}, {"Packed", packed}}) AddBitmapResource(name, bytes);
    EXPECT_TRUE(DeleteObject(FromResource("Packed")));
    for (const char* name : {"Whole", "Cut", "Nowhere", path.c_str()}) EXPECT_EQ(FromResource(name), nullptr) << name;
    for (const std::string missing : {"g/none.bmp", "g", "README.md"})
        EXPECT_EQ(FromFile(TEST_DATA_DIR "/bmpsuite/" + missing), nullptr) << missing;
    EXPECT_EQ(LoadImageA(nullptr, MAKEINTRESOURCEA(103), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), 1, 0, 0, LR_LOADFROMFILE), nullptr);  // not IMAGE_BITMAP
    // Without LR_CREATEDIBSECTION as with it.
    HBITMAP plain = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    HBITMAP doubled = FromFile(path, 254, 128), narrow = FromFile(path, 10, 0);  // the height its own
    ASSERT_TRUE(plain && doubled && narrow && platform::DibSectionImage(plain)->width == 127);
    const platform::DibImage &a = *platform::DibSectionImage(plain), &b = *platform::DibSectionImage(doubled);
    ASSERT_TRUE(b.width == 254 && b.height == 128 && b.colours.size() == a.colours.size() &&
                platform::DibSectionImage(narrow)->width == 10 && platform::DibSectionImage(narrow)->height == 64);
    for (LONG y = 0; y < b.height; ++y)
        for (LONG x = 0; x < b.width; ++x)
            ASSERT_EQ(b.bits[y * b.Stride() + x], a.bits[(y / 2) * a.Stride() + x / 2]) << x << ", " << y;
    for (HBITMAP bitmap : {plain, doubled, narrow}) EXPECT_TRUE(DeleteObject(bitmap));
    for (const auto& [cx, cy] : {std::pair{-1, 0}, {20000, 10}, {8000, 8000}})
        EXPECT_EQ(FromFile(path, cx, cy), nullptr) << cx << " x " << cy;
}
using Gdi = FreshPlatform;
using Palette = std::array<PALETTEENTRY, 256>;
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
HBITMAP MakeBitmap(LONG width, LONG height, std::vector<DWORD> pixels, std::vector<RGBQUAD> table) {
    return platform::CreateDibSection(*Decoded({width, height, 8, BI_RGB, 40, DWORD(table.size()), table, pixels}));
}
BOOL StretchFrom(HBITMAP bitmap, HDC to, std::array<int, 8> b, DWORD rop = SRCCOPY) {
    HDC from = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(from, bitmap);
    const BOOL done = StretchBlt(to, b[0], b[1], b[2], b[3], from, b[4], b[5], b[6], b[7], rop);
    return SelectObject(from, old), DeleteDC(from), DeleteObject(bitmap), done;
}
// The nearest entry, ties to the lowest; without a palette the default ramp; nothing outside the surface.
TEST_F(Gdi, SetPixelTakesTheNearestEntryAndGetPixelItsColour) {
    // White but for entry 3 black, 7 and 9 two reds 20 apart, 12 and 13 one green.
    Palette entries;
    entries.fill(PALETTEENTRY{255, 255, 255, 0});
    entries[3] = {0, 0, 0, 0}, entries[7] = {100, 0, 0, 0}, entries[9] = {120, 0, 0, 0}, entries[12] = entries[13] = {0, 200, 0, 0};
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
        {"past the bitmap's left", 2, 2, 2, 2, {0, 0, 2, 2, -1, 0, 2, 2}, {_, _, _, _}}};
    Palette entries;
    std::vector<RGBQUAD> table;
    for (int i = 0; i < 256; ++i) entries[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0}, table.push_back({BYTE(i / 2), BYTE(255 - i), BYTE(i), 0});
    for (const Case& c : cases) {
        std::vector<DWORD> pixels(c.width * c.height);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = DWORD(i + 1);
        GuardedScreen screen(c.screenWidth, c.screenHeight, 8, 4);
        ScreenDC dc(screen, &entries);
        const bool refused = c.screen == std::vector<BYTE>(c.screen.size(), kBlank);
        EXPECT_EQ(StretchFrom(MakeBitmap(c.width, c.height, pixels, table), dc, c.blit), !refused) << c.what;
        for (size_t i = 0; i < c.screen.size(); ++i) EXPECT_EQ(screen.At(int(i) % c.screenWidth, int(i) / c.screenWidth), c.screen[i]) << c.what;
        EXPECT_TRUE(screen.GuardsIntact()) << c.what;
    }
    GuardedScreen screen(2, 2, 8, 4);
    ScreenDC dc(screen);
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(StretchFrom(MakeBitmap(2, 2, {1, 2, 3, 4}, {{}}), memory, {0, 0, 2, 2, 0, 0, 2, 2}) || StretchBlt(dc, 0, 0, 2, 2, dc, 0, 0, 2, 2, SRCCOPY) ||
                 StretchFrom(MakeBitmap(2, 2, {1, 2, 3, 4}, {{}}), dc, {0, 0, 2, 2, 0, 0, 2, 2}, 0x00EE0086));
    EXPECT_TRUE(DeleteDC(memory) && screen.Drawn().empty());
}
}  // namespace
