// Resource and file formats are little-endian whatever the machine: read and
// write their fields byte by byte.
#ifndef PLATFORM_API_BYTES_H
#define PLATFORM_API_BYTES_H

#include <cstdint>
#include <vector>

namespace platform {

inline uint16_t LoadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t LoadLE32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

inline void AppendLE16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void AppendLE32(std::vector<uint8_t>& out, uint32_t v) {
    AppendLE16(out, v);
    AppendLE16(out, v >> 16);
}

}  // namespace platform

#endif
