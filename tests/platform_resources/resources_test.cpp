// Resource look-up and loading on tables registered by hand, as the reader of
// a compiled resource file registers them.
#include "api/iconimage.h"
#include "api/resources.h"

#include <gtest/gtest.h>

#include <iterator>
#include <tuple>
#include <vector>

using platform::ResourceEntry;

namespace {

const BYTE kBitmapBytes[] = {40, 0, 0, 0, 1, 2, 3};
const BYTE kNamedBytes[] = {9, 8, 7};
const BYTE kOtherBytes[] = {5};
const LPCSTR kRawData = MAKEINTRESOURCEA(10);  // a type that nothing but FindResourceA reads

// A square 32-bit icon image of rows bottom-up (blue, green, red, alpha) with
// a mask that clears the top-left pixel.
std::vector<BYTE> IconImage(int side, std::vector<BYTE> bgra) {
    std::vector<BYTE> image(40, 0);
    image[0] = 40, image[4] = BYTE(side), image[8] = BYTE(2 * side), image[12] = 1, image[14] = 32;
    std::vector<BYTE> mask((side + 31) / 32 * 4 * side, 0);
    mask[mask.size() - (side + 31) / 32 * 4] = 0x80;
    image.insert(image.end(), bgra.begin(), bgra.end());
    image.insert(image.end(), mask.begin(), mask.end());
    return image;
}

std::vector<BYTE> Solid(int side, BYTE red) {
    std::vector<BYTE> bgra;
    for (int i = 0; i < side * side; ++i) bgra.insert(bgra.end(), {0, 0, red, 255});
    return IconImage(side, bgra);
}

// A group header and its entries: width, height, colours, reserved, planes,
// bits per pixel, size and image number.
std::vector<BYTE> Group(std::initializer_list<std::pair<int, int>> images, int count) {
    std::vector<BYTE> group{0, 0, 1, 0, BYTE(count), 0};
    for (auto [side, id] : images) group.insert(group.end(), {BYTE(side), BYTE(side), 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, BYTE(id), 0});
    return group;
}

ResourceEntry Entry(LPCSTR type, LPCSTR name, const std::vector<BYTE>& bytes) {
    return {type, name, bytes.data(), static_cast<DWORD>(bytes.size())};
}

// Every table the tests register, once for the whole program.
class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static const std::vector<BYTE> masked = IconImage(2, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}),
                                       alpha = IconImage(2, {1, 2, 3, 10, 4, 5, 6, 20, 7, 8, 9, 30, 10, 11, 12, 40}),
                                       cut(alpha.begin(), alpha.end() - 1), tiny = Solid(1, 1), small = Solid(16, 16),
                                       large = Solid(48, 48);
        // Accelerators: WORD flags, key, command and padding; 0x80 marks the
        // last entry and loses its mark.
        static const std::vector<BYTE> marked = {0x03, 0, 0x1B, 0, 0xE9, 0x03, 0, 0, 0x93, 0, 0x58, 0, 0xE9, 0x03, 0, 0,
                                                 0x01, 0, 0x41, 0, 0x01, 0x00, 0, 0},
                                       unmarked = {0x01, 0, 0x70, 0, 0x02, 0x00, 0, 0, 0x11}, tooShort = {0x81, 0, 0x70, 0, 0x02, 0x00};
        static const ResourceEntry table[] = {
            {RT_BITMAP, MAKEINTRESOURCEA(501), kBitmapBytes, sizeof kBitmapBytes},
            {RT_BITMAP, "Texture", kNamedBytes, sizeof kNamedBytes},
            {kRawData, MAKEINTRESOURCEA(501), kOtherBytes, sizeof kOtherBytes},
            Entry(RT_ACCELERATOR, MAKEINTRESOURCEA(103), marked), Entry(RT_ACCELERATOR, "Unmarked", unmarked),
            Entry(RT_ACCELERATOR, "Short", tooShort),
            Entry(RT_ICON, MAKEINTRESOURCEA(11), masked), Entry(RT_ICON, MAKEINTRESOURCEA(12), alpha),
            Entry(RT_ICON, MAKEINTRESOURCEA(13), cut), Entry(RT_ICON, MAKEINTRESOURCEA(14), tiny),
            Entry(RT_ICON, MAKEINTRESOURCEA(15), small), Entry(RT_ICON, MAKEINTRESOURCEA(16), large)};
        static const std::vector<BYTE> nearest = Group({{1, 14}, {2, 11}}, 2), alphaGroup = Group({{2, 12}}, 1),
                                       tie = Group({{16, 15}, {48, 16}}, 2), missing = Group({{2, 19}}, 1),
                                       cutGroup = Group({{2, 13}}, 1), shortGroup = Group({{2, 11}}, 2);
        static const ResourceEntry groups[] = {
            Entry(RT_GROUP_ICON, MAKEINTRESOURCEA(102), nearest), Entry(RT_GROUP_ICON, "Alpha", alphaGroup),
            Entry(RT_GROUP_ICON, "Tie", tie), Entry(RT_GROUP_ICON, "Missing", missing),
            Entry(RT_GROUP_ICON, "Cut", cutGroup), Entry(RT_GROUP_ICON, "ShortGroup", shortGroup)};
        // A second table, as a second program's would be.
        static const bool registered = platform::RegisterResources(table, std::size(table)) &&
                                       platform::RegisterResources(groups, std::size(groups));
        ASSERT_TRUE(registered);
    }

    HMODULE module = GetModuleHandleA(nullptr);
};

std::vector<BYTE> Loaded(HRSRC resource) {
    HMODULE module = GetModuleHandleA(nullptr);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    return bytes ? std::vector<BYTE>(bytes, bytes + SizeofResource(module, resource)) : std::vector<BYTE>();
}

