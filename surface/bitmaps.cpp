#include "surface.h"

#include <cstring>

// The program's own bitmap resource of that name, or else the bitmap file of
// that path; an integer identifier names no file.
static HBITMAP LoadBitmapByName(LPCSTR bitmapName, int width, int height)
{
    HBITMAP bitmap = (HBITMAP)LoadImageA(GetModuleHandleA(NULL), bitmapName, IMAGE_BITMAP, width, height,
                                         LR_CREATEDIBSECTION);
    if (!bitmap)
        bitmap = (HBITMAP)LoadImageA(NULL, bitmapName, IMAGE_BITMAP, width, height,
                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    return bitmap;
}

// A new system-memory surface of the bitmap's size (or the size asked for)
// holding the bitmap, or NULL.
LPDIRECTDRAWSURFACE4 DDLoadBitmap(LPDIRECTDRAW4 directDraw, LPCSTR bitmapName, int width, int height)
{
    HBITMAP bitmap = LoadBitmapByName(bitmapName, width, height);
    if (!bitmap) return NULL;

    BITMAP info;
    std::memset(&info, 0, sizeof info);
    GetObjectA(bitmap, sizeof info, &info);

    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = info.bmWidth;
    desc.dwHeight = info.bmHeight;
    LPDIRECTDRAWSURFACE4 surface = NULL;
    if (directDraw->CreateSurface(&desc, &surface, NULL) != DD_OK) {
        DeleteObject(bitmap);
        return NULL;
    }

    DDBlitBitmap(surface, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return surface;
}

// Fills an existing surface again from the bitmap, after it was lost.
HRESULT DDRefreshBitmap(LPDIRECTDRAWSURFACE4 surface, LPCSTR bitmapName)
{
    HBITMAP bitmap = LoadBitmapByName(bitmapName, 0, 0);
    if (!bitmap) return E_FAIL;
    HRESULT result = DDBlitBitmap(surface, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return result;
}

// Stretches the source rectangle of the bitmap over the whole surface; the
// device context maps the bitmap's colours to the surface's palette.
HRESULT DDBlitBitmap(LPDIRECTDRAWSURFACE4 surface, HBITMAP bitmap, int sourceX, int sourceY, int sourceWidth,
                     int sourceHeight)
{
    if (!bitmap || !surface) return E_FAIL;

    surface->Restore();

    HDC image = CreateCompatibleDC(NULL);
    if (!image) return E_FAIL;
    HGDIOBJ previous = SelectObject(image, bitmap);

    BITMAP info;
    std::memset(&info, 0, sizeof info);
    GetObjectA(bitmap, sizeof info, &info);
    if (sourceWidth == 0) sourceWidth = info.bmWidth;
    if (sourceHeight == 0) sourceHeight = info.bmHeight;

    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    surface->GetSurfaceDesc(&desc);

    HDC target;
    HRESULT result = surface->GetDC(&target);
    if (result == DD_OK) {
        StretchBlt(target, 0, 0, desc.dwWidth, desc.dwHeight, image, sourceX, sourceY, sourceWidth, sourceHeight,
                   SRCCOPY);
        surface->ReleaseDC(target);
    }

    SelectObject(image, previous);
    DeleteDC(image);
    return result;
}
