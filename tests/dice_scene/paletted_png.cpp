#include "paletted_png.h"

#include <png.h>

bool WritePalettedPng(const std::string& path, const PalettedImage& image) {
    if (image.palette.empty() || image.palette.size() > 256 ||
        image.indices.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        return false;
    }
    std::vector<png_byte> colourMap;
    for (const Rgb& colour : image.palette) {
        colourMap.insert(colourMap.end(), {static_cast<png_byte>(colour.r), static_cast<png_byte>(colour.g),
                                           static_cast<png_byte>(colour.b)});
    }
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB_COLORMAP;
    png.colormap_entries = static_cast<png_uint_32>(image.palette.size());
    const int written = png_image_write_to_file(&png, path.c_str(), 0, image.indices.data(), image.width,
                                                colourMap.data());
    png_image_free(&png);
    return written != 0;
}

// The colour-mapped read hands a palette file's indices and palette over as
// they are stored; anything that would need converting is refused.
std::optional<PalettedImage> ReadPalettedPng(const std::string& path) {
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return std::nullopt;
    if ((png.format & PNG_FORMAT_FLAG_COLORMAP) == 0 || (png.format & PNG_FORMAT_FLAG_ALPHA) != 0 ||
        png.colormap_entries == 0 || png.colormap_entries > 256) {
        png_image_free(&png);
        return std::nullopt;
    }
    png.format = PNG_FORMAT_RGB_COLORMAP;
    PalettedImage image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.indices.resize(PNG_IMAGE_SIZE(png));
    std::vector<png_byte> colourMap(PNG_IMAGE_COLORMAP_SIZE(png));
    if (!png_image_finish_read(&png, NULL, image.indices.data(), 0, colourMap.data())) {
        png_image_free(&png);
        return std::nullopt;
    }
    // The read may report fewer entries than it had room for.
    for (size_t i = 0; i < png.colormap_entries; ++i) {
        image.palette.push_back({colourMap[3 * i], colourMap[3 * i + 1], colourMap[3 * i + 2]});
    }
    png_image_free(&png);
    return image;
}
