// The screen palette from a bitmap's colour table, from a resource or a file,
// and the colour ramp wherever the bitmap gives no colours.
#include <algorithm>
#include <string>

#include "bitmap_bytes.h"
#include "surface_test.h"

namespace {

// The ramp from its listed levels rather than from its formula.
std::vector<PALETTEENTRY> Ramp() {
    const BYTE redGreen[] = {0, 36, 72, 109, 145, 182, 218, 255};
    const BYTE blue[] = {0, 85, 170, 255};
    std::vector<PALETTEENTRY> ramp;
    for (int i = 0; i < 256; ++i) ramp.push_back(Entry(redGreen[i >> 5], redGreen[(i >> 2) & 7], blue[i & 3]));
    return ramp;
}

// Colour-table entries unlike the ramp and unlike each other.
std::vector<RGBQUAD> Table(int count) {
    std::vector<RGBQUAD> table;
    for (int i = 0; i < count; ++i)
        table.push_back(RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i * 7 + 1), static_cast<BYTE>(255 - i), 0});
    return table;
}

PALETTEENTRY AsEntry(const RGBQUAD& quad) { return Entry(quad.rgbRed, quad.rgbGreen, quad.rgbBlue); }

// Four bytes of a file as they lie, blue first: what an entry holds unexchanged.
PALETTEENTRY RawEntry(const std::vector<BYTE>& bytes, size_t at) {
    return Entry(bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]);
}

// A bitmap of width x 1 pixels whose pixel bytes run 0, 1, 2 ... so that
// what follows the colour table is easy to tell apart.
Picture CountingPicture(WORD bitCount, LONG width, std::vector<RGBQUAD> table) {
    Picture picture;
    picture.width = width;
    picture.bitCount = bitCount;
    picture.table = std::move(table);
    for (LONG x = 0; x < width; ++x)
        picture.pixels.push_back(bitCount == 24 ? RGB(3 * x, 3 * x + 1, 3 * x + 2) : static_cast<DWORD>(x % 256));
    return picture;
}

class Palettes : public SurfaceTest {
protected:
    // The 256 entries of the palette made for that name.
    std::vector<PALETTEENTRY> PaletteFor(LPCSTR name) {
        LPDIRECTDRAWPALETTE palette = DDCreatePaletteFromBitmap(dd_, name);
        EXPECT_NE(palette, nullptr);
        if (!palette) return {};
        std::vector<PALETTEENTRY> entries = EntriesOf(palette);
        EXPECT_EQ(palette->Release(), 0u);
        return entries;
    }
};

TEST_F(Palettes, WithoutANameThePaletteIsTheRamp) {
    const std::vector<PALETTEENTRY> entries = PaletteFor(nullptr);
    ASSERT_EQ(entries.size(), 256u);
    EXPECT_EQ(entries[0], Entry(0, 0, 0));
    EXPECT_EQ(entries[255], Entry(255, 255, 255));
    EXPECT_EQ(entries[224], Entry(255, 0, 0));
    EXPECT_EQ(entries[28], Entry(0, 255, 0));
    EXPECT_EQ(entries[3], Entry(0, 0, 255));
    EXPECT_EQ(entries[103], Entry(109, 36, 255));
    EXPECT_EQ(entries, Ramp());
}

TEST_F(Palettes, ANameOfNoResourceAndNoFileGivesTheRamp) {
    EXPECT_EQ(PaletteFor("no such bitmap.bmp"), Ramp());
    // An integer name that is no resource is never taken for a path.
    EXPECT_EQ(PaletteFor(MAKEINTRESOURCEA(999)), Ramp());
}

TEST_F(Palettes, TheDieTextureGivesAllItsColoursFromResourceOrFile) {
    AddBitmapResource(MAKEINTRESOURCEA(103), {TextureFile().begin() + 14, TextureFile().end()});
    std::vector<PALETTEENTRY> table;
    for (size_t at = 54; table.size() < 256; at += 4)
        table.push_back(Entry(TextureFile()[at + 2], TextureFile()[at + 1], TextureFile()[at]));

    const std::vector<PALETTEENTRY> fromResource = PaletteFor(MAKEINTRESOURCEA(103));
    ASSERT_EQ(fromResource.size(), 256u);
    EXPECT_EQ(fromResource[0], Entry(255, 255, 255));
    EXPECT_EQ(fromResource[1], Entry(247, 247, 247));
    EXPECT_EQ(fromResource, table);
    EXPECT_EQ(PaletteFor(DIE_TEXTURE), table);
}

