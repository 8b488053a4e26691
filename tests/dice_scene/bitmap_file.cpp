#include "bitmap_file.h"

#include <fstream>
#include <iterator>

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t ReadU16(const std::vector<uint8_t>& file, size_t offset) {
    return file.at(offset) | (file.at(offset + 1) << 8);
}

uint32_t ReadU32(const std::vector<uint8_t>& file, size_t offset) {
    return ReadU16(file, offset) | (ReadU16(file, offset + 2) << 16);
}

Rgb TableColour(const std::vector<uint8_t>& file, int index) {
    const size_t entry = 14 + 40 + 4 * static_cast<size_t>(index);
    return {file.at(entry + 2), file.at(entry + 1), file.at(entry)};
}

uint8_t TexelAt(const std::vector<uint8_t>& file, int x, int y) {
    const uint32_t width = ReadU32(file, 18);
    const uint32_t height = ReadU32(file, 22);
    return file.at(ReadU32(file, 10) + (height - 1 - y) * width + x);
}
