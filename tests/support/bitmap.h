// Bitmaps made byte by byte, every field a test cares about set on purpose:
// as a resource (information header, colour table, pixels) or as a file (the
// same behind a 14-byte file header).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Picture {
    LONG width = 1;
    LONG height = 1;  // positive: rows stored bottom-up
    WORD bitCount = 8;
    DWORD compression = BI_RGB;
    DWORD headerSize = 40;  // the fields past the first 40 bytes are zero
    DWORD coloursUsed = 0;
    std::vector<RGBQUAD> table = {};
    std::vector<DWORD> pixels = {};  // top row first: table indices up to 8 bits per pixel, COLORREFs above
    std::vector<BYTE> data = {};     // taken as it stands instead of pixels when not empty
};

std::vector<BYTE> PackedBitmap(const Picture& picture);
std::vector<BYTE> BitmapFile(const Picture& picture);
std::vector<BYTE> ReadBytes(const std::string& path);

// A file of these bytes in a folder of its own, both removed with the object.
class TempFile {
public:
    explicit TempFile(const std::vector<BYTE>& bytes, const std::string& name = "bitmap.bmp");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* path() const { return path_.c_str(); }
    const char* folder() const { return folder_.c_str(); }

private:
    std::string folder_, path_;
};

// Makes the bytes the program's RT_BITMAP resource of that name; a name
// already registered keeps its first bytes.
void AddBitmapResource(LPCSTR name, std::vector<BYTE> bytes);
