// Resource look-up and loading on tables registered by hand, as a generated
// table registers itself.
#include "api/resources.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>
#include <iterator>
#include <utility>
#include <vector>

using platform::ResourceEntry;

namespace {

const BYTE BITMAP_BYTES[] = {40, 0, 0, 0, 1, 2, 3};
const BYTE NAMED_BYTES[] = {9, 8, 7};
const BYTE OTHER_BYTES[] = {5};
// Raw data, a type that nothing but FindResourceA reads.
const LPCSTR kRawData = MAKEINTRESOURCEA(10);

const ResourceEntry FIRST_TABLE[] = {
    {RT_BITMAP, MAKEINTRESOURCEA(501), BITMAP_BYTES, sizeof BITMAP_BYTES},
    {RT_BITMAP, "Texture", NAMED_BYTES, sizeof NAMED_BYTES},
};
const ResourceEntry SECOND_TABLE[] = {
    {kRawData, MAKEINTRESOURCEA(501), OTHER_BYTES, sizeof OTHER_BYTES},
};

// Every table that the tests here register, once for the whole program.
class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static const bool registered = platform::RegisterResources(FIRST_TABLE, std::size(FIRST_TABLE)) &&
                                       platform::RegisterResources(SECOND_TABLE, std::size(SECOND_TABLE));
        ASSERT_TRUE(registered);
    }

    HMODULE module = GetModuleHandleA(nullptr);
};

std::vector<BYTE> Loaded(HRSRC resource) {
    HMODULE module = GetModuleHandleA(nullptr);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    DWORD size = SizeofResource(module, resource);
    return bytes ? std::vector<BYTE>(bytes, bytes + size) : std::vector<BYTE>();
}

// Names compare as Windows compares them: identifiers by value, "#N" as
// identifier N, strings without regard to case; types likewise.
TEST_F(Resources, NamesAndTypesCompareAsWindowsComparesThem) {
    struct Lookup {
        LPCSTR name;
        LPCSTR type;
        std::vector<BYTE> bytes;  // empty: not found
    };
    const std::vector<BYTE> bitmap(std::begin(BITMAP_BYTES), std::end(BITMAP_BYTES));
    const std::vector<BYTE> named(std::begin(NAMED_BYTES), std::end(NAMED_BYTES));
    const Lookup lookups[] = {
        {MAKEINTRESOURCEA(501), RT_BITMAP, bitmap}, {"#501", RT_BITMAP, bitmap}, {MAKEINTRESOURCEA(501), "#2", bitmap},
        {"TEXTURE", RT_BITMAP, named},  {"tExTuRe", RT_BITMAP, named},     {MAKEINTRESOURCEA(501), kRawData, {5}},
        {MAKEINTRESOURCEA(502), RT_BITMAP, {}}, {"Textur", RT_BITMAP, {}}, {"501", RT_BITMAP, {}},
        {"#", RT_BITMAP, {}}, {"", RT_BITMAP, {}}, {nullptr, RT_BITMAP, {}}, {"Texture", RT_ICON, {}},
    };
    for (const Lookup& lookup : lookups) {
        HRSRC found = FindResourceA(nullptr, lookup.name, lookup.type);
        EXPECT_EQ(found ? Loaded(found) : std::vector<BYTE>(), lookup.bytes);
        EXPECT_EQ(FindResourceA(module, lookup.name, lookup.type), found);
    }
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
    int other;
    EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(&other), MAKEINTRESOURCEA(501), RT_BITMAP), nullptr);
}

TEST_F(Resources, HandlesThatNameNoResourceLoadNothing) {
    ResourceEntry copy = FIRST_TABLE[0];
    for (HRSRC forged : {reinterpret_cast<HRSRC>(&copy), HRSRC{}}) {
        EXPECT_EQ(LoadResource(module, forged), nullptr);
        EXPECT_EQ(SizeofResource(module, forged), 0u);
    }
}

TEST_F(Resources, TablesThatClashOrLackPartsAreRefusedWhole) {
    static const BYTE bytes[] = {1};
    static const ResourceEntry clashing[] = {{kRawData, MAKEINTRESOURCEA(601), bytes, 1}, {RT_BITMAP, "texture", bytes, 1}};
    static const ResourceEntry twice[] = {{kRawData, MAKEINTRESOURCEA(602), bytes, 1}, {kRawData, "#602", bytes, 1}};
    static const ResourceEntry noData[] = {{kRawData, MAKEINTRESOURCEA(603), nullptr, 0}};
    static const ResourceEntry noName[] = {{kRawData, nullptr, bytes, 1}};
    EXPECT_FALSE(platform::RegisterResources(clashing, 2));
    EXPECT_FALSE(platform::RegisterResources(twice, 2));
    EXPECT_FALSE(platform::RegisterResources(noData, 1));
    EXPECT_FALSE(platform::RegisterResources(noName, 1));
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(601), kRawData), nullptr);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(602), kRawData), nullptr);
}

