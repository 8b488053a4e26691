// Moving bitmaps into surfaces, building the screen palette from a bitmap's
// colour table, and turning colours into the pixel values a surface stores.
#ifndef SURFACE_SURFACE_H
#define SURFACE_SURFACE_H

#include <ddraw.h>

// A bitmap name is a resource name (a string or MAKEINTRESOURCEA identifier)
// or, as a string, the path of a bitmap file.

LPDIRECTDRAWSURFACE4 DDLoadBitmap(LPDIRECTDRAW4 directDraw, LPCSTR bitmapName, int width, int height);
HRESULT DDRefreshBitmap(LPDIRECTDRAWSURFACE4 surface, LPCSTR bitmapName);
HRESULT DDBlitBitmap(LPDIRECTDRAWSURFACE4 surface, HBITMAP bitmap, int sourceX, int sourceY, int sourceWidth,
                     int sourceHeight);

LPDIRECTDRAWPALETTE DDCreatePaletteFromBitmap(LPDIRECTDRAW4 directDraw, LPCSTR bitmapName);
DWORD DDPixelForColor(LPDIRECTDRAWSURFACE4 surface, COLORREF color);
DWORD DDReadPixel(LPDIRECTDRAWSURFACE4 surface, int x, int y);
HRESULT DDSetKeyFromColor(LPDIRECTDRAWSURFACE4 surface, COLORREF color);
HRESULT DDSetKeyFromPixel(LPDIRECTDRAWSURFACE4 surface, int x, int y);

// Locks the whole surface into desc, asking again at once for as long as the
// surface is still busy drawing; the result of the last Lock.
HRESULT DDLockWholeSurface(LPDIRECTDRAWSURFACE4 surface, DDSURFACEDESC2* desc);

#endif
