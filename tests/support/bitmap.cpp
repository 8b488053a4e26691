#include "bitmap.h"
#include <api/resources.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <deque>
#include <fstream>
#include <unistd.h>
namespace {
void Put(std::vector<BYTE>& out, size_t at, DWORD value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<BYTE>(value >> (8 * i));
}
std::vector<BYTE> Rows(const Picture& picture) {
    if (!picture.data.empty() || picture.pixels.empty()) return picture.data;
    const int bytes = picture.bitCount / 8;
    std::vector<BYTE> out;
    for (LONG y = picture.height - 1; y >= 0; --y) {
        std::vector<BYTE> row((static_cast<size_t>(picture.width) * picture.bitCount + 31) / 32 * 4, 0);  // whole words
        for (LONG x = 0; x < picture.width; ++x) {
            DWORD value = picture.pixels[y * picture.width + x];
            if (bytes >= 3) value = RGB(GetBValue(value), GetGValue(value), GetRValue(value));  // stored blue first
            const size_t bit = static_cast<size_t>(x) * picture.bitCount;
            if (bytes > 0) Put(row, x * bytes, value, bytes);
            else row[bit / 8] |= static_cast<BYTE>(value << (8 - picture.bitCount - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}
}  // namespace
std::vector<BYTE> PackedBitmap(const Picture& picture) {
    const std::vector<BYTE> rows = Rows(picture);
    std::vector<BYTE> out(picture.headerSize, 0);
    const DWORD fields[][3] = {{0, picture.headerSize, 4}, {4, DWORD(picture.width), 4}, {8, DWORD(picture.height), 4}, {12, 1, 2},
                               {14, picture.bitCount, 2}, {16, picture.compression, 4}, {20, DWORD(rows.size()), 4}, {32, picture.coloursUsed, 4}};
    for (const auto& [at, value, bytes] : fields) Put(out, at, value, static_cast<int>(bytes));
    for (const RGBQUAD& quad : picture.table) out.insert(out.end(), {quad.rgbBlue, quad.rgbGreen, quad.rgbRed, quad.rgbReserved});
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}
std::vector<BYTE> BitmapFile(const Picture& picture) {
    std::vector<BYTE> out(14, 0), packed = PackedBitmap(picture);
    out.insert(out.end(), packed.begin(), packed.end());
    out[0] = 'B', out[1] = 'M', Put(out, 2, static_cast<DWORD>(out.size()), 4);
    Put(out, 10, static_cast<DWORD>(14 + picture.headerSize + 4 * picture.table.size()), 4);
    return out;
}
TempFile::TempFile(const std::vector<BYTE>& bytes, const std::string& name) {
    std::string pattern = ::testing::TempDir() + "bitmap_XXXXXX";
    folder_ = mkdtemp(pattern.data()) ? pattern : ::testing::TempDir();
    path_ = folder_ + "/" + name;
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
TempFile::~TempFile() { std::remove(path_.c_str()), rmdir(folder_.c_str()); }
void AddBitmapResource(LPCSTR name, std::vector<BYTE> bytes) {
    // The platform keeps pointers to what is registered: deques do not move their elements.
    static std::deque<std::string> names;
    static std::deque<std::vector<BYTE>> data;
    static std::deque<platform::ResourceEntry> entries;
    if (platform::FindResourceEntry(RT_BITMAP, name)) return;
    if (!IS_INTRESOURCE(name)) name = names.emplace_back(name).c_str();
    data.push_back(std::move(bytes));
    entries.push_back({RT_BITMAP, name, data.back().data(), static_cast<DWORD>(data.back().size())});
    ASSERT_TRUE(platform::RegisterResources(&entries.back(), 1));
}
