// LoadImageA: bitmaps from the program's resources and from files, at their
// own size or scaled, and the way the surface utilities move one onto a
// surface.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <api/resources.h>

#include "display_test.h"

namespace {

const std::string kCorpus = TEST_DATA_DIR "/bmpsuite/";

std::vector<BYTE> ReadFile(const std::string& name) {
    std::ifstream file(kCorpus + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A bitmap resource is its file less the BITMAPFILEHEADER.
std::vector<BYTE> AsResource(const std::string& name) {
    std::vector<BYTE> bytes = ReadFile(name);
    bytes.erase(bytes.begin(), bytes.begin() + sizeof(BITMAPFILEHEADER));
    return bytes;
}

struct TestResource {
    LPCSTR name;
    const char* file;
};

const TestResource kResources[] = {
    {MAKEINTRESOURCEA(103), "g/pal8-0.bmp"}, {MAKEINTRESOURCEA(104), "g/pal4rle.bmp"},
    {MAKEINTRESOURCEA(105), "g/pal8os2.bmp"}, {"Sixteen", "g/rgb16-565.bmp"},
    {"TopDown", "g/pal8topdown.bmp"},         {"BottomUp", "g/pal8.bmp"},
};

// The test program's resources, registered once: the table must outlive the
// program.
void RegisterTestResources() {
    static const bool registered = [] {
        static std::vector<std::vector<BYTE>> data;
        static std::vector<platform::ResourceEntry> table;
        for (const TestResource& resource : kResources) data.push_back(AsResource(resource.file));
        std::vector<BYTE> cut = AsResource("g/pal8.bmp");
        cut.resize(cut.size() / 2);
        data.push_back(cut);
        for (size_t i = 0; i < std::size(kResources); ++i)
            table.push_back({RT_BITMAP, kResources[i].name, data[i].data(), static_cast<DWORD>(data[i].size())});
        table.push_back({RT_BITMAP, MAKEINTRESOURCEA(106), data.back().data(), static_cast<DWORD>(data.back().size())});
        table.push_back({MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(107), data[0].data(), static_cast<DWORD>(data[0].size())});
        return platform::RegisterResources(table.data(), table.size());
    }();
    ASSERT_TRUE(registered);
}

const HINSTANCE kModule = reinterpret_cast<HINSTANCE>(0x400000);

HBITMAP FromResource(LPCSTR name, int cx = 0, int cy = 0) {
    return static_cast<HBITMAP>(LoadImageA(kModule, name, IMAGE_BITMAP, cx, cy, LR_CREATEDIBSECTION));
}

HBITMAP FromFile(const std::string& path, int cx = 0, int cy = 0) {
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

void ExpectSameImage(const platform::DibImage& a, const platform::DibImage& b) {
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.bitCount, b.bitCount);
    EXPECT_EQ(a.bits, b.bits);
    ASSERT_EQ(a.colours.size(), b.colours.size());
    for (size_t i = 0; i < a.colours.size(); ++i) {
        EXPECT_EQ(a.colours[i].rgbRed, b.colours[i].rgbRed);
        EXPECT_EQ(a.colours[i].rgbGreen, b.colours[i].rgbGreen);
        EXPECT_EQ(a.colours[i].rgbBlue, b.colours[i].rgbBlue);
    }
}

class LoadImage : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        RegisterTestResources();
    }
};

TEST_F(LoadImage, AResourceLoadsAsItsFileDoes) {
    for (const TestResource& resource : kResources) {
        SCOPED_TRACE(resource.file);
        HBITMAP fromResource = FromResource(resource.name);
        HBITMAP fromFile = FromFile(kCorpus + resource.file);
        ASSERT_NE(fromResource, nullptr);
        ASSERT_NE(fromFile, nullptr);
        ExpectSameImage(*platform::DibSectionImage(fromResource), *platform::DibSectionImage(fromFile));
        EXPECT_TRUE(DeleteObject(fromResource));
        EXPECT_TRUE(DeleteObject(fromFile));
    }
}

TEST_F(LoadImage, ResourceNamesCompareAsWindowsComparesThem) {
    for (LPCSTR name : {"Sixteen", "SIXTEEN", "sixteen"}) {
        HBITMAP bitmap = FromResource(name);
        EXPECT_NE(bitmap, nullptr) << name;
        DeleteObject(bitmap);
    }
    EXPECT_EQ(FromResource("Sixteen2"), nullptr);
    EXPECT_EQ(FromResource(MAKEINTRESOURCEA(999)), nullptr);
    EXPECT_EQ(FromResource(MAKEINTRESOURCEA(107)), nullptr);  // not a bitmap resource
    EXPECT_EQ(FromResource(MAKEINTRESOURCEA(106)), nullptr);  // cut short
    EXPECT_EQ(FromResource(nullptr), nullptr);
}

TEST_F(LoadImage, FilesAreReadOnlyWhenAsked) {
    const std::string path = kCorpus + "g/pal8.bmp";
    EXPECT_EQ(FromResource(path.c_str()), nullptr);
    HBITMAP bitmap = FromFile(path);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(FromFile(kCorpus + "g/no such file.bmp"), nullptr);
    EXPECT_EQ(FromFile(kCorpus + "g"), nullptr);  // a folder
    EXPECT_EQ(FromFile(kCorpus + "README.md"), nullptr);
    // An integer identifier names no file.
    EXPECT_EQ(LoadImageA(nullptr, MAKEINTRESOURCEA(103), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST_F(LoadImage, OnlyBitmapsAreLoadedHere) {
    EXPECT_EQ(LoadImageA(kModule, MAKEINTRESOURCEA(103), 1u, 0, 0, 0), nullptr);
    EXPECT_EQ(LoadImageA(kModule, MAKEINTRESOURCEA(103), 2u, 0, 0, 0), nullptr);
    // Without LR_CREATEDIBSECTION the bitmap is the same.
    HBITMAP plain = static_cast<HBITMAP>(LoadImageA(kModule, MAKEINTRESOURCEA(103), IMAGE_BITMAP, 0, 0, 0));
    HBITMAP section = FromResource(MAKEINTRESOURCEA(103));
    ASSERT_NE(plain, nullptr);
    ExpectSameImage(*platform::DibSectionImage(plain), *platform::DibSectionImage(section));
    DeleteObject(plain);
    DeleteObject(section);
}

TEST_F(LoadImage, KeepsTheColourTableOfPalettisedBitmaps) {
    const std::vector<BYTE> file = ReadFile("g/pal8.bmp");
    HBITMAP bitmap = FromFile(kCorpus + "g/pal8.bmp");
    const platform::DibImage* image = platform::DibSectionImage(bitmap);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->colours.size(), 252u);
    for (size_t i = 0; i < 252; ++i) {
        const BYTE* entry = &file[14 + 40 + 4 * i];
        EXPECT_EQ(image->colours[i].rgbBlue, entry[0]);
        EXPECT_EQ(image->colours[i].rgbGreen, entry[1]);
        EXPECT_EQ(image->colours[i].rgbRed, entry[2]);
    }
    DeleteObject(bitmap);
    bitmap = FromResource(MAKEINTRESOURCEA(104));
    EXPECT_EQ(platform::DibSectionImage(bitmap)->colours.size(), 12u);
    DeleteObject(bitmap);
    bitmap = FromResource("Sixteen");
    EXPECT_TRUE(platform::DibSectionImage(bitmap)->colours.empty());
    EXPECT_EQ(platform::DibSectionImage(bitmap)->bitCount, 32);
    DeleteObject(bitmap);
}

TEST_F(LoadImage, ScalesToTheSizeAsked) {
    HBITMAP own = FromResource(MAKEINTRESOURCEA(103));
    HBITMAP doubled = FromResource(MAKEINTRESOURCEA(103), 254, 128);
    HBITMAP narrow = FromResource(MAKEINTRESOURCEA(103), 10, 0);
    ASSERT_TRUE(own && doubled && narrow);
    const platform::DibImage& a = *platform::DibSectionImage(own);
    const platform::DibImage& b = *platform::DibSectionImage(doubled);
    ASSERT_EQ(b.width, 254);
    ASSERT_EQ(b.height, 128);
    for (LONG y = 0; y < b.height; ++y)
        for (LONG x = 0; x < b.width; ++x)
            ASSERT_EQ(b.bits[y * b.Stride() + x], a.bits[(y / 2) * a.Stride() + x / 2]) << x << ", " << y;
    EXPECT_EQ(b.colours.size(), a.colours.size());
    BITMAP record{};
    ASSERT_EQ(GetObjectA(narrow, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(record.bmWidth, 10);
    EXPECT_EQ(record.bmHeight, 64);
    for (HBITMAP bitmap : {own, doubled, narrow}) DeleteObject(bitmap);

    EXPECT_EQ(FromResource(MAKEINTRESOURCEA(103), -1, 0), nullptr);
    EXPECT_EQ(FromResource(MAKEINTRESOURCEA(103), 20000, 10), nullptr);
    EXPECT_EQ(FromResource(MAKEINTRESOURCEA(103), 8000, 8000), nullptr);
}

TEST_F(LoadImage, FailsWhenScripted) {
    ASSERT_TRUE(platform::testing::ScriptFailure("LoadImageA:E_FAIL"));
    EXPECT_EQ(FromResource(MAKEINTRESOURCEA(103)), nullptr);
    EXPECT_EQ(FromFile(kCorpus + "g/pal8.bmp"), nullptr);
}

// As the surface utilities load a texture: a surface of the bitmap's size,
// the bitmap selected into a memory DC and stretched onto the surface's DC.
LPDIRECTDRAWSURFACE4 LoadOntoSurface(LPDIRECTDRAW4 dd, LPCSTR name) {
    HBITMAP bitmap = FromResource(name);
    EXPECT_NE(bitmap, nullptr);
    BITMAP record{};
    GetObjectA(bitmap, sizeof record, &record);
    DDSURFACEDESC2 desc = OffScreenDescription(record.bmWidth, record.bmHeight);
    LPDIRECTDRAWSURFACE4 surface = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    HDC dc = nullptr;
    EXPECT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_TRUE(StretchBlt(dc, 0, 0, record.bmWidth, record.bmHeight, memory, 0, 0, record.bmWidth,
                           record.bmHeight, SRCCOPY));
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));
    return surface;
}

TEST_F(LoadImage, ATextureMadeForTheScreenPaletteLandsIndexForIndexAndUpright) {
    OpenDisplay();
    // The screen palette is the texture's colour table.
    HBITMAP texture = FromResource(MAKEINTRESOURCEA(103));
    const platform::DibImage image = *platform::DibSectionImage(texture);
    DeleteObject(texture);
    ASSERT_EQ(image.colours.size(), 256u);
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i)
        entries[i] = {image.colours[i].rgbRed, image.colours[i].rgbGreen, image.colours[i].rgbBlue, 0};
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, entries, &palette_, nullptr), DD_OK);
    ASSERT_EQ(primary_->SetPalette(palette_), DD_OK);

    LPDIRECTDRAWSURFACE4 surface = LoadOntoSurface(dd_, MAKEINTRESOURCEA(103));
    std::vector<BYTE> expected;
    for (LONG y = 0; y < image.height; ++y)
        expected.insert(expected.end(), image.bits.begin() + y * image.Stride(),
                        image.bits.begin() + y * image.Stride() + image.width);
    EXPECT_EQ(SurfacePixels(surface), expected);
    EXPECT_EQ(surface->Release(), 0u);

    // The same picture stored top row first or bottom row first lands the same.
    LPDIRECTDRAWSURFACE4 bottomUp = LoadOntoSurface(dd_, "BottomUp");
    LPDIRECTDRAWSURFACE4 topDown = LoadOntoSurface(dd_, "TopDown");
    EXPECT_EQ(SurfacePixels(bottomUp), SurfacePixels(topDown));
    EXPECT_FALSE(SurfacePixels(bottomUp).empty());
    EXPECT_EQ(bottomUp->Release(), 0u);
    EXPECT_EQ(topDown->Release(), 0u);
}

}  // namespace
