// The screen palette from a bitmap's colour table, from a resource or a
// file, and the colour ramp wherever the bitmap gives no colours; colours
// turned into pixel values, single pixels read, and colour keys.
#include <climits>
#include <string>

#include "screen.h"
#include "surface_test.h"

static bool operator==(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue && a.peFlags == b.peFlags;
}

namespace {

using Entries = std::vector<PALETTEENTRY>;

// The ramp from its listed levels rather than from its formula.
Entries Ramp() {
    const BYTE redGreen[] = {0, 36, 72, 109, 145, 182, 218, 255}, blue[] = {0, 85, 170, 255};
    Entries ramp;
    for (int i = 0; i < 256; ++i) ramp.push_back({redGreen[i >> 5], redGreen[(i >> 2) & 7], blue[i & 3], 0});
    return ramp;
}

// Colour-table entry i is (red 255 - i, green 7i + 1, blue i): unlike the
// ramp and each other.
std::vector<RGBQUAD> Table(int count) {
    std::vector<RGBQUAD> table;
    for (int i = 0; i < count; ++i) table.push_back({BYTE(i), BYTE(i * 7 + 1), BYTE(255 - i), 0});
    return table;
}
// The ramp with the first n entries from Table, or the bytes at `raw` as they lie.
Entries Expected(int n, const std::vector<BYTE>* raw = nullptr, size_t rawEnd = 54 + 1024) {
    Entries entries = Ramp();
    for (int i = 0; i < 256; ++i) {
        if (i < n) entries[i] = {BYTE(255 - i), BYTE(i * 7 + 1), BYTE(i), 0};
        else if (raw)
            for (size_t b = 0; b < 4 && 54 + 4 * i + b < std::min(raw->size(), rawEnd); ++b)
                (&entries[i].peRed)[b] = (*raw)[54 + 4 * i + b];
    }
    return entries;
}

// A bitmap of width x 1 whose pixel bytes count up, so that what follows
// the colour table is easy to tell apart.
Picture Counting(WORD bitCount, LONG width, int colours, DWORD coloursUsed = 0, DWORD headerSize = 40) {
    Picture picture{.width = width, .bitCount = bitCount, .headerSize = headerSize, .coloursUsed = coloursUsed, .table = Table(colours)};
    for (LONG x = 0; x < width; ++x) picture.pixels.push_back(bitCount == 24 ? RGB(3 * x, 3 * x + 1, 3 * x + 2) : x % 256);
    return picture;
}

class Palettes : public SurfaceTest {
protected:
    Entries PaletteFor(LPCSTR name) {
        LPDIRECTDRAWPALETTE palette = DDCreatePaletteFromBitmap(dd_, name);
        if (!palette) return {};
        Entries entries(256);
        EXPECT_EQ(palette->GetEntries(0, 0, 256, entries.data()), DD_OK);
        EXPECT_EQ(palette->Release(), 0u);
        return entries;
    }
    Entries FromResource(const std::string& name, const std::vector<BYTE>& bytes) {
        AddBitmapResource(name.c_str(), bytes);
        return PaletteFor(name.c_str());
    }
    Entries FromFile(const std::vector<BYTE>& bytes) { return PaletteFor(TempFile(bytes).path()); }
};

// A resource finds its colours after a header of 40 bytes or more, and takes
// no more than it holds; a file needs a header of exactly 40, and keeps
// what follows its announced colours, up to 1024 bytes, unexchanged.
TEST_F(Palettes, ColoursComeFromTheTableAndTheRampFillsTheRest) {
    Entries texture;
    for (size_t at = 54; texture.size() < 256; at += 4) texture.push_back({Texture()[at + 2], Texture()[at + 1], Texture()[at], 0});
    const PALETTEENTRY white = {255, 255, 255, 0}, grey = {247, 247, 247, 0};
    EXPECT_TRUE(texture[0] == white && texture[1] == grey);
    EXPECT_EQ(PaletteFor(MAKEINTRESOURCEA(103)), texture);
    EXPECT_EQ(PaletteFor(DIE_TEXTURE), texture);
    EXPECT_EQ(PaletteFor(nullptr), Ramp());
    EXPECT_EQ(PaletteFor("no such bitmap.bmp"), Ramp());
    EXPECT_EQ(PaletteFor(MAKEINTRESOURCEA(999)), Ramp()) << "an integer name is never a path";
    EXPECT_EQ(FromResource("FOURBIT", PackedBitmap(Counting(4, 8, 16))), Expected(16));
    EXPECT_EQ(FromResource("FIVE", PackedBitmap(Counting(8, 64, 5, 5))), Expected(5));
    EXPECT_EQ(FromResource("MANY", PackedBitmap(Counting(8, 64, 300, 300))), Expected(256));
    EXPECT_EQ(FromFile(BitmapFile(Counting(8, 64, 300, 300))), Expected(256));
    EXPECT_EQ(FromResource("TRUECOLOUR", PackedBitmap(Counting(24, 400, 0))), Ramp());
    for (DWORD header : {108u, 124u}) EXPECT_EQ(FromResource("HEADER" + std::to_string(header), PackedBitmap(Counting(8, 16, 256, 0, header))), Expected(256));

    std::vector<BYTE> cut = PackedBitmap(Counting(8, 4, 256));
    cut.resize(40 + 5 * 4 + 3);
    EXPECT_EQ(FromResource("CUTTABLE", cut), Expected(5));
    cut.resize(20);
    EXPECT_EQ(FromResource("CUTHEADER", cut), Ramp());
    std::vector<BYTE> header = PackedBitmap(Counting(8, 4, 256));
    header[0] = header[1] = 0xF0;  // a header ending far past the resource
    EXPECT_EQ(FromResource("BEYOND", header), Ramp());
    header[0] = 12, header[1] = 0;  // the old core header, which has no colours-used field
    EXPECT_EQ(FromResource("CORE", header), Ramp());
}

TEST_F(Palettes, AFileKeepsWhatFollowsItsColoursAsItLies) {
    Picture five = Counting(8, 1200, 5, 5);
    for (RGBQUAD& quad : five.table) quad.rgbReserved = 0x5A;
    const std::vector<BYTE> fiveBytes = BitmapFile(five);
    Entries expected = Expected(5, &fiveBytes);
    for (int i = 0; i < 5; ++i) expected[i].peFlags = 0x5A;
    EXPECT_EQ(FromFile(fiveBytes), expected);
    const std::vector<BYTE> trueColour = BitmapFile(Counting(24, 400, 0));
    EXPECT_EQ(FromFile(trueColour), Expected(0, &trueColour));
    std::vector<BYTE> shortFile = BitmapFile(Counting(24, 4, 0));
    shortFile.resize(54 + 10);
    EXPECT_EQ(FromFile(shortFile), Expected(0, &shortFile));
    std::vector<BYTE> cut = BitmapFile(Counting(8, 4, 256));
    cut.resize(54 + 5 * 4 + 2);  // only whole entries are turned round
    EXPECT_EQ(FromFile(cut), Expected(5, &cut));
    cut.resize(14 + 20);
    EXPECT_EQ(FromFile(cut), Ramp());
    for (DWORD header : {108u, 124u}) {
        const std::vector<BYTE> bytes = BitmapFile(Counting(8, 16, 256, 0, header));
        EXPECT_EQ(FromFile(bytes), Expected(0, &bytes)) << header;
    }
}

TEST_F(Palettes, AResourceIsPreferredToAFileOfTheSameNameAndFailureGivesNone) {
    AddBitmapResource("TWICE.BMP", PackedBitmap(Counting(4, 4, 16)));
    Picture other = Counting(4, 4, 16);
    std::reverse(other.table.begin(), other.table.end());
    const TempFile file(BitmapFile(other), "TWICE.BMP");
    EXPECT_NE(PaletteFor(file.path()), Expected(16)) << "the full path names no resource";
    char previous[4096];
    ASSERT_TRUE(getcwd(previous, sizeof previous) && chdir(file.folder()) == 0);
    const Entries byName = PaletteFor("TWICE.BMP");
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(byName, Expected(16));
    ASSERT_TRUE(platform::testing::ScriptFailure("CreatePalette"));
    EXPECT_EQ(DDCreatePaletteFromBitmap(dd_, nullptr), nullptr);
}

// On the primary with a palette of distinct colours (i, 255 - i, i / 2) the
// colour becomes the index the device context chose, and pixel (0, 0) is put
// back; without a device context the pixel there is the answer; a lock that
// fails gives no colour; a busy surface is asked again.
TEST_F(Palettes, ColoursBecomeTheIndicesChosenForThem) {
    OpenDisplay();
    Entries distinct;
    for (int i = 0; i < 256; ++i) distinct.push_back({BYTE(i), BYTE(255 - i), BYTE(i / 2), 0});
    LPDIRECTDRAWPALETTE palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, distinct.data(), &palette, nullptr), DD_OK);
    ASSERT_EQ(primary_->SetPalette(Keep(palette)), DD_OK);
    SetPixelByte(primary_, 0, 0, 7);
    const std::vector<BYTE> before = PixelsOf(primary_);
    EXPECT_EQ(DDPixelForColor(primary_, RGB(50, 205, 25)), 50u);
    EXPECT_EQ(DDPixelForColor(primary_, RGB(200, 60, 99)), 198u);  // nearest is (198, 57, 99)
    ASSERT_TRUE(platform::testing::ScriptFailure("GetDC@1") && platform::testing::ScriptFailure("Lock@2:DDERR_SURFACELOST"));
    EXPECT_EQ(DDPixelForColor(primary_, RGB(50, 205, 25)), 7u);
    EXPECT_EQ(DDPixelForColor(primary_, RGB(50, 205, 25)), CLR_INVALID);
    EXPECT_EQ(PixelsOf(primary_), before);
    platform::testing::ScriptStillDrawing(5);
    EXPECT_EQ(DDPixelForColor(primary_, RGB(50, 205, 25)), 50u);
    platform::testing::ScriptStillDrawing(3);
    EXPECT_EQ(DDReadPixel(primary_, 0, 0), 7u);

    ASSERT_EQ(primary_->SetPalette(Keep(DDCreatePaletteFromBitmap(dd_, MAKEINTRESOURCEA(103)))), DD_OK);
    EXPECT_EQ(DDPixelForColor(primary_, 0xFFFFFF), 0u);
    EXPECT_EQ(DDPixelForColor(primary_, 0x787824), 2u);
}

