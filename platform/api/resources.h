// The program's resources. Each program links in a table generated from its
// resource script; the calls that read resources look names up here.
#ifndef PLATFORM_API_RESOURCES_H
#define PLATFORM_API_RESOURCES_H

#include <windows.h>

#include <cstddef>
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

// Makes a table the program's resources. Called by the generated table's
// static initialiser (and by tests); the table must outlive the program.
bool RegisterResources(const ResourceEntry* entries, size_t count);

// The resource of that type and name, or null. Names compare as Windows
// compares them: integer identifiers by value, strings without regard to case.
const ResourceEntry* FindResourceEntry(LPCSTR type, LPCSTR name);

// What an HACCEL handle points to.
struct AcceleratorTable {
    std::vector<ACCEL> entries;
};

}  // namespace platform

#endif
