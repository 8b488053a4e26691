// One image of an icon as an executable stores it (an RT_ICON resource, which
// is also an image of an .ico file): a BITMAPINFOHEADER with twice the height,
// the colour rows bottom-up, then the 1-bit transparency mask.
#ifndef PLATFORM_API_ICONIMAGE_H
#define PLATFORM_API_ICONIMAGE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// Images of 32 bits per pixel without compression, up to 256 x 256, are
// understood; their pixels come out as IconPixels gives them. False, with the
// outputs untouched, for any other image or one cut short.
bool DecodeIconImage(const uint8_t* data, size_t size, std::vector<uint32_t>* rgba, int* width, int* height);

}  // namespace platform

#endif
