// The resource compiler's .res file: an empty entry, then one entry per
// resource, each starting on a 4-byte boundary:
//   DWORD DataSize, DWORD HeaderSize, type, name, (pad to 4),
//   DWORD DataVersion, WORD MemoryFlags, WORD LanguageId, DWORD Version,
//   DWORD Characteristics, then DataSize bytes of data at HeaderSize.
// A type or name is 0xFFFF and a WORD identifier, or a UTF-16 string ending
// in 0. The bytes stay where the program carries them; only names are copied.
#include "resources.h"

#include "bytes.h"
#include "host.h"

#include <deque>
#include <string>

namespace platform {

namespace {

constexpr size_t kFixedHeader = 8;   // DataSize, HeaderSize
constexpr size_t kHeaderTail = 16;   // DataVersion to Characteristics
constexpr uint16_t kIdMarker = 0xFFFF;

size_t AlignUp4(size_t at) { return (at + 3) & ~size_t{3}; }

// Strings of names, kept for as long as the program: entries point into them
// (a deque never moves what it holds).
std::deque<std::string>& NameStore() {
    static std::deque<std::string> names;
    return names;
}

// Reads a type or name at `at` within the header that ends at `end`; moves
// `at` past it. Null for one cut short, empty or not plain ASCII.
LPCSTR ReadName(const BYTE* header, size_t& at, size_t end) {
    if (at + 2 > end) return nullptr;
    if (LoadLE16(header + at) == kIdMarker) {
        if (at + 4 > end) return nullptr;
        WORD id = LoadLE16(header + at + 2);
        at += 4;
        return id ? MAKEINTRESOURCEA(id) : nullptr;
    }
    std::string text;
    for (; at + 2 <= end; at += 2) {
        uint16_t unit = LoadLE16(header + at);
        if (unit == 0) {
            at += 2;
            if (text.empty()) return nullptr;
            return NameStore().emplace_back(std::move(text)).c_str();
        }
        if (unit >= 0x80) return nullptr;
        text.push_back(static_cast<char>(unit));
    }
    return nullptr;
}

bool IsEmptyEntry(const BYTE* header) { return LoadLE16(header + 8) == kIdMarker && LoadLE16(header + 10) == 0; }

// The entry at `at`, appended to `entries`; false when it does not fit the file.
bool ReadEntry(const BYTE* data, size_t size, size_t& at, std::vector<ResourceEntry>& entries) {
    if (size - at < kFixedHeader) return false;
    const BYTE* header = data + at;
    size_t dataSize = LoadLE32(header);
    size_t headerSize = LoadLE32(header + 4);
    if (headerSize < kFixedHeader + kHeaderTail + 8 || headerSize > size - at || dataSize > size - at - headerSize)
        return false;
    size_t field = kFixedHeader;
    if (dataSize == 0 && IsEmptyEntry(header)) {
        at = AlignUp4(at + headerSize);
        return true;
    }
    LPCSTR type = ReadName(header, field, headerSize);
    LPCSTR name = type ? ReadName(header, field, headerSize) : nullptr;
    if (!name || AlignUp4(field) + kHeaderTail > headerSize) return false;
    entries.push_back(ResourceEntry{type, name, header + headerSize, static_cast<DWORD>(dataSize)});
    at = AlignUp4(at + headerSize + dataSize);
    return true;
}

}  // namespace

bool ReadResourceFile(const BYTE* data, size_t size, std::vector<ResourceEntry>& entries) {
    if (!data) return false;
    for (size_t at = 0; at < size;)
        if (!ReadEntry(data, size, at, entries)) return false;
    return true;
}

bool RegisterResourceFile(const BYTE* data, size_t size) {
    std::vector<ResourceEntry> entries;
    if (!ReadResourceFile(data, size, entries)) return false;
    // The table and its names must outlive the program, as the bytes do.
    static std::deque<std::vector<ResourceEntry>> tables;
    auto& kept = tables.emplace_back(std::move(entries));
    if (RegisterResources(kept.data(), kept.size())) return true;
    tables.pop_back();
    return false;
}

}  // namespace platform