// Entries of WORD flags, key, command and padding; 0x80 marks the last, and
// loses its mark; a table without one ends with its last whole entry.
TEST_F(Resources, AcceleratorTablesEndAtTheMarkOrTheLastWholeEntry) {
    static const BYTE marked[] = {0x03, 0, 0x1B, 0, 0xE9, 0x03, 0, 0, 0x93, 0, 0x58, 0, 0xE9, 0x03, 0, 0,
                                  0x01, 0, 0x41, 0, 0x01, 0x00, 0, 0};
    static const BYTE unmarked[] = {0x01, 0, 0x70, 0, 0x02, 0x00, 0, 0, 0x11};
    static const BYTE tooShort[] = {0x81, 0, 0x70, 0, 0x02, 0x00};
    static const ResourceEntry table[] = {{RT_ACCELERATOR, MAKEINTRESOURCEA(103), marked, sizeof marked},
                                          {RT_ACCELERATOR, "Unmarked", unmarked, sizeof unmarked},
                                          {RT_ACCELERATOR, "Short", tooShort, sizeof tooShort}};
    static const bool registered = platform::RegisterResources(table, std::size(table));
    ASSERT_TRUE(registered);
    auto entries = [](HACCEL accel) {
        std::vector<std::tuple<int, int, int>> out;
        if (accel)
            for (const ACCEL& a : reinterpret_cast<const platform::AcceleratorTable*>(accel)->entries)
                out.emplace_back(a.fVirt, a.key, a.cmd);
        return out;
    };
    using Keys = std::vector<std::tuple<int, int, int>>;
    EXPECT_EQ(entries(LoadAcceleratorsA(module, "#103")), (Keys{{0x03, 0x1B, 1001}, {0x13, 0x58, 1001}}));
    EXPECT_EQ(LoadAcceleratorsA(module, "#103"), LoadAcceleratorsA(module, MAKEINTRESOURCEA(103)));
    EXPECT_EQ(entries(LoadAcceleratorsA(nullptr, "unmarked")), (Keys{{0x01, 0x70, 2}}));
    for (LPCSTR missing : std::initializer_list<LPCSTR>{"Short", MAKEINTRESOURCEA(104), MAKEINTRESOURCEA(501)})
        EXPECT_EQ(LoadAcceleratorsA(module, missing), nullptr);
}

// ---------------------------------------------------------------------------
// Icons and cursors
// ---------------------------------------------------------------------------

// A 2 x 2 image of 32 bits per pixel, rows bottom-up: blue, green, red, alpha.
// The mask below it (rows of 4 bytes, bottom-up) clears the top-left pixel.
const BYTE MASKED_IMAGE[] = {
    40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0,
    0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0,  //
    1,  2, 3, 0, 4, 5, 6, 0,                                       // bottom row
    7,  8, 9, 0, 10, 11, 12, 0,                                    // top row
    0,  0, 0, 0, 0x80, 0, 0, 0,                                    // mask
};
// The same with an alpha channel, which then overrides the mask.
const BYTE ALPHA_IMAGE[] = {
    40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0,
    0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0,  //
    1,  2, 3, 10, 4, 5, 6, 20,                                     //
    7,  8, 9, 30, 10, 11, 12, 40,                                  //
    0,  0, 0, 0, 0x80, 0, 0, 0,                                    //
};

std::vector<BYTE> SolidImage(int side, BYTE red) {
    std::vector<BYTE> image(40 + side * side * 4 + (side + 31) / 32 * 4 * side, 0);
    image[0] = 40;
    image[4] = static_cast<BYTE>(side);
    image[8] = static_cast<BYTE>(2 * side);
    image[12] = 1;
    image[14] = 32;
    for (int i = 0; i < side * side; ++i) {
        image[40 + 4 * i + 2] = red;
        image[40 + 4 * i + 3] = 255;
    }
    return image;
}

// A group header and its entries: width, height, colours, reserved, planes,
// bits per pixel, size and image number.
std::vector<BYTE> Group(std::initializer_list<std::pair<int, int>> images, int count) {
    std::vector<BYTE> group{0, 0, 1, 0, static_cast<BYTE>(count), 0};
    for (auto [side, id] : images) {
        BYTE entry[14] = {static_cast<BYTE>(side), static_cast<BYTE>(side), 0, 0, 1, 0, 32, 0,
                          0, 0, 0, 0, static_cast<BYTE>(id), 0};
        group.insert(group.end(), std::begin(entry), std::end(entry));
    }
    return group;
}

