// LoadImageA for bitmaps, from the program's resources or from .bmp files.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "hosted.h"
#include "gdi.h"
#include "gdi_bmp.h"
#include "resources.h"

namespace platform {
namespace {

// Generous for any bitmap within the size limits, with room for odd headers.
constexpr long kMaxBitmapFileBytes = kMaxBitmapPixels * 4 + 65536;

std::optional<DibImage> ReadBitmapFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return std::nullopt;
    std::vector<BYTE> bytes;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size > 0 && size <= kMaxBitmapFileBytes && std::fseek(file, 0, SEEK_SET) == 0) {
        bytes.resize(static_cast<size_t>(size));
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
    }
    std::fclose(file);
    if (bytes.empty()) return std::nullopt;
    return DecodeBitmapFile(bytes.data(), bytes.size());
}

std::optional<DibImage> ReadBitmapResource(LPCSTR name) {
    const ResourceEntry* entry = FindResourceEntry(RT_BITMAP, name);
    if (!entry || !entry->data) return std::nullopt;
    return DecodePackedBitmap(entry->data, entry->size);
}

}  // namespace
}  // namespace platform

// Every bitmap comes back as a DIB section, with or without
// LR_CREATEDIBSECTION. hInst is not examined: the program is the only module.
HANDLE WINAPI LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    if (FAILED(platform::ScriptedFailure("LoadImageA"))) return nullptr;
    if (type != IMAGE_BITMAP || !name || cx < 0 || cy < 0) return nullptr;
    std::optional<platform::DibImage> image;
    if (fuLoad & LR_LOADFROMFILE) {
        if (!IS_INTRESOURCE(name)) image = platform::ReadBitmapFile(name);
    } else {
        image = platform::ReadBitmapResource(name);
    }
    if (!image) return nullptr;
    // A size of 0 keeps the bitmap's own along that axis.
    const LONG width = cx ? cx : image->width, height = cy ? cy : image->height;
    if (width != image->width || height != image->height) {
        if (width > platform::kMaxBitmapSide || height > platform::kMaxBitmapSide ||
            int64_t{width} * height > platform::kMaxBitmapPixels)
            return nullptr;
        image = platform::ScaleImage(*image, width, height);
    }
    return platform::CreateDibSection(std::move(*image));
}
