// LoadImageA on the bitmap corpus from files and resources: good files load to their reference pictures'
// pixels, questionable ones load or not as listed, bad ones only what can be read in full and makes sense.
#include <png.h>

#include <api/gdi_bmp.h>

#include <cstring>
#include <map>

#include "fresh_platform.h"

namespace {
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
            const COLORREF actual = image.ColourAt(x, y);
            if (actual != RGB(expected[0], expected[1], expected[2]) && wrong++ == 0)
                ADD_FAILURE() << "first difference at (" << x << ", " << y << "): " << std::hex << actual;
        }
    EXPECT_TRUE(wrong == 0 && (skips > 0) == skipping) << wrong << " wrong, " << skips << " skipped";
}
HBITMAP FromFile(const std::string& path, int cx = 0, int cy = 0) {
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
HBITMAP FromResource(LPCSTR name) {
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}
// A resource is its file less the file header.
std::vector<BYTE> Packed(const std::string& name) {
    const std::vector<BYTE> bytes = Corpus(name);
    return {bytes.begin() + sizeof(BITMAPFILEHEADER), bytes.end()};
}
using LoadImage = FreshPlatform;
// The image from the file, or null; what loads is sound, and a good file gives the same from its resource.
const platform::DibImage* LoadBothWays(const std::string& name, HBITMAP& file, HBITMAP& resource) {
    file = FromFile(TEST_DATA_DIR "/bmpsuite/" + name);
    AddBitmapResource(name.c_str(), Packed(name));
    resource = FromResource(name.c_str());
    for (HBITMAP bitmap : {file, resource}) {
        BITMAP r{};
        EXPECT_TRUE(!bitmap || (GetObjectA(bitmap, sizeof r, &r) == sizeof r && r.bmWidth > 0 && r.bmHeight > 0 &&
                                int64_t{r.bmWidth} * r.bmHeight <= platform::kMaxBitmapPixels));
    }
    const platform::DibImage *a = platform::DibSectionImage(file), *b = platform::DibSectionImage(resource);
    EXPECT_TRUE(name[0] != 'g' ||
                (a && b && a->width == b->width && a->height == b->height && a->bits == b->bits &&
                 a->colours.size() == b->colours.size() &&
                 (a->colours.empty() || std::memcmp(a->colours.data(), b->colours.data(), a->colours.size() * 4) == 0)));
    return a;
}
TEST_F(LoadImage, TheCorpusLoadsAsListed) {
    // Reference picture: "=" its own, "" none, or another: rgb32bf shows rgb24's and pal4rle pal4's; the
    // run-length files of q/ that skip pixels are held against the picture less the pixels they skip.
    const std::map<std::string, std::string> loading = {
        {"g/pal1", "="}, {"g/pal1bg", "="}, {"g/pal1wb", "="}, {"g/pal4", "="}, {"g/pal4gs", "="},
        {"g/pal4rle", "g/pal4"}, {"g/pal8-0", "="}, {"g/pal8", "="}, {"g/pal8gs", "="}, {"g/pal8nonsquare", "="},
        {"g/pal8os2", "="}, {"g/pal8rle", "="}, {"g/pal8topdown", "="}, {"g/pal8v4", "="}, {"g/pal8v5", "="},
        {"g/pal8w124", "="}, {"g/pal8w125", "="}, {"g/pal8w126", "="}, {"g/rgb16-565", "="},
        {"g/rgb16-565pal", "="}, {"g/rgb16", "="}, {"g/rgb16bfdef", "="}, {"g/rgb24", "="}, {"g/rgb24pal", "="},
        {"g/rgb32", "="}, {"g/rgb32bf", "g/rgb24"}, {"g/rgb32bfdef", "="},
        {"q/pal1p1", "="}, {"q/pal4rlecut", "skip g/pal4"}, {"q/pal4rletrns", "skip g/pal4"}, {"q/pal8offs", "="},
        {"q/pal8os2-hs", "="}, {"q/pal8os2-sz", "="}, {"q/pal8os2sp", "="}, {"q/pal8os2v2-40sz", "="},
        {"q/pal8rlecut", "skip g/pal8"}, {"q/pal8rletrns", "skip g/pal8"}, {"q/rgb16-231", ""}, {"q/rgb16-3103", ""},
        {"q/rgb16faketrns", "="}, {"q/rgb24largepal", "="}, {"q/rgb24lprof", "="}, {"q/rgb32-111110", ""},
        {"q/rgb32-7187", ""}, {"q/rgb32-xbgr", "="}, {"q/rgb32fakealpha", "="}, {"q/rgba16-1924", ""},
        {"q/rgba16-4444", ""}, {"q/rgba16-5551", "="}, {"q/rgba32-1", "="}, {"q/rgba32-1010102", ""},
        {"q/rgba32-2", ""}, {"q/rgba32-61754", ""}, {"q/rgba32-81284", ""},
        // biSizeImage, density and bfSize are not needed; indices past the table show black; no blue mask: blue 0.
        {"b/badbitssize", ""}, {"b/baddens1", ""}, {"b/baddens2", ""}, {"b/badfilesize", ""},
        {"b/pal8badindex", ""}, {"b/rgb16-880", ""}};
    // Huffman, 2 bits a pixel, OS/2 headers of 16 and 64 bytes, 300 colours for 8 bits, JPEG and PNG, 24-bit
    // runs, 52- and 56-byte headers, alpha bit fields, 64 bits a pixel; and what does not add up.
    const char* const refused[] = {
        "q/pal1huffmsb", "q/pal2", "q/pal2color", "q/pal8os2v2-16", "q/pal8os2v2-sz", "q/pal8os2v2",
        "q/pal8oversizepal", "q/rgb24jpeg", "q/rgb24png", "q/rgb24rle24", "q/rgb32h52", "q/rgba32abf",
        "q/rgba32h56", "q/rgba64", "b/badbitcount", "b/badheadersize", "b/badpalettesize", "b/badplanes",
        "b/badrle", "b/badrle4", "b/badrle4bis", "b/badrle4ter", "b/badrlebis", "b/badrleter", "b/badwidth",
        "b/reallybig", "b/rletopdown", "b/shortfile"};
    for (const auto& [name, reference] : loading) {
        SCOPED_TRACE(name);
        HBITMAP file, resource;
        const platform::DibImage* image = LoadBothWays(name + ".bmp", file, resource);
        ASSERT_NE(image, nullptr);
        const bool skipping = reference.starts_with("skip ");
        if (!reference.empty()) ExpectPixelsOf(*image, reference == "=" ? name : reference.substr(skipping ? 5 : 0), skipping);
        EXPECT_TRUE(DeleteObject(file) && (!resource || DeleteObject(resource)));
    }
    for (const char* name : refused) {
        HBITMAP file, resource;
        EXPECT_EQ(LoadBothWays(name + std::string(".bmp"), file, resource), nullptr) << name;
        EXPECT_TRUE((!file || DeleteObject(file)) && (!resource || DeleteObject(resource)));
    }
}
// Resources by number or by name regardless of case, as information header and what follows only; files only
// when asked; the size asked for by nearest neighbour.
TEST_F(LoadImage, ResourcesFilesAndSizes) {
    const std::string path = TEST_DATA_DIR "/bmpsuite/g/pal8.bmp";  // 127 x 64
    std::vector<BYTE> cut = Packed("g/pal8.bmp");
    cut.resize(cut.size() / 2);
    // "Eight" and 107 with the file header: no bitmap; 106 cut short.
    for (const auto& [name, bytes] : {std::pair{LPCSTR("Eight"), Corpus("g/pal8.bmp")}, {MAKEINTRESOURCEA(106), cut},
                                      {MAKEINTRESOURCEA(107), Corpus("g/pal8.bmp")}, {MAKEINTRESOURCEA(108), Packed("g/pal8.bmp")}, {"g/pal4.bmp", Packed("g/pal4.bmp")}})
        AddBitmapResource(name, bytes);
    for (LPCSTR name : std::initializer_list<LPCSTR>{"G/PAL4.BMP", "g/Pal4.bmp", "#108", MAKEINTRESOURCEA(108)})
        EXPECT_TRUE(DeleteObject(FromResource(name))) << (IS_INTRESOURCE(name) ? "108" : name);
    for (LPCSTR name : std::initializer_list<LPCSTR>{"g/pal4.bm", "Eight", "#106", MAKEINTRESOURCEA(106), MAKEINTRESOURCEA(107), MAKEINTRESOURCEA(999),
                        nullptr, path.c_str()})
        EXPECT_EQ(FromResource(name), nullptr) << (IS_INTRESOURCE(name) ? "" : name);
    for (const std::string missing : {"g/none.bmp", "g", "README.md"})
        EXPECT_EQ(FromFile(TEST_DATA_DIR "/bmpsuite/" + missing), nullptr) << missing;
    EXPECT_EQ(LoadImageA(nullptr, MAKEINTRESOURCEA(103), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    for (UINT type : {1u, 2u}) EXPECT_EQ(LoadImageA(nullptr, path.c_str(), type, 0, 0, LR_LOADFROMFILE), nullptr);
    // Without LR_CREATEDIBSECTION as with it.
    HBITMAP plain = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    HBITMAP doubled = FromFile(path, 254, 128), narrow = FromFile(path, 10, 0);
    ASSERT_TRUE(plain && doubled && narrow && platform::DibSectionImage(plain)->width == 127);
    const platform::DibImage &a = *platform::DibSectionImage(plain), &b = *platform::DibSectionImage(doubled);
    ASSERT_TRUE(b.width == 254 && b.height == 128 && b.colours.size() == a.colours.size());
    for (LONG y = 0; y < b.height; ++y)
        for (LONG x = 0; x < b.width; ++x)
            ASSERT_EQ(b.bits[y * b.Stride() + x], a.bits[(y / 2) * a.Stride() + x / 2]) << x << ", " << y;
    BITMAP record{};
    EXPECT_TRUE(GetObjectA(narrow, sizeof record, &record) && record.bmWidth == 10 && record.bmHeight == 64);
    for (HBITMAP bitmap : {plain, doubled, narrow}) EXPECT_TRUE(DeleteObject(bitmap));
    for (const auto& [cx, cy] : {std::pair{-1, 0}, {20000, 10}, {8000, 8000}})
        EXPECT_EQ(FromFile(path, cx, cy), nullptr) << cx << " x " << cy;
    EXPECT_TRUE(platform::testing::ScriptFailure("LoadImageA:E_FAIL") && !FromFile(path));
}
}  // namespace