class Icons : public Resources {
protected:
    static void SetUpTestSuite() {
        Resources::SetUpTestSuite();
        static const std::vector<BYTE> tiny = SolidImage(1, 1), small = SolidImage(16, 16), large = SolidImage(48, 48);
        static const std::vector<BYTE> nearest = Group({{1, 14}, {2, 11}}, 2), alpha = Group({{2, 12}}, 1),
                                       tie = Group({{16, 15}, {48, 16}}, 2), missing = Group({{2, 19}}, 1),
                                       cut = Group({{2, 13}}, 1), shortGroup = Group({{2, 11}}, 2);
        static const ResourceEntry table[] = {
            {RT_ICON, MAKEINTRESOURCEA(11), MASKED_IMAGE, sizeof MASKED_IMAGE},
            {RT_ICON, MAKEINTRESOURCEA(12), ALPHA_IMAGE, sizeof ALPHA_IMAGE},
            {RT_ICON, MAKEINTRESOURCEA(13), ALPHA_IMAGE, sizeof ALPHA_IMAGE - 1},
            {RT_ICON, MAKEINTRESOURCEA(14), tiny.data(), static_cast<DWORD>(tiny.size())},
            {RT_ICON, MAKEINTRESOURCEA(15), small.data(), static_cast<DWORD>(small.size())},
            {RT_ICON, MAKEINTRESOURCEA(16), large.data(), static_cast<DWORD>(large.size())},
            {RT_GROUP_ICON, MAKEINTRESOURCEA(102), nearest.data(), static_cast<DWORD>(nearest.size())},
            {RT_GROUP_ICON, "Alpha", alpha.data(), static_cast<DWORD>(alpha.size())},
            {RT_GROUP_ICON, "Tie", tie.data(), static_cast<DWORD>(tie.size())},
            {RT_GROUP_ICON, "Missing", missing.data(), static_cast<DWORD>(missing.size())},
            {RT_GROUP_ICON, "Cut", cut.data(), static_cast<DWORD>(cut.size())},
            {RT_GROUP_ICON, "ShortGroup", shortGroup.data(), static_cast<DWORD>(shortGroup.size())},
        };
        static const bool registered = platform::RegisterResources(table, std::size(table));
        ASSERT_TRUE(registered);
    }

    struct Picture {
        std::vector<uint32_t> rgba;
        int width = 0;
        int height = 0;
    };

    static Picture PixelsOf(HICON icon) {
        Picture picture;
        EXPECT_TRUE(platform::IconPixels(icon, &picture.rgba, &picture.width, &picture.height));
        return picture;
    }
};

uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }

TEST_F(Icons, MaskGivesTransparencyToImagesWithoutAlpha) {
    HICON icon = LoadIconA(module, MAKEINTRESOURCEA(102));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(module, "#102"), icon);
    Picture picture = PixelsOf(icon);
    ASSERT_EQ(picture.width, 2);  // the 2 x 2 image is nearer 32 x 32 than the 1 x 1
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(picture.rgba, (std::vector<uint32_t>{Rgba(9, 8, 7, 0), Rgba(12, 11, 10, 255), Rgba(3, 2, 1, 255),
                                                  Rgba(6, 5, 4, 255)}));
}

TEST_F(Icons, AlphaChannelWinsOverTheMask) {
    Picture picture = PixelsOf(LoadIconA(module, "alpha"));
    EXPECT_EQ(picture.rgba, (std::vector<uint32_t>{Rgba(9, 8, 7, 30), Rgba(12, 11, 10, 40), Rgba(3, 2, 1, 10),
                                                  Rgba(6, 5, 4, 20)}));
}

TEST_F(Icons, LargerOfTwoEquallyNearSizes) {
    Picture picture = PixelsOf(LoadIconA(module, "Tie"));
    ASSERT_EQ(picture.width, 48);
    ASSERT_EQ(picture.height, 48);
    EXPECT_EQ(picture.rgba.size(), 48u * 48u);
    EXPECT_EQ(picture.rgba[0], Rgba(48, 0, 0, 255));
}

TEST_F(Icons, BrokenOrMissingIconsGiveNull) {
    EXPECT_EQ(LoadIconA(module, "Missing"), nullptr);
    EXPECT_EQ(LoadIconA(module, "Cut"), nullptr);
    EXPECT_EQ(LoadIconA(module, "ShortGroup"), nullptr);
    EXPECT_EQ(LoadIconA(module, "Nowhere"), nullptr);
    // A null instance asks for the system's icons, not the program's.
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(102)), nullptr);
}

TEST_F(Icons, PixelsOnlyForLoadedIcons) {
    std::vector<uint32_t> rgba{7};
    int width = 3, height = 4;
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_FALSE(platform::IconPixels(arrow, &rgba, &width, &height));
    EXPECT_FALSE(platform::IconPixels(nullptr, &rgba, &width, &height));
    EXPECT_EQ(rgba, std::vector<uint32_t>{7});
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 4);
}

TEST_F(Icons, SystemArrowIsTheOnlyCursor) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)), nullptr);
    EXPECT_EQ(LoadCursorA(module, IDC_ARROW), nullptr);
}

}  // namespace