TEST_F(Palettes, AFourBitResourceGivesSixteenEntriesAndTheRampAfter) {
    AddBitmapResource("FOURBIT", PackedBitmap(CountingPicture(4, 8, Table(16))));
    std::vector<PALETTEENTRY> expected = Ramp();
    for (int i = 0; i < 16; ++i) expected[i] = AsEntry(Table(16)[i]);
    EXPECT_EQ(PaletteFor("FOURBIT"), expected);
}

TEST_F(Palettes, ColoursUsedLimitsTheEntriesAndAbove256TakesAll) {
    Picture few = CountingPicture(8, 64, Table(5));
    few.coloursUsed = 5;
    AddBitmapResource("FIVECOLOURS", PackedBitmap(few));
    std::vector<PALETTEENTRY> expected = Ramp();
    for (int i = 0; i < 5; ++i) expected[i] = AsEntry(Table(5)[i]);
    EXPECT_EQ(PaletteFor("FIVECOLOURS"), expected);

    Picture many = CountingPicture(8, 64, Table(300));
    many.coloursUsed = 300;
    AddBitmapResource("MANYCOLOURS", PackedBitmap(many));
    std::vector<PALETTEENTRY> first256;
    for (int i = 0; i < 256; ++i) first256.push_back(AsEntry(Table(300)[i]));
    EXPECT_EQ(PaletteFor("MANYCOLOURS"), first256);
    const TempFile file(BitmapFile(many));
    EXPECT_EQ(PaletteFor(file.path()), first256);
}

