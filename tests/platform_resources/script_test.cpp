// The table that the build made from data/sample.rc holds what the script
// says, laid out as in an executable.
#include "api/resources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<BYTE> ResourceBytes(LPCSTR name, LPCSTR type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return {};
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return std::vector<BYTE>(bytes, bytes + SizeofResource(module, found));
}

struct Key {
    BYTE flags;
    WORD key;
    WORD command;
    bool operator==(const Key&) const = default;
};

std::vector<Key> Keys(LPCSTR name) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), name);
    std::vector<Key> keys;
    if (table)
        for (const ACCEL& accel : reinterpret_cast<const platform::AcceleratorTable*>(table)->entries)
            keys.push_back(Key{accel.fVirt, accel.key, accel.cmd});
    return keys;
}

TEST(SampleScript, AcceleratorsInEveryForm) {
    EXPECT_EQ(Keys(MAKEINTRESOURCEA(300)), (std::vector<Key>{
                                               {FVIRTKEY | FNOINVERT, VK_ESCAPE, 1001},
                                               {FVIRTKEY | FNOINVERT | FALT, 'X', 1001},
                                               {0, 'a', 40},
                                               {FALT, 3, 0x128},
                                               {FVIRTKEY | FSHIFT | FCONTROL, 'A', 41},
                                               {FVIRTKEY | FALT, VK_F4, 1001},
                                           }));
    EXPECT_EQ(Keys(MAKEINTRESOURCEA(7)), (std::vector<Key>{{FVIRTKEY, '1', 2}}));
}

TEST(SampleScript, AcceleratorsInTheBinaryLayout) {
    std::vector<BYTE> bytes = ResourceBytes(MAKEINTRESOURCEA(7), RT_ACCELERATOR);
    EXPECT_EQ(bytes, (std::vector<BYTE>{0x81, 0, '1', 0, 2, 0, 0, 0}));
    bytes = ResourceBytes(MAKEINTRESOURCEA(300), RT_ACCELERATOR);
    ASSERT_EQ(bytes.size(), 6u * 8u);
    for (size_t entry = 0; entry < 6; ++entry) {
        EXPECT_EQ(bytes[entry * 8] & 0x80, entry == 5 ? 0x80 : 0) << entry;
        EXPECT_EQ(bytes[entry * 8 + 1], 0) << entry;
        EXPECT_EQ(bytes[entry * 8 + 6], 0) << entry;
        EXPECT_EQ(bytes[entry * 8 + 7], 0) << entry;
    }
}

TEST(SampleScript, BitmapsAreTheFileWithoutItsFileHeader) {
    std::vector<BYTE> file = FileBytes(TEST_DATA "/small.bmp");
    ASSERT_GT(file.size(), 14u);
    std::vector<BYTE> expected(file.begin() + 14, file.end());
    EXPECT_EQ(ResourceBytes("small", RT_BITMAP), expected);
    EXPECT_EQ(ResourceBytes("SMALL", RT_BITMAP), expected);
    EXPECT_EQ(ResourceBytes(MAKEINTRESOURCEA(301), RT_BITMAP), expected);
}

// The group lists each image of the .ico with its directory entry and the
// number of the RT_ICON resource that holds it.
TEST(SampleScript, IconIsAGroupOfNumberedImages) {
    std::vector<BYTE> ico = FileBytes(SOURCE_DIR "/resources/cube.ico");
    std::vector<BYTE> group = ResourceBytes(MAKEINTRESOURCEA(200), RT_GROUP_ICON);
    ASSERT_GE(ico.size(), 6u);
    size_t count = ico[4];
    ASSERT_EQ(group.size(), 6 + 14 * count);
    EXPECT_TRUE(std::equal(group.begin(), group.begin() + 6, ico.begin()));
    for (size_t i = 0; i < count; ++i) {
        const BYTE* fileEntry = &ico[6 + 16 * i];
        const BYTE* groupEntry = &group[6 + 14 * i];
        EXPECT_TRUE(std::equal(fileEntry, fileEntry + 12, groupEntry)) << i;
        uint32_t size = fileEntry[8] | fileEntry[9] << 8 | fileEntry[10] << 16 | fileEntry[11] << 24;
        uint32_t offset = fileEntry[12] | fileEntry[13] << 8 | fileEntry[14] << 16 | fileEntry[15] << 24;
        WORD id = static_cast<WORD>(groupEntry[12] | groupEntry[13] << 8);
        EXPECT_EQ(ResourceBytes(MAKEINTRESOURCEA(id), RT_ICON),
                  std::vector<BYTE>(ico.begin() + offset, ico.begin() + offset + size))
            << i;
    }
}

}  // namespace
