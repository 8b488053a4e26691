// Resource look-up and loading on tables registered by hand, as the compiled file's reader registers them; files
// read as a colour table is: header by header, then up to a fixed amount the file may not fill; the build's check.
#include "api/iconimage.h"
#include "api/resources.h"
#include <gtest/gtest.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <tuple>
#include "bitmap.h"
#include "program_run.h"
namespace {
using platform::ResourceEntry;
using Bytes = std::vector<BYTE>;
const LPCSTR kRawData = MAKEINTRESOURCEA(10);  // a type that only FindResourceA reads
// A square 32-bit icon image, rows bottom-up (blue, green, red, alpha), its mask clearing the top-left pixel.
Bytes IconImage(int side, Bytes bgra) {
    Bytes image(40, 0), mask((side + 31) / 32 * 4 * side, 0);
    image[0] = 40, image[4] = BYTE(side), image[8] = BYTE(2 * side), image[12] = 1, image[14] = 32;
    mask[mask.size() - (side + 31) / 32 * 4] = 0x80;
    image.insert(image.end(), bgra.begin(), bgra.end()), image.insert(image.end(), mask.begin(), mask.end());
    return image;
}
// A group header and its entries: width, height, colours, reserved, planes, bits per pixel, size, image number.
Bytes Group(std::initializer_list<std::pair<int, int>> images, int count) {
    Bytes group{0, 0, 1, 0, BYTE(count), 0};
    for (auto [side, id] : images) group.insert(group.end(), {BYTE(side), BYTE(side), 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, BYTE(id), 0});
    return group;
}
struct Resources : ::testing::Test {
    static void SetUpTestSuite() {
        const Bytes alpha = IconImage(2, {1, 2, 3, 10, 4, 5, 6, 20, 7, 8, 9, 30, 10, 11, 12, 40});
        // Accelerators: WORD flags, key, command and padding; 0x80 marks the last.
        const std::pair<LPCSTR, Bytes> keys[] = {
            {MAKEINTRESOURCEA(103), {0x03, 0, 0x1B, 0, 0xE9, 0x03, 0, 0, 0x93, 0, 0x58, 0, 0xE9, 0x03, 0, 0, 0x01, 0, 0x41, 0, 1, 0, 0, 0}},
            {"Unmarked", {0x01, 0, 0x70, 0, 0x02, 0x00, 0, 0, 0x11}}, {"Short", {0x81, 0, 0x70, 0, 0x02, 0x00}}};
        const std::pair<int, Bytes> icons[] = {{11, IconImage(2, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0})},
            {12, alpha}, {13, Bytes(alpha.begin(), alpha.end() - 1)}, {14, IconImage(1, {0, 0, 1, 255})}};
        const std::pair<LPCSTR, Bytes> groups[] = {{MAKEINTRESOURCEA(102), Group({{1, 14}, {2, 11}}, 2)},
            {"Alpha", Group({{2, 12}}, 1)}, {"Missing", Group({{2, 19}}, 1)},
            {"Cut", Group({{2, 13}}, 1)}, {"ShortGroup", Group({{2, 11}}, 2)}};
        static std::vector<Bytes> kept;  // the tables point into these to the end (a moved vector keeps its buffer)
        static std::vector<ResourceEntry> table, second;
        auto add = [](auto& to, LPCSTR type, LPCSTR name, const Bytes& bytes) {
            to.push_back({type, name, kept.emplace_back(bytes).data(), DWORD(bytes.size())});
        };
        add(table, RT_BITMAP, MAKEINTRESOURCEA(501), {40, 0, 0, 0, 1, 2, 3});
        add(table, RT_BITMAP, "Texture", {9, 8, 7});
        add(table, kRawData, MAKEINTRESOURCEA(501), {5});
        for (const auto& [name, bytes] : keys) add(table, RT_ACCELERATOR, name, bytes);
        for (const auto& [id, bytes] : icons) add(table, RT_ICON, MAKEINTRESOURCEA(id), bytes);
        for (const auto& [name, bytes] : groups) add(second, RT_GROUP_ICON, name, bytes);  // as a second program's
        ASSERT_TRUE(platform::RegisterResources(table.data(), table.size()) &&
                    platform::RegisterResources(second.data(), second.size()));
    }
    HMODULE module = GetModuleHandleA(nullptr);
};
Bytes Loaded(HRSRC resource) {
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleA(nullptr), resource)));
    return bytes ? Bytes(bytes, bytes + SizeofResource(GetModuleHandleA(nullptr), resource)) : Bytes();
}
// Identifiers by value, "#N" as N, strings regardless of case, types likewise; tables that clash or lack parts refused whole.
TEST_F(Resources, NamesAndTypesCompareAsWindowsComparesThem) {
    const Bytes bitmap{40, 0, 0, 0, 1, 2, 3}, named{9, 8, 7};
    const std::tuple<LPCSTR, LPCSTR, Bytes> lookups[] = {
        {MAKEINTRESOURCEA(501), RT_BITMAP, bitmap}, {"#501", RT_BITMAP, bitmap}, {MAKEINTRESOURCEA(501), "#2", bitmap},
        {"TEXTURE", RT_BITMAP, named}, {"tExTuRe", RT_BITMAP, named}, {MAKEINTRESOURCEA(501), kRawData, {5}},
        {MAKEINTRESOURCEA(502), RT_BITMAP, {}}, {"Textur", RT_BITMAP, {}}, {"501", RT_BITMAP, {}},
        {"#", RT_BITMAP, {}}, {"", RT_BITMAP, {}}, {nullptr, RT_BITMAP, {}}, {"Texture", RT_ICON, {}}};
    for (const auto& [name, type, bytes] : lookups) {
        HRSRC found = FindResourceA(nullptr, name, type);
        EXPECT_TRUE((found ? Loaded(found) : Bytes()) == bytes && FindResourceA(module, name, type) == found) << bytes.size();
    }
    int other;
    EXPECT_FALSE(GetModuleHandleA("kernel32.dll") || FindResourceA(reinterpret_cast<HMODULE>(&other), MAKEINTRESOURCEA(501), RT_BITMAP));
    ResourceEntry copy{RT_BITMAP, MAKEINTRESOURCEA(501), bitmap.data(), 7};
    for (HRSRC forged : {reinterpret_cast<HRSRC>(&copy), HRSRC{}})
        EXPECT_TRUE(LoadResource(module, forged) == nullptr && SizeofResource(module, forged) == 0u);
    static const BYTE one[] = {1};
    static const ResourceEntry clashing[] = {{kRawData, MAKEINTRESOURCEA(601), one, 1}, {RT_BITMAP, "texture", one, 1}},
                               twice[] = {{kRawData, MAKEINTRESOURCEA(602), one, 1}, {kRawData, "#602", one, 1}},
                               noData[] = {{kRawData, MAKEINTRESOURCEA(603), nullptr, 0}}, noName[] = {{kRawData, nullptr, one, 1}};
    EXPECT_FALSE(platform::RegisterResources(clashing, 2) || platform::RegisterResources(twice, 2) ||
                 platform::RegisterResources(noData, 1) || platform::RegisterResources(noName, 1));
    EXPECT_FALSE(FindResourceA(module, MAKEINTRESOURCEA(601), kRawData) || FindResourceA(module, "#602", kRawData));
}
// A table without a mark ends with its last whole entry.
TEST_F(Resources, AcceleratorTablesEndAtTheMarkOrTheLastWholeEntry) {
    using Keys = std::vector<std::tuple<int, int, int>>;
    auto entries = [](HACCEL accel) {
        Keys out;
        for (const ACCEL& a : accel ? reinterpret_cast<const platform::AcceleratorTable*>(accel)->entries : std::vector<ACCEL>{})
            out.emplace_back(a.fVirt, a.key, a.cmd);
        return out;
    };
    EXPECT_EQ(entries(LoadAcceleratorsA(module, "#103")), (Keys{{0x03, 0x1B, 1001}, {0x13, 0x58, 1001}}));
    EXPECT_EQ(LoadAcceleratorsA(module, "#103"), LoadAcceleratorsA(module, MAKEINTRESOURCEA(103)));
    EXPECT_EQ(entries(LoadAcceleratorsA(nullptr, "unmarked")), (Keys{{0x01, 0x70, 2}}));
    for (LPCSTR missing : std::initializer_list<LPCSTR>{"Short", MAKEINTRESOURCEA(104), MAKEINTRESOURCEA(501)}) EXPECT_EQ(LoadAcceleratorsA(module, missing), nullptr);
}
uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }
// The image nearest 32 x 32, its mask giving transparency unless it has alpha;
// broken groups and a null instance (the system's icons) give none. The arrow is the system's only.
TEST_F(Resources, IconsTakeTheNearestImageAndItsTransparency) {
    const std::pair<LPCSTR, std::vector<uint32_t>> icons[] = {
        {"#102", {Rgba(9, 8, 7, 0), Rgba(12, 11, 10, 255), Rgba(3, 2, 1, 255), Rgba(6, 5, 4, 255)}},
        {"alpha", {Rgba(9, 8, 7, 30), Rgba(12, 11, 10, 40), Rgba(3, 2, 1, 10), Rgba(6, 5, 4, 20)}}};
    for (const auto& [name, rgba] : icons) {
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        ASSERT_TRUE(platform::IconPixels(LoadIconA(module, name), &pixels, &width, &height)) << name;
        EXPECT_TRUE(pixels == rgba && width * height == int(rgba.size())) << name;
    }
    EXPECT_EQ(LoadIconA(module, "#102"), LoadIconA(module, MAKEINTRESOURCEA(102)));
    for (const auto& [instance, name] : {std::pair{module, "Missing"}, {module, "Cut"}, {module, "ShortGroup"},
                                         {module, "Nowhere"}, {HMODULE{}, "#102"}})
        EXPECT_EQ(LoadIconA(instance, name), nullptr) << name;
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    std::vector<uint32_t> rgba{7};
    int width = 3, height = 4;  // untouched when there is no icon
    EXPECT_TRUE(arrow && LoadCursorA(nullptr, IDC_ARROW) == arrow && !LoadCursorA(module, IDC_ARROW));
    EXPECT_FALSE(platform::IconPixels(arrow, &rgba, &width, &height) || rgba.size() != 1u || width != 3 || height != 4);
}
TEST(Files, ReadInPiecesShortAtTheEndAndOnlyForReading) {
    std::vector<BYTE> contents;
    for (int i = 0; i < 100; ++i) contents.push_back(static_cast<BYTE>(i * 7 + 1));
    const TempFile data(contents, "data.bin");
    HFILE file = _lopen(data.path(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    std::vector<BYTE> read(14 + 40 + 1024, 0xEE);
    const UINT reads[][3] = {{0, 14, 14}, {14, 0, 0}, {14, 40, 40}, {54, 1024, 46}, {54, 1024, 0}};  // at, asked, got
    for (const auto& r : reads) EXPECT_EQ(_lread(file, &read[r[0]], r[1]), r[2]) << r[0] << " " << r[1];
    EXPECT_TRUE(_lread(file, nullptr, 4) == static_cast<UINT>(HFILE_ERROR) && _lclose(file) == 0);
    contents.resize(read.size(), 0xEE);  // what the file did not fill keeps what the caller had there
    EXPECT_EQ(read, contents);
    // A closed handle, or one that _lopen did not hand out, is no file.
    for (HFILE bad : {file, HFILE(STDIN_FILENO), HFILE(STDERR_FILENO), HFILE_ERROR})
        EXPECT_TRUE(_lread(bad, &read[0], 1) == static_cast<UINT>(HFILE_ERROR) && _lclose(bad) == HFILE_ERROR) << bad;
    const std::string folder = data.folder();
    for (const auto& [path, mode] : {std::pair{folder + "/missing.bmp", OF_READ}, {folder, OF_READ},
                                     {std::string(data.path()), OF_WRITE}, {std::string(data.path()), OF_READWRITE},
                                     {folder + "/new.bin", OF_WRITE}, {std::string(), OF_READ}})
        EXPECT_EQ(_lopen(path.empty() ? nullptr : path.c_str(), mode), HFILE_ERROR) << path << " " << mode;
    EXPECT_TRUE(!std::filesystem::exists(folder + "/new.bin") && std::filesystem::file_size(data.path()) == 100u);
}
// The build's check of the bitmaps a program carries names those the resource compiler takes but it could not load.
TEST(BitmapCheck, RefusesWhatTheProgramCouldNotLoad) {
    const Bytes plain = BitmapFile({2, 2, 8, BI_RGB, 40, 1, {{}}, {0, 0, 0, 0}});
    const std::tuple<const char*, Bytes, bool> cases[] = {{"a plain one", plain, true},
                                                          {"its headers", Bytes(plain.begin(), plain.begin() + 58), false}};
    const std::string named = TempPath("named.bmp"), script = TempPath("named.rc"), res = TempPath("named.res");
    std::ofstream(script) << "7 BITMAP \"" << named << "\"\n";
    for (const auto& [what, bmp, loads] : cases) {
        std::ofstream(named, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
        ASSERT_EQ(std::system((WINDRES " -O res -o " + res + " " + script).c_str()), 0);
        const RunResult run = RunToEnd(CHECK_BITMAPS, {res, "named.rc"});
        EXPECT_TRUE(run.exitCode == !loads && run.output == (loads ? "" : "named.rc: bitmap 7 is not one the program can load\n"))
            << what << ": " << run.output;
    }
}
}  // namespace
