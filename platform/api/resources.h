// The program's resources. Each program carries the resource compiler's .res
// file of its script (RegisterResourceFile in host.h); tests may add tables of
// their own. The calls that read resources look names up here.
#ifndef PLATFORM_API_RESOURCES_H
#define PLATFORM_API_RESOURCES_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// One resource: a type and a name, each an integer identifier (MAKEINTRESOURCEA)
// or a string, and its bytes laid out as in a Windows executable (an
// RT_BITMAP resource is the bitmap file without its BITMAPFILEHEADER).
struct ResourceEntry {
    LPCSTR type;
    LPCSTR name;
    const BYTE* data;
    DWORD size;
};

// The program's resources belong to its module, GetModuleHandleA(NULL), which
// is also the instance that WinMain receives; the calls that take a module
// accept that handle or null for it.

// Makes a table the program's resources. Called by the generated table's
// static initialiser (and by tests); the table must outlive the program. False,
// and nothing of the table registered, when one of its entries lacks a type, a
// name or data, or names a resource that is already there.
bool RegisterResources(const ResourceEntry* entries, size_t count);

// Appends the resources of a .res file; false for one cut short or
// malformed. The entries point into the bytes.
bool ReadResourceFile(const BYTE* data, size_t size, std::vector<ResourceEntry>& entries);

// The resource of that type and name, or null. Names compare as Windows
// compares them: integer identifiers by value, strings without regard to case.
const ResourceEntry* FindResourceEntry(LPCSTR type, LPCSTR name);

// What an HACCEL handle points to. The entries are those of the resource in
// its order, fVirt without the flag that marks the last one.
struct AcceleratorTable {
    std::vector<ACCEL> entries;
};

// The picture of an icon that LoadIconA returned: the image of its group closest
// to 32 x 32, top row first, each pixel red in bits 0-7, green 8-15, blue 16-23
// and alpha 24-31 (bytes R, G, B, A in memory on a little-endian machine). False,
// with the outputs untouched, for a handle that is no such icon.
bool IconPixels(HICON icon, std::vector<uint32_t>* rgba, int* width, int* height);

}  // namespace platform

#endif
