// The resources that the programs' scripts give them, as the resource
// compiler made them and the program carries them: the keys that close a
// program, its icon and, in dice, the texture. And the reader of the compiler's
// file, on every damaged copy of the real one.
#include "api/resources.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

TEST(ProgramResources, EscapeAndAltXClose) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    const std::vector<ACCEL>& keys = reinterpret_cast<const platform::AcceleratorTable*>(table)->entries;
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].fVirt, FVIRTKEY | FNOINVERT);
    EXPECT_EQ(keys[0].key, 0x1B);
    EXPECT_EQ(keys[0].cmd, 1001);
    EXPECT_EQ(keys[1].fVirt, FVIRTKEY | FNOINVERT | FALT);
    EXPECT_EQ(keys[1].key, 0x58);
    EXPECT_EQ(keys[1].cmd, 1001);
    EXPECT_EQ(IDR_ACCELERATORS, 103);
    EXPECT_EQ(ID_CLOSE, 1001);
}

uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }

// The cube's lit top, its two sides, and nothing around it.
TEST(ProgramResources, IconShowsTheCube) {
    EXPECT_EQ(IDI_MAIN, 102);
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN));
    ASSERT_NE(icon, nullptr);
    std::vector<uint32_t> rgba;
    int width = 0, height = 0;
    ASSERT_TRUE(platform::IconPixels(icon, &rgba, &width, &height));
    ASSERT_EQ(width, 32);
    ASSERT_EQ(height, 32);
    ASSERT_EQ(rgba.size(), 32u * 32u);
    auto at = [&](int x, int y) { return rgba[y * 32 + x]; };
    EXPECT_EQ(at(16, 5), Rgba(244, 248, 248, 255));
    EXPECT_EQ(at(6, 18), Rgba(150, 196, 196, 255));
    EXPECT_EQ(at(26, 18), Rgba(36, 120, 120, 255));
    for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}, {16, 0}}) EXPECT_EQ(at(x, y) >> 24, 0u);
}

#ifdef WITH_TEXTURE
// The die's texture: 400 x 200 pixels of 8 bits, as its information header
// and what follows, so that the colour table can be read from it directly.
TEST(ProgramResources, TextureBitmap) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDB_TEXTURE), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(SizeofResource(module, found), 40u + 256 * 4 + 400 * 200);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biWidth, 400);
    EXPECT_EQ(header->biHeight < 0 ? -header->biHeight : header->biHeight, 200);
    EXPECT_EQ(header->biBitCount, 8);
}
#endif

std::vector<BYTE> CompiledFile() {
    std::ifstream in(RES_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A copy cut anywhere reads only where it ends between two entries (the last
// may lack its padding), and then gives the entries before the cut; no cut
// makes the reader look past it (the sanitizer build watches that).
TEST(ResourceFile, EveryCutCopyReadsOnlyAtAnEntryBoundary) {
    const std::vector<BYTE> file = CompiledFile();
    std::vector<platform::ResourceEntry> whole;
    ASSERT_TRUE(platform::ReadResourceFile(file.data(), file.size(), whole));
    std::vector<size_t> ends;
    for (const platform::ResourceEntry& entry : whole)
        ends.push_back(static_cast<size_t>(entry.data - file.data()) + entry.size);
    ASSERT_EQ((ends.back() + 3) & ~size_t{3}, file.size());
    for (size_t size = 1; size < file.size(); ++size) {
        const std::vector<BYTE> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(size));
        std::vector<platform::ResourceEntry> entries;
        const bool read = platform::ReadResourceFile(cut.data(), cut.size(), entries);
        const size_t before = static_cast<size_t>(std::count_if(ends.begin(), ends.end(), [&](size_t end) { return end <= size; }));
        const bool boundary = size == 32 || std::any_of(ends.begin(), ends.end(), [&](size_t end) {
            return size >= end && size <= ((end + 3) & ~size_t{3});
        });
        ASSERT_EQ(read, boundary) << "cut at " << size;
        if (read) EXPECT_EQ(entries.size(), before);
    }
}

// Headers whose sizes or names do not fit are refused, whatever the rest says.
TEST(ResourceFile, DamagedHeadersAreRefused) {
    const std::vector<BYTE> file = CompiledFile();
    struct Damage {
        size_t at;
        BYTE value;
    };
    // In the first real entry (at 32): a data size past the end, a header
    // size too small, one past the end, an empty string type.
    for (Damage damage : {Damage{35, 0x7F}, Damage{36, 8}, Damage{38, 0x7F}, Damage{40, 0}}) {
        std::vector<BYTE> damaged = file;
        damaged[damage.at] = damage.value;
        if (damage.at == 40) damaged[41] = 0;
        std::vector<platform::ResourceEntry> entries;
        EXPECT_FALSE(platform::ReadResourceFile(damaged.data(), damaged.size(), entries)) << "byte " << damage.at;
    }
}

}  // namespace
