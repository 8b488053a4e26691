// The programs' resources as compiled and carried, and the compiled file's reader on damaged copies.
#include "api/resources.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "bitmap.h"

namespace {
TEST(ProgramResources, TheIconShowsTheCubeAndDiceHasItsTexture) {
    HMODULE module = GetModuleHandleA(nullptr);
    std::vector<uint32_t> rgba;
    int width = 0, height = 0;
    ASSERT_TRUE(platform::IconPixels(LoadIconA(module, MAKEINTRESOURCEA(IDI_MAIN)), &rgba, &width, &height));
    ASSERT_TRUE(width == 32 && height == 32 && rgba.size() == 32u * 32u);
    // The lit top, the two sides, and nothing around the cube.
    for (auto [at, red, other] : {std::tuple{5 * 32 + 16, 244u, 248u}, {18 * 32 + 6, 150u, 196u}, {18 * 32 + 26, 36u, 120u}})
        EXPECT_EQ(rgba[at], red | other << 8 | other << 16 | 255u << 24) << at;
    for (int at : {0, 31, 31 * 32, 32 * 32 - 1, 16}) EXPECT_EQ(rgba[at] >> 24, 0u) << at;
#ifdef WITH_TEXTURE
    // 400 x 200 pixels of 8 bits, as its information header and what follows.
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDB_TEXTURE), RT_BITMAP);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    ASSERT_TRUE(header && SizeofResource(module, found) == 40u + 256 * 4 + 400 * 200);
    EXPECT_TRUE(header->biSize == 40u && header->biWidth == 400 && std::abs(header->biHeight) == 200 && header->biBitCount == 8);
#endif
}
// A cut copy reads only where it ends between entries (the last may lack its padding), giving those before the
// cut. Refused headers of the first real entry (at 32): data size past the end, header size too small or past
// the end, an empty string type.
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
        const bool boundary =
            size == 32 || std::any_of(ends.begin(), ends.end(), [&](size_t end) { return size >= end && size <= ((end + 3) & ~size_t{3}); });
        ASSERT_EQ(read, boundary) << "cut at " << size;
        EXPECT_TRUE(!read || entries.size() == static_cast<size_t>(before)) << size;
    }
    for (const auto& [at, value] : {std::pair<size_t, BYTE>{35, 0x7F}, {36, 8}, {38, 0x7F}, {40, 0}}) {
        std::vector<BYTE> damaged = file;
        damaged[at] = value, damaged[41] = at == 40 ? 0 : damaged[41];
        EXPECT_FALSE(platform::ReadResourceFile(damaged.data(), damaged.size(), entries)) << "byte " << at;
    }
}
}  // namespace