// A 32-bit surface gives the whole word, an 8-bit one only its byte: the
// surfaces end at their last pixel, so a wider read is caught.
TEST_F(Palettes, PixelsAreReadAtTheirOwnWidthOnly) {
    GuardedScreen word(1, 1, 32, 0), byte(1, 1, 8, 0);
    word.Line(0)[0] = 0xEF, word.Line(0)[1] = 0xBE, word.Line(0)[2] = 0xAD, word.Line(0)[3] = 0xDE;
    byte.Line(0)[0] = 0x12;
    EXPECT_EQ(DDPixelForColor(word.Surface(), CLR_INVALID), 0xDEADBEEFu);
    EXPECT_EQ(DDPixelForColor(byte.Surface(), CLR_INVALID), 0x12u);
    EXPECT_EQ(byte.At(0, 0), 0x12);
    for (DWORD bits : {8u, 16u, 24u, 32u}) {
        GuardedScreen screen(3, 2, bits, 0);
        for (DWORD i = 0; i < bits / 8; ++i) screen.Line(1)[2 * bits / 8 + i] = BYTE(0x70 + i);
        const DWORD expected = bits == 8 ? 0x70 : bits == 16 ? 0x7170 : bits == 24 ? 0x727170 : 0x73727170;
        EXPECT_EQ(DDReadPixel(screen.Surface(), 2, 1), expected) << bits;
        for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MAX, INT_MAX}, {INT_MIN, 0}})
            EXPECT_EQ(DDReadPixel(screen.Surface(), x, y), CLR_INVALID) << x << ", " << y;
    }
    GuardedScreen pitched(3, 2);
    pitched.Line(1)[GuardedScreen::kBand + 1] = 5;
    EXPECT_EQ(DDReadPixel(pitched.Surface(), 1, 1), 5u);
    ASSERT_TRUE(platform::testing::ScriptFailure("Lock"));
    EXPECT_EQ(DDReadPixel(pitched.Surface(), 1, 1), CLR_INVALID);
}

TEST_F(Palettes, ColourKeysAreThePixelValuesFoundForThem) {
    LPDIRECTDRAWSURFACE4 surface = OffScreen(8, 4);
    SetPixelByte(surface, 5, 3, 0x5A);
    ASSERT_EQ(DDSetKeyFromPixel(surface, 5, 3), DD_OK);
    DDSURFACEDESC2 desc = DescriptionOf(surface);
    EXPECT_TRUE((desc.dwFlags & DDSD_CKSRCBLT) && !(desc.dwFlags & DDSD_CKDESTBLT));
    EXPECT_TRUE(desc.ddckCKSrcBlt.dwColorSpaceLowValue == 0x5A && desc.ddckCKSrcBlt.dwColorSpaceHighValue == 0x5A);
    ASSERT_EQ(DDSetKeyFromColor(surface, RGB(0, 0, 255)), DD_OK);
    desc = DescriptionOf(surface);
    EXPECT_TRUE(desc.ddckCKSrcBlt.dwColorSpaceLowValue == 3 && desc.ddckCKSrcBlt.dwColorSpaceHighValue == 3);
}

}  // namespace
