// 8-bit palette images kept as PNG files, index for index.
#ifndef TESTS_DICE_SCENE_PALETTED_PNG_H
#define TESTS_DICE_SCENE_PALETTED_PNG_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bitmap_file.h"

struct PalettedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices;  // row by row from the top, width bytes a row
};

// False when the file cannot be written.
bool WritePalettedPng(const std::string& path, const PalettedImage& image);

// Nothing when the file is missing, broken or not a palette image.
std::optional<PalettedImage> ReadPalettedPng(const std::string& path);

#endif
