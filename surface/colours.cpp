#include "surface.h"

#include <cstdint>
#include <cstring>

static const int PALETTE_SIZE = 256;
static const DWORD INFO_HEADER_SIZE = 40;
static const DWORD FILE_HEADER_SIZE = 14;

// 3 bits of red, 3 of green and 2 of blue: the palette when no bitmap gives one.
static void FillDefaultRamp(PALETTEENTRY table[PALETTE_SIZE])
{
    for (int i = 0; i < PALETTE_SIZE; i++) {
        table[i].peRed = (BYTE)(((i >> 5) & 7) * 255 / 7);
        table[i].peGreen = (BYTE)(((i >> 2) & 7) * 255 / 7);
        table[i].peBlue = (BYTE)((i & 3) * 255 / 3);
        table[i].peFlags = 0;
    }
}

static DWORD ReadWord32(const BYTE* bytes)
{
    return (DWORD)bytes[0] | ((DWORD)bytes[1] << 8) | ((DWORD)bytes[2] << 16) | ((DWORD)bytes[3] << 24);
}

static WORD ReadWord16(const BYTE* bytes) { return (WORD)(bytes[0] | (bytes[1] << 8)); }

// How many colour-table entries an information header announces: none above
// 8 bits per pixel, else the colours-used field or all that the depth allows.
static DWORD ColourCount(const BYTE* header)
{
    const WORD bitsPerPixel = ReadWord16(header + 14);
    if (bitsPerPixel > 8) return 0;
    const DWORD coloursUsed = ReadWord32(header + 32);
    return coloursUsed ? coloursUsed : (DWORD)1 << bitsPerPixel;
}

// A bitmap resource: its colour table follows the header, whatever the
// header's size. Only what the resource really holds is read.
static void ReadResourceColours(HRSRC found, PALETTEENTRY table[PALETTE_SIZE])
{
    HGLOBAL loaded = LoadResource(NULL, found);
    const BYTE* header = (const BYTE*)LockResource(loaded);
    const DWORD size = SizeofResource(NULL, found);
    if (!header || size < INFO_HEADER_SIZE) return;
    const DWORD headerSize = ReadWord32(header);
    if (headerSize < INFO_HEADER_SIZE) return;

    const uint64_t tableBytes = headerSize < size ? size - headerSize : 0;
    const DWORD count = ColourCount(header);
    for (DWORD i = 0; i < count && i < PALETTE_SIZE && (uint64_t)(i + 1) * 4 <= tableBytes; i++) {
        const BYTE* quad = header + headerSize + i * 4;
        table[i].peRed = quad[2];
        table[i].peGreen = quad[1];
        table[i].peBlue = quad[0];
        table[i].peFlags = 0;
    }
}

// A bitmap file: the 1024 bytes after a 40-byte information header are read
// straight over the table, and the announced entries turned from blue, green,
// red into red, green, blue. What the file does not hold keeps the ramp.
static void ReadFileColours(LPCSTR path, PALETTEENTRY table[PALETTE_SIZE])
{
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return;
    BYTE fileHeader[FILE_HEADER_SIZE];
    BYTE header[INFO_HEADER_SIZE];
    _lread(file, fileHeader, sizeof fileHeader);
    const UINT headerRead = _lread(file, header, sizeof header);
    UINT tableRead = _lread(file, table, PALETTE_SIZE * sizeof(PALETTEENTRY));
    _lclose(file);

    if (headerRead != sizeof header || ReadWord32(header) != INFO_HEADER_SIZE) return;
    if (tableRead == (UINT)HFILE_ERROR) tableRead = 0;
    const DWORD count = ColourCount(header);
    for (DWORD i = 0; i < count && i < PALETTE_SIZE && (i + 1) * 4 <= tableRead; i++) {
        const BYTE blue = table[i].peRed;
        table[i].peRed = table[i].peBlue;
        table[i].peBlue = blue;
    }
}

// The screen palette from a bitmap's colour table: a resource of that name,
// else a file of that path; the default ramp where neither gives colours.
LPDIRECTDRAWPALETTE DDCreatePaletteFromBitmap(LPDIRECTDRAW4 directDraw, LPCSTR bitmapName)
{
    PALETTEENTRY table[PALETTE_SIZE];
    FillDefaultRamp(table);

    if (bitmapName) {
        HRSRC found = FindResourceA(NULL, bitmapName, RT_BITMAP);
        if (found)
            ReadResourceColours(found, table);
        else if (!IS_INTRESOURCE(bitmapName))
            ReadFileColours(bitmapName, table);
    }

    LPDIRECTDRAWPALETTE palette = NULL;
    if (directDraw->CreatePalette(DDPCAPS_8BIT, table, &palette, NULL) != DD_OK) return NULL;
    return palette;
}

// The pixel value at (x, y) of a locked surface, or CLR_INVALID outside it.
// Only the pixel's own bytes are read, so the last pixel of a row is safe.
static DWORD LockedPixel(const DDSURFACEDESC2* desc, int x, int y)
{
    if (x < 0 || y < 0 || (DWORD)x >= desc->dwWidth || (DWORD)y >= desc->dwHeight) return CLR_INVALID;
    const DWORD bitCount = desc->ddpfPixelFormat.dwRGBBitCount;
    DWORD bytes = bitCount / 8;
    if (bytes < 1) bytes = 1;
    if (bytes > 4) bytes = 4;
    const BYTE* at = (const BYTE*)desc->lpSurface + (intptr_t)desc->lPitch * y + (intptr_t)(bitCount / 8) * x;
    DWORD value = 0;
    for (DWORD i = 0; i < bytes; i++) value |= (DWORD)at[i] << (8 * i);
    if (bitCount < 32) value &= ((DWORD)1 << bitCount) - 1;
    return value;
}

DWORD DDReadPixel(LPDIRECTDRAWSURFACE4 surface, int x, int y)
{
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    if (DDLockWholeSurface(surface, &desc) != DD_OK) return CLR_INVALID;
    const DWORD value = LockedPixel(&desc, x, y);
    surface->Unlock(NULL);
    return value;
}

// Lets the device context write the colour into pixel (0, 0) and reads back
// what it stored there; the pixel is put back afterwards.
DWORD DDPixelForColor(LPDIRECTDRAWSURFACE4 surface, COLORREF color)
{
    COLORREF saved = CLR_INVALID;
    BOOL remembered = FALSE;
    HDC dc;
    if (color != CLR_INVALID && surface->GetDC(&dc) == DD_OK) {
        saved = GetPixel(dc, 0, 0);
        SetPixel(dc, 0, 0, color);
        surface->ReleaseDC(dc);
        remembered = TRUE;
    }

    const DWORD pixel = DDReadPixel(surface, 0, 0);

    if (remembered && surface->GetDC(&dc) == DD_OK) {
        SetPixel(dc, 0, 0, saved);
        surface->ReleaseDC(dc);
    }
    return pixel;
}

HRESULT DDSetKeyFromColor(LPDIRECTDRAWSURFACE4 surface, COLORREF color)
{
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = DDPixelForColor(surface, color);
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

HRESULT DDSetKeyFromPixel(LPDIRECTDRAWSURFACE4 surface, int x, int y)
{
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = DDReadPixel(surface, x, y);
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}
