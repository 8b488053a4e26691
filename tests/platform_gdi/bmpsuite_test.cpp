// The bitmap corpus in tests/data/bmpsuite: good files load to the pixels of
// their reference pictures, questionable ones load or not as listed, and bad
// ones never make the loader step outside its data (the sanitizer build
// watches that) nor yield a bitmap that breaks the size limits.
#include <png.h>

#include <string>
#include <vector>

#include <api/gdi_bmp.h>

#include "platform_test.h"

namespace {

const std::string kCorpus = TEST_DATA_DIR "/bmpsuite/";

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<png_byte> rgba;
};

Picture ReadReference(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGBA;
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) return Picture{};
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    return picture;
}

HBITMAP LoadFile(const std::string& path) {
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

// Every pixel of the bitmap against the reference picture, except pixels that
// the reference leaves transparent and, when `skipped` is set, pixels of
// index 0: the run-length files that jump over pixels have a marker colour
// there that the picture does not use.
void ExpectPixelsOf(HBITMAP bitmap, const std::string& reference, bool skipped) {
    const Picture picture = ReadReference(kCorpus + reference);
    ASSERT_GT(picture.width, 0) << "cannot read " << reference;
    const platform::DibImage* image = platform::DibSectionImage(bitmap);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width, picture.width);
    ASSERT_EQ(image->height, picture.height);
    int wrong = 0, skips = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const png_byte* expected = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
            if (expected[3] == 0) continue;
            if (skipped && image->bits[static_cast<size_t>(y) * image->Stride() + x] == 0) {
                ++skips;
                continue;
            }
            const COLORREF actual = image->ColourAt(x, y);
            if (GetRValue(actual) != expected[0] || GetGValue(actual) != expected[1] ||
                GetBValue(actual) != expected[2]) {
                if (wrong++ == 0) {
                    ADD_FAILURE() << "first difference at (" << x << ", " << y << "): " << std::hex << actual
                                  << " instead of r " << int{expected[0]} << " g " << int{expected[1]} << " b "
                                  << int{expected[2]};
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    if (skipped) {
        EXPECT_GT(skips, 0);
    }
}

struct CorpusFile {
    const char* name;       // under tests/data/bmpsuite
    const char* reference;  // the picture it shows, or null: not compared
    bool loads;
    bool skipped = false;   // a run-length file that leaves pixels out
};

void PrintTo(const CorpusFile& file, std::ostream* out) { *out << file.name; }

std::string PrintName(const ::testing::TestParamInfo<CorpusFile>& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

class BmpSuite : public PlatformTest, public ::testing::WithParamInterface<CorpusFile> {};

TEST_P(BmpSuite, LoadsAsListed) {
    const CorpusFile& file = GetParam();
    HBITMAP bitmap = LoadFile(kCorpus + file.name);
    EXPECT_EQ(bitmap != nullptr, file.loads);
    if (!bitmap) return;
    BITMAP record{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_GT(record.bmWidth, 0);
    EXPECT_GT(record.bmHeight, 0);
    EXPECT_LE(int64_t{record.bmWidth} * record.bmHeight, platform::kMaxBitmapPixels);
    if (file.reference) ExpectPixelsOf(bitmap, file.reference, file.skipped);
    EXPECT_TRUE(DeleteObject(bitmap));
}

// The good files, each against its reference. rgb32bf.bmp has none of its
// own but shows the same picture as rgb24.bmp; so does pal4rle.bmp as pal4.bmp,
// and it is held against pal4.png because the reference made for it
// differs from that picture.
const CorpusFile kGood[] = {
    {"g/pal1.bmp", "ref/g/pal1.png", true},
    {"g/pal1bg.bmp", "ref/g/pal1bg.png", true},
    {"g/pal1wb.bmp", "ref/g/pal1wb.png", true},
    {"g/pal4.bmp", "ref/g/pal4.png", true},
    {"g/pal4gs.bmp", "ref/g/pal4gs.png", true},
    {"g/pal4rle.bmp", "ref/g/pal4.png", true},
    {"g/pal8-0.bmp", "ref/g/pal8-0.png", true},
    {"g/pal8.bmp", "ref/g/pal8.png", true},
    {"g/pal8gs.bmp", "ref/g/pal8gs.png", true},
    {"g/pal8nonsquare.bmp", "ref/g/pal8nonsquare.png", true},
    {"g/pal8os2.bmp", "ref/g/pal8os2.png", true},
    {"g/pal8rle.bmp", "ref/g/pal8rle.png", true},
    {"g/pal8topdown.bmp", "ref/g/pal8topdown.png", true},
    {"g/pal8v4.bmp", "ref/g/pal8v4.png", true},
    {"g/pal8v5.bmp", "ref/g/pal8v5.png", true},
    {"g/pal8w124.bmp", "ref/g/pal8w124.png", true},
    {"g/pal8w125.bmp", "ref/g/pal8w125.png", true},
    {"g/pal8w126.bmp", "ref/g/pal8w126.png", true},
    {"g/rgb16-565.bmp", "ref/g/rgb16-565.png", true},
    {"g/rgb16-565pal.bmp", "ref/g/rgb16-565pal.png", true},
    {"g/rgb16.bmp", "ref/g/rgb16.png", true},
    {"g/rgb16bfdef.bmp", "ref/g/rgb16bfdef.png", true},
    {"g/rgb24.bmp", "ref/g/rgb24.png", true},
    {"g/rgb24pal.bmp", "ref/g/rgb24pal.png", true},
    {"g/rgb32.bmp", "ref/g/rgb32.png", true},
    {"g/rgb32bf.bmp", "ref/g/rgb24.png", true},
    {"g/rgb32bfdef.bmp", "ref/g/rgb32bfdef.png", true},
};
INSTANTIATE_TEST_SUITE_P(Good, BmpSuite, ::testing::ValuesIn(kGood), PrintName);

// The questionable files: which of them load. Those that show the standard
// picture are compared with it; the references made for the run-length files
// that skip pixels place the later pixels elsewhere, so those files are held
// against the picture itself, less the pixels they skip.
const CorpusFile kQuestionable[] = {
    {"q/pal1huffmsb.bmp", nullptr, false},  // 64-byte OS/2 header, Huffman coded
    {"q/pal1p1.bmp", "ref/q/pal1p1.png", true},
    {"q/pal2.bmp", nullptr, false},  // 2 bits per pixel
    {"q/pal2color.bmp", nullptr, false},
    {"q/pal4rlecut.bmp", "ref/g/pal4.png", true, true},
    {"q/pal4rletrns.bmp", "ref/g/pal4.png", true, true},
    {"q/pal8offs.bmp", "ref/q/pal8offs.png", true},
    {"q/pal8os2-hs.bmp", "ref/q/pal8os2-hs.png", true},
    {"q/pal8os2-sz.bmp", "ref/q/pal8os2-sz.png", true},
    {"q/pal8os2sp.bmp", "ref/q/pal8os2sp.png", true},
    {"q/pal8os2v2-16.bmp", nullptr, false},  // 16-byte header
    {"q/pal8os2v2-40sz.bmp", "ref/q/pal8os2v2-40sz.png", true},
    {"q/pal8os2v2-sz.bmp", nullptr, false},  // 64-byte header
    {"q/pal8os2v2.bmp", nullptr, false},
    {"q/pal8oversizepal.bmp", nullptr, false},  // 300 colours for 8 bits
    {"q/pal8rlecut.bmp", "ref/g/pal8.png", true, true},
    {"q/pal8rletrns.bmp", "ref/g/pal8.png", true, true},
    {"q/rgb16-231.bmp", nullptr, true},
    {"q/rgb16-3103.bmp", nullptr, true},
    {"q/rgb16faketrns.bmp", "ref/q/rgb16faketrns.png", true},
    {"q/rgb24jpeg.bmp", nullptr, false},  // compressed with JPEG
    {"q/rgb24largepal.bmp", "ref/q/rgb24largepal.png", true},
    {"q/rgb24lprof.bmp", "ref/q/rgb24lprof.png", true},
    {"q/rgb24png.bmp", nullptr, false},     // compressed with PNG
    {"q/rgb24rle24.bmp", nullptr, false},   // 64-byte OS/2 header, 24-bit runs
    {"q/rgb32-111110.bmp", nullptr, true},
    {"q/rgb32-7187.bmp", nullptr, true},
    {"q/rgb32-xbgr.bmp", "ref/q/rgb32-xbgr.png", true},
    {"q/rgb32fakealpha.bmp", "ref/q/rgb32fakealpha.png", true},
    {"q/rgb32h52.bmp", nullptr, false},  // 52-byte header
    {"q/rgba16-1924.bmp", nullptr, true},
    {"q/rgba16-4444.bmp", nullptr, true},
    {"q/rgba16-5551.bmp", "ref/q/rgba16-5551.png", true},
    {"q/rgba32-1.bmp", "ref/q/rgba32-1.png", true},
    {"q/rgba32-1010102.bmp", nullptr, true},
    {"q/rgba32-2.bmp", nullptr, true},
    {"q/rgba32-61754.bmp", nullptr, true},
    {"q/rgba32-81284.bmp", nullptr, true},
    {"q/rgba32abf.bmp", nullptr, false},  // BI_ALPHABITFIELDS
    {"q/rgba32h56.bmp", nullptr, false},  // 56-byte header
    {"q/rgba64.bmp", nullptr, false},     // 64 bits per pixel
};
INSTANTIATE_TEST_SUITE_P(Questionable, BmpSuite, ::testing::ValuesIn(kQuestionable), PrintName);

// The bad files: what loads is only what can be read in full and makes sense.
const CorpusFile kBad[] = {
    {"b/badbitcount.bmp", nullptr, false},
    {"b/badbitssize.bmp", nullptr, true},  // biSizeImage is not needed to read the pixels
    {"b/baddens1.bmp", nullptr, true},     // the density is not used
    {"b/baddens2.bmp", nullptr, true},
    {"b/badfilesize.bmp", nullptr, true},  // bfSize is not used either
    {"b/badheadersize.bmp", nullptr, false},
    {"b/badpalettesize.bmp", nullptr, false},
    {"b/badplanes.bmp", nullptr, false},
    {"b/badrle.bmp", nullptr, false},
    {"b/badrle4.bmp", nullptr, false},
    {"b/badrle4bis.bmp", nullptr, false},
    {"b/badrle4ter.bmp", nullptr, false},
    {"b/badrlebis.bmp", nullptr, false},
    {"b/badrleter.bmp", nullptr, false},
    {"b/badwidth.bmp", nullptr, false},
    {"b/pal8badindex.bmp", nullptr, true},  // indices past the colour table show black
    {"b/reallybig.bmp", nullptr, false},
    {"b/rgb16-880.bmp", nullptr, true},  // no bits of blue: blue is 0
    {"b/rletopdown.bmp", nullptr, false},
    {"b/shortfile.bmp", nullptr, false},
};
INSTANTIATE_TEST_SUITE_P(Bad, BmpSuite, ::testing::ValuesIn(kBad), PrintName);

}  // namespace
