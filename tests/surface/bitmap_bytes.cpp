#include "bitmap_bytes.h"

#include <api/resources.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

void Put16(std::vector<BYTE>& out, size_t at, DWORD value) {
    out[at] = static_cast<BYTE>(value);
    out[at + 1] = static_cast<BYTE>(value >> 8);
}

void Put32(std::vector<BYTE>& out, size_t at, DWORD value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

// Rows are padded to whole 32-bit words.
size_t RowBytes(const Picture& picture) {
    return (static_cast<size_t>(picture.width) * picture.bitCount + 31) / 32 * 4;
}

void PutPixel(std::vector<BYTE>& row, const Picture& picture, LONG x, DWORD value) {
    if (picture.bitCount == 24) {
        row[x * 3] = GetBValue(value);
        row[x * 3 + 1] = GetGValue(value);
        row[x * 3 + 2] = GetRValue(value);
        return;
    }
    const size_t bit = static_cast<size_t>(x) * picture.bitCount;
    const int shift = 8 - picture.bitCount - static_cast<int>(bit % 8);
    row[bit / 8] |= static_cast<BYTE>((value & ((1u << picture.bitCount) - 1)) << shift);
}

}  // namespace

std::vector<BYTE> PackedBitmap(const Picture& picture) {
    std::vector<BYTE> out(picture.headerSize, 0);
    Put32(out, 0, picture.headerSize);
    Put32(out, 4, static_cast<DWORD>(picture.width));
    Put32(out, 8, static_cast<DWORD>(picture.height));
    Put16(out, 12, 1);
    Put16(out, 14, picture.bitCount);
    Put32(out, 20, static_cast<DWORD>(RowBytes(picture) * picture.height));
    Put32(out, 32, picture.coloursUsed);
    for (const RGBQUAD& quad : picture.table)
        out.insert(out.end(), {quad.rgbBlue, quad.rgbGreen, quad.rgbRed, quad.rgbReserved});
    if (picture.pixels.empty()) return out;
    for (LONG y = picture.height - 1; y >= 0; --y) {
        std::vector<BYTE> row(RowBytes(picture), 0);
        for (LONG x = 0; x < picture.width; ++x) PutPixel(row, picture, x, picture.pixels[y * picture.width + x]);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<BYTE> BitmapFile(const Picture& picture) {
    const std::vector<BYTE> packed = PackedBitmap(picture);
    std::vector<BYTE> out(14 + packed.size(), 0);
    std::copy(packed.begin(), packed.end(), out.begin() + 14);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<DWORD>(14 + packed.size()));
    Put32(out, 10, static_cast<DWORD>(14 + picture.headerSize + picture.table.size() * 4));
    return out;
}

std::vector<BYTE> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

const std::vector<BYTE>& TextureFile() {
    static const std::vector<BYTE> bytes = ReadWholeFile(DIE_TEXTURE);
    return bytes;
}

TempFile::TempFile(const std::vector<BYTE>& bytes, const std::string& name) {
    std::string pattern = ::testing::TempDir() + "surface_XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    path_ = folder_ + "/" + name;
    std::ofstream file(path_, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) std::abort();
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
    rmdir(folder_.c_str());
}

InFolder::InFolder(const char* folder) {
    char previous[4096];
    if (!getcwd(previous, sizeof previous) || chdir(folder) != 0) std::abort();
    previous_ = previous;
}

InFolder::~InFolder() {
    if (chdir(previous_.c_str()) != 0) std::abort();
}

void AddBitmapResource(LPCSTR name, std::vector<BYTE> bytes) {
    // Registered tables must outlive the program; a deque keeps its elements
    // where they are as it grows.
    static std::deque<std::string> names;
    static std::deque<std::vector<BYTE>> data;
    static std::deque<platform::ResourceEntry> entries;
    if (platform::FindResourceEntry(RT_BITMAP, name)) return;
    if (!IS_INTRESOURCE(name)) {
        names.emplace_back(name);
        name = names.back().c_str();
    }
    data.push_back(std::move(bytes));
    entries.push_back({RT_BITMAP, name, data.back().data(), static_cast<DWORD>(data.back().size())});
    ASSERT_TRUE(platform::RegisterResources(&entries.back(), 1));
}
