// Bitmaps made byte by byte: as a resource (header, colour table, pixels) or a file (behind a 14-byte file header).
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "program_run.h"
struct Picture {
    LONG width = 1, height = 1;  // a positive height: rows stored bottom-up
    WORD bitCount = 8;
    DWORD compression = BI_RGB, headerSize = 40, coloursUsed = 0;  // fields past the first 40 bytes are zero
    std::vector<RGBQUAD> table = {};
    std::vector<DWORD> pixels = {};  // top row first: table indices up to 8 bits per pixel, COLORREFs above
    std::vector<BYTE> data = {};     // taken as it stands instead of pixels when not empty
};
std::vector<BYTE> PackedBitmap(const Picture& picture);
std::vector<BYTE> BitmapFile(const Picture& picture);
inline std::vector<BYTE> ReadBytes(const std::string& path) { const std::string b = ReadFile(path); return {b.begin(), b.end()}; }
// A file of these bytes in a folder of its own, both removed with the object.
struct TempFile {
    explicit TempFile(const std::vector<BYTE>& bytes, const std::string& name = "bitmap.bmp");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    const char* path() const { return path_.c_str(); }
    const char* folder() const { return folder_.c_str(); }
    std::string folder_, path_;
};
// The bytes become the RT_BITMAP resource of that name; a name registered before keeps its first bytes.
void AddBitmapResource(LPCSTR name, std::vector<BYTE> bytes);
