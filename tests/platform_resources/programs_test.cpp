// The resources the programs' scripts give them, as the resource compiler made
// them and the program carries them, and the reader of the compiler's file on
// every damaged copy of the real one.
#include "api/resources.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "bitmap.h"

namespace {
TEST(ProgramResources, EscapeAndAltXCloseTheIconShowsTheCubeAndDiceHasItsTexture) {
    HMODULE module = GetModuleHandleA(nullptr);
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    const std::vector<ACCEL>& keys = reinterpret_cast<const platform::AcceleratorTable*>(table)->entries;
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_TRUE(keys[0].fVirt == (FVIRTKEY | FNOINVERT) && keys[0].key == 0x1B && keys[0].cmd == ID_CLOSE);
    EXPECT_TRUE(keys[1].fVirt == (FVIRTKEY | FNOINVERT | FALT) && keys[1].key == 0x58 && keys[1].cmd == ID_CLOSE);
    std::vector<uint32_t> rgba;
    int width = 0, height = 0;
    ASSERT_TRUE(platform::IconPixels(LoadIconA(module, MAKEINTRESOURCEA(IDI_MAIN)), &rgba, &width, &height));
    ASSERT_TRUE(width == 32 && height == 32 && rgba.size() == 32u * 32u);
    // The lit top, the two sides, and nothing around the cube.
    EXPECT_EQ(rgba[5 * 32 + 16], 244u | 248u << 8 | 248u << 16 | 255u << 24);
    EXPECT_EQ(rgba[18 * 32 + 6], 150u | 196u << 8 | 196u << 16 | 255u << 24);
    EXPECT_EQ(rgba[18 * 32 + 26], 36u | 120u << 8 | 120u << 16 | 255u << 24);
    for (int at : {0, 31, 31 * 32, 32 * 32 - 1, 16}) EXPECT_EQ(rgba[at] >> 24, 0u) << at;
#ifdef WITH_TEXTURE
    // 400 x 200 pixels of 8 bits, as its information header and what follows.
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDB_TEXTURE), RT_BITMAP);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(SizeofResource(module, found), 40u + 256 * 4 + 400 * 200);
    EXPECT_TRUE(header->biSize == 40u && header->biWidth == 400 && std::abs(header->biHeight) == 200 && header->biBitCount == 8);
#endif
}
// A copy cut anywhere reads only where it ends between two entries (the last
// may lack its padding), and then gives the entries before the cut; the
// sanitizer build watches that no cut makes the reader look past it. Damaged
// headers of the first real entry (at 32) are refused: a data size past the
// end, a header size too small or past the end, an empty string type.
TEST(ResourceFile, EveryCutCopyReadsOnlyAtAnEntryBoundaryAndDamagedHeadersNot) {
    const std::vector<BYTE> file = ReadBytes(RES_FILE);
    std::vector<platform::ResourceEntry> whole, entries;
    ASSERT_TRUE(platform::ReadResourceFile(file.data(), file.size(), whole));
    std::vector<size_t> ends;
    for (const platform::ResourceEntry& entry : whole) ends.push_back(static_cast<size_t>(entry.data - file.data()) + entry.size);
    ASSERT_EQ((ends.back() + 3) & ~size_t{3}, file.size());
    for (size_t size = 1; size < file.size(); ++size) {
        const std::vector<BYTE> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(size));
        entries.clear();
        const bool read = platform::ReadResourceFile(cut.data(), cut.size(), entries);
        const auto before = std::count_if(ends.begin(), ends.end(), [&](size_t end) { return end <= size; });
        const bool boundary = size == 32 || std::any_of(ends.begin(), ends.end(), [&](size_t end) {
                                  return size >= end && size <= ((end + 3) & ~size_t{3});
                              });
        ASSERT_EQ(read, boundary) << "cut at " << size;
        EXPECT_TRUE(!read || entries.size() == static_cast<size_t>(before)) << size;
    }
    for (const auto& [at, value] : {std::pair<size_t, BYTE>{35, 0x7F}, {36, 8}, {38, 0x7F}, {40, 0}}) {
        std::vector<BYTE> damaged = file;
        damaged[at] = value;
        if (at == 40) damaged[41] = 0;
        EXPECT_FALSE(platform::ReadResourceFile(damaged.data(), damaged.size(), entries)) << "byte " << at;
    }
}
}  // namespace
