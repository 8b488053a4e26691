// An 8-bit bitmap file read whole, with the fields the tests look at.
#ifndef TESTS_DICE_SCENE_BITMAP_FILE_H
#define TESTS_DICE_SCENE_BITMAP_FILE_H

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    int r;
    int g;
    int b;
    bool operator==(const Rgb&) const = default;
};

std::vector<uint8_t> ReadWholeFile(const std::string& path);

uint32_t ReadU16(const std::vector<uint8_t>& file, size_t offset);
uint32_t ReadU32(const std::vector<uint8_t>& file, size_t offset);

// Entry index of the colour table of a 40-byte information header.
Rgb TableColour(const std::vector<uint8_t>& file, int index);

// The texel at column x and row y counted from the top, in a bottom-up 8-bit
// bitmap whose rows need no padding.
uint8_t TexelAt(const std::vector<uint8_t>& file, int x, int y);

#endif
