// Graphics device interface objects: device-independent bitmap sections and
// device contexts, the latter either over a surface (IDirectDrawSurface4::GetDC)
// or in memory (CreateCompatibleDC) with a bitmap selected into it.
//
// Handles are the addresses of the objects, looked up among the live ones
// before any use, so that a stale or made-up handle is refused, never followed.
#ifndef PLATFORM_API_GDI_H
#define PLATFORM_API_GDI_H

#include <windows.h>

#include <cstddef>

#include "gdi_dib.h"

namespace platform {

class Surface;

// A bitmap section over the image (LoadImageA makes them).
HBITMAP CreateDibSection(DibImage image);

// The image of a live bitmap: its colour table (8-bit images) and its pixels,
// top row first. Null for anything else.
const DibImage* DibSectionImage(HGDIOBJ bitmap);

// The device context that GetDC hands out for the surface, and its end.
HDC CreateSurfaceDC(Surface* surface);
void DestroySurfaceDC(HDC dc);

// Bitmaps and device contexts alive now, not counting the stock bitmap that
// every memory device context starts with; tests use it to find leaks.
size_t LiveGdiObjectCount();

}  // namespace platform

#endif
