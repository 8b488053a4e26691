// Bitmaps made byte by byte, as resources and as files, so that every field a
// test cares about is set on purpose.
#ifndef TESTS_SURFACE_BITMAP_BYTES_H
#define TESTS_SURFACE_BITMAP_BYTES_H

#include <windows.h>

#include <string>
#include <vector>

struct Picture {
    LONG width = 1;
    LONG height = 1;  // the rows are stored bottom-up
    WORD bitCount = 8;
    DWORD headerSize = 40;  // the fields past the first 40 bytes are zero
    DWORD coloursUsed = 0;
    std::vector<RGBQUAD> table;
    // Top row first: colour-table indices up to 8 bits per pixel, COLORREFs at 24.
    std::vector<DWORD> pixels;
};

// Information header, colour table and rows: the layout of a bitmap resource.
std::vector<BYTE> PackedBitmap(const Picture& picture);

// The same behind a 14-byte file header.
std::vector<BYTE> BitmapFile(const Picture& picture);

std::vector<BYTE> ReadWholeFile(const std::string& path);

// The die's texture, dice/texture.bmp (DIE_TEXTURE): 400 x 200 pixels, 8 bits
// per pixel, the 256-entry colour table at byte 54 and the rows, bottom-up and
// unpadded, from byte 1078.
const std::vector<BYTE>& TextureFile();

// A file of these bytes in the test's temporary folder, removed with the object.
class TempFile {
public:
    explicit TempFile(const std::vector<BYTE>& bytes, const std::string& name = "bitmap.bmp");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* path() const { return path_.c_str(); }
    const char* folder() const { return folder_.c_str(); }

private:
    std::string folder_;
    std::string path_;
};

// The working folder changed for the object's lifetime, so that a bare
// name reaches a file.
class InFolder {
public:
    explicit InFolder(const char* folder);
    ~InFolder();
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    std::string previous_;
};

// Makes the bytes the program's RT_BITMAP resource of that name. A name is
// registered once per process; asking again for the same name keeps the first.
void AddBitmapResource(LPCSTR name, std::vector<BYTE> bytes);

#endif