// From a file the whole 1024 bytes after the header land in the table; only
// the announced entries are turned round, the rest stay as the file has them.
TEST_F(Palettes, AFileLeavesWhatFollowsItsAnnouncedColoursUnexchanged) {
    Picture picture = CountingPicture(8, 1200, Table(5));
    picture.coloursUsed = 5;
    for (RGBQUAD& quad : picture.table) quad.rgbReserved = 0x5A;
    const std::vector<BYTE> bytes = BitmapFile(picture);
    const TempFile file(bytes);
    const std::vector<PALETTEENTRY> entries = PaletteFor(file.path());
    ASSERT_EQ(entries.size(), 256u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(entries[i], Entry(255 - i, i * 7 + 1, i, 0x5A)) << i;
    for (int i = 5; i < 256; ++i) EXPECT_EQ(entries[i], RawEntry(bytes, 54 + 4 * i)) << i;
}

TEST_F(Palettes, TrueColourGivesTheRampFromAResourceAndRawBytesFromAFile) {
    const Picture picture = CountingPicture(24, 400, {});
    AddBitmapResource("TRUECOLOUR", PackedBitmap(picture));
    EXPECT_EQ(PaletteFor("TRUECOLOUR"), Ramp());

    const std::vector<BYTE> bytes = BitmapFile(picture);
    ASSERT_GE(bytes.size(), 54u + 1024u);
    const TempFile file(bytes);
    const std::vector<PALETTEENTRY> entries = PaletteFor(file.path());
    ASSERT_EQ(entries.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(entries[i], RawEntry(bytes, 54 + 4 * i)) << i;
}

TEST_F(Palettes, AShortTrueColourFileKeepsTheRampWhereItEnds) {
    std::vector<BYTE> bytes = BitmapFile(CountingPicture(24, 4, {}));
    bytes.resize(54 + 10);
    const TempFile file(bytes);
    std::vector<PALETTEENTRY> expected = Ramp();
    expected[0] = RawEntry(bytes, 54);
    expected[1] = RawEntry(bytes, 58);
    expected[2].peRed = bytes[62];
    expected[2].peGreen = bytes[63];
    EXPECT_EQ(PaletteFor(file.path()), expected);
}

// A cut-off file turns round only the entries it holds whole; the rest of the
// table is the ramp, or the file's bytes as far as they go.
TEST_F(Palettes, ATruncatedFileExchangesOnlyTheEntriesItRead) {
    std::vector<BYTE> bytes = BitmapFile(CountingPicture(8, 4, Table(256)));
    bytes.resize(54 + 5 * 4 + 2);
    const TempFile file(bytes);
    std::vector<PALETTEENTRY> expected = Ramp();
    for (int i = 0; i < 5; ++i) expected[i] = AsEntry(Table(5)[i]);
    expected[5].peRed = bytes[74];
    expected[5].peGreen = bytes[75];
    EXPECT_EQ(PaletteFor(file.path()), expected);

    bytes.resize(14 + 20);  // not even the whole information header
    const TempFile cut(bytes);
    EXPECT_EQ(PaletteFor(cut.path()), Ramp());
}

// A resource finds its colours after a header of any size of at least 40
// bytes; a file needs a header of exactly 40 and otherwise keeps the bytes
// after the first 40 as they lie.
TEST_F(Palettes, LongerHeadersServeResourcesButNotFiles) {
    for (const DWORD headerSize : {108u, 124u}) {
        SCOPED_TRACE(headerSize);
        Picture picture = CountingPicture(8, 16, Table(256));
        picture.headerSize = headerSize;
        const std::string name = "HEADER" + std::to_string(headerSize);
        AddBitmapResource(name.c_str(), PackedBitmap(picture));
        std::vector<PALETTEENTRY> table;
        for (const RGBQUAD& quad : Table(256)) table.push_back(AsEntry(quad));
        EXPECT_EQ(PaletteFor(name.c_str()), table);

        const std::vector<BYTE> bytes = BitmapFile(picture);
        const TempFile file(bytes);
        const std::vector<PALETTEENTRY> entries = PaletteFor(file.path());
        ASSERT_EQ(entries.size(), 256u);
        for (int i = 0; i < 256; ++i) EXPECT_EQ(entries[i], RawEntry(bytes, 54 + 4 * i)) << i;
        const size_t firstColour = (headerSize - 40) / 4;
        EXPECT_EQ(entries[firstColour], Entry(0, 1, 255));  // blue, green, red as stored
    }
}

TEST_F(Palettes, AResourceCutShortIsReadOnlyAsFarAsItGoes) {
    std::vector<BYTE> bytes = PackedBitmap(CountingPicture(8, 4, Table(256)));
    bytes.resize(40 + 5 * 4 + 3);
    AddBitmapResource("CUTTABLE", bytes);
    std::vector<PALETTEENTRY> expected = Ramp();
    for (int i = 0; i < 5; ++i) expected[i] = AsEntry(Table(5)[i]);
    EXPECT_EQ(PaletteFor("CUTTABLE"), expected);

    bytes.resize(20);  // not even a whole header
    AddBitmapResource("CUTHEADER", bytes);
    EXPECT_EQ(PaletteFor("CUTHEADER"), Ramp());

    std::vector<BYTE> beyond = PackedBitmap(CountingPicture(8, 4, Table(256)));
    beyond[0] = beyond[1] = 0xF0;  // the header would end far past the resource
    AddBitmapResource("HEADERBEYOND", beyond);
    EXPECT_EQ(PaletteFor("HEADERBEYOND"), Ramp());

    std::vector<BYTE> core = PackedBitmap(CountingPicture(8, 4, Table(256)));
    core[0] = 12;  // the size of the old core header, which has no colours-used field
    AddBitmapResource("COREHEADER", core);
    EXPECT_EQ(PaletteFor("COREHEADER"), Ramp());
}

TEST_F(Palettes, AResourceIsPreferredToAFileOfTheSameName) {
    AddBitmapResource("TWICE.BMP", PackedBitmap(CountingPicture(4, 4, Table(16))));
    Picture other = CountingPicture(4, 4, Table(16));
    std::reverse(other.table.begin(), other.table.end());
    const TempFile file(BitmapFile(other), "TWICE.BMP");
    std::vector<PALETTEENTRY> expected = Ramp();
    for (int i = 0; i < 16; ++i) expected[i] = AsEntry(Table(16)[i]);
    std::vector<PALETTEENTRY> fromFile;
    for (int i = 0; i < 16; ++i) fromFile.push_back(AsEntry(other.table[i]));

    const std::vector<PALETTEENTRY> byPath = PaletteFor(file.path());  // the full path names no resource
    ASSERT_EQ(byPath.size(), 256u);
    EXPECT_EQ(std::vector<PALETTEENTRY>(byPath.begin(), byPath.begin() + 16), fromFile);
    const InFolder there(file.folder());
    EXPECT_EQ(PaletteFor("TWICE.BMP"), expected);
}

TEST_F(Palettes, NoPaletteWhenItCannotBeMade) {
    ASSERT_TRUE(platform::testing::ScriptFailure("CreatePalette"));
    EXPECT_EQ(DDCreatePaletteFromBitmap(dd_, nullptr), nullptr);
    EXPECT_EQ(platform::LivePaletteCount(), 0u);
}

}  // namespace