// Identifiers compare by value, "#N" as identifier N, strings without regard
// to case; types likewise.
TEST_F(Resources, NamesAndTypesCompareAsWindowsComparesThem) {
    const std::vector<BYTE> bitmap(std::begin(kBitmapBytes), std::end(kBitmapBytes)),
        named(std::begin(kNamedBytes), std::end(kNamedBytes));
    const std::tuple<LPCSTR, LPCSTR, std::vector<BYTE>> lookups[] = {
        {MAKEINTRESOURCEA(501), RT_BITMAP, bitmap}, {"#501", RT_BITMAP, bitmap}, {MAKEINTRESOURCEA(501), "#2", bitmap},
        {"TEXTURE", RT_BITMAP, named},  {"tExTuRe", RT_BITMAP, named},     {MAKEINTRESOURCEA(501), kRawData, {5}},
        {MAKEINTRESOURCEA(502), RT_BITMAP, {}}, {"Textur", RT_BITMAP, {}}, {"501", RT_BITMAP, {}},
        {"#", RT_BITMAP, {}}, {"", RT_BITMAP, {}}, {nullptr, RT_BITMAP, {}}, {"Texture", RT_ICON, {}},
    };
    for (const auto& [name, type, bytes] : lookups) {
        HRSRC found = FindResourceA(nullptr, name, type);
        EXPECT_EQ(found ? Loaded(found) : std::vector<BYTE>(), bytes);
        EXPECT_EQ(FindResourceA(module, name, type), found);
    }
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
    int other;
    EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(&other), MAKEINTRESOURCEA(501), RT_BITMAP), nullptr);
    ResourceEntry copy{RT_BITMAP, MAKEINTRESOURCEA(501), kBitmapBytes, sizeof kBitmapBytes};
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
    EXPECT_FALSE(platform::RegisterResources(clashing, 2) || platform::RegisterResources(twice, 2) ||
                 platform::RegisterResources(noData, 1) || platform::RegisterResources(noName, 1));
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(601), kRawData), nullptr);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(602), kRawData), nullptr);
}

// A table without a mark ends with its last whole entry.
TEST_F(Resources, AcceleratorTablesEndAtTheMarkOrTheLastWholeEntry) {
    auto entries = [](HACCEL accel) {
        std::vector<std::tuple<int, int, int>> out;
        for (const ACCEL& a : reinterpret_cast<const platform::AcceleratorTable*>(accel)->entries)
            out.emplace_back(a.fVirt, a.key, a.cmd);
        return out;
    };
    using Keys = std::vector<std::tuple<int, int, int>>;
    ASSERT_NE(LoadAcceleratorsA(module, "#103"), nullptr);
    EXPECT_EQ(entries(LoadAcceleratorsA(module, "#103")), (Keys{{0x03, 0x1B, 1001}, {0x13, 0x58, 1001}}));
    EXPECT_EQ(LoadAcceleratorsA(module, "#103"), LoadAcceleratorsA(module, MAKEINTRESOURCEA(103)));
    ASSERT_NE(LoadAcceleratorsA(nullptr, "unmarked"), nullptr);
    EXPECT_EQ(entries(LoadAcceleratorsA(nullptr, "unmarked")), (Keys{{0x01, 0x70, 2}}));
    for (LPCSTR missing : std::initializer_list<LPCSTR>{"Short", MAKEINTRESOURCEA(104), MAKEINTRESOURCEA(501)})
        EXPECT_EQ(LoadAcceleratorsA(module, missing), nullptr);
}

uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }

// The image nearest 32 x 32 (the larger of two as near), its mask giving
// transparency unless it has an alpha channel; broken groups give none.
TEST_F(Resources, IconsTakeTheNearestImageAndItsTransparency) {
    const std::pair<LPCSTR, std::vector<uint32_t>> icons[] = {
        {"#102", {Rgba(9, 8, 7, 0), Rgba(12, 11, 10, 255), Rgba(3, 2, 1, 255), Rgba(6, 5, 4, 255)}},
        {"alpha", {Rgba(9, 8, 7, 30), Rgba(12, 11, 10, 40), Rgba(3, 2, 1, 10), Rgba(6, 5, 4, 20)}},
        {"Tie", std::vector<uint32_t>(48 * 48, Rgba(48, 0, 0, 255))}};
    for (const auto& [name, rgba] : icons) {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        ASSERT_TRUE(platform::IconPixels(LoadIconA(module, name), &pixels, &width, &height)) << name;
        EXPECT_EQ(pixels, rgba) << name;
        EXPECT_EQ(width * height, static_cast<int>(rgba.size())) << name;
    }
    EXPECT_EQ(LoadIconA(module, "#102"), LoadIconA(module, MAKEINTRESOURCEA(102)));
    // A null instance asks for the system's icons, not the program's.
    for (const auto& [instance, name] : {std::pair{module, "Missing"}, {module, "Cut"}, {module, "ShortGroup"},
                                         {module, "Nowhere"}, {HMODULE{}, "#102"}})
        EXPECT_EQ(LoadIconA(instance, name), nullptr) << name;
}

TEST_F(Resources, TheArrowIsTheOnlyCursorAndHasNoPixels) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)), nullptr);
    EXPECT_EQ(LoadCursorA(module, IDC_ARROW), nullptr);
    std::vector<uint32_t> rgba{7};
    int width = 3, height = 4;
    EXPECT_FALSE(platform::IconPixels(arrow, &rgba, &width, &height));
    EXPECT_FALSE(platform::IconPixels(nullptr, &rgba, &width, &height));
    EXPECT_TRUE(rgba == std::vector<uint32_t>{7} && width == 3 && height == 4);
}

}  // namespace
